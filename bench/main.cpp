// Velmora benchmark. Licensed under the MIT licence.
// Measures the program's receive throughput, far-end answer latency, periodic-send
// precision, a slow line and the capture viewer on pseudo-terminals, each beside
// baselines measured in the same run. Every case runs in a process of its own, so that
// peak memory and CPU time are the case's own, and the cases take turns in rounds.
#include "baselines.h"
#include "linktestcases.h"
#include "measurements.h"
#include "options.h"
#include "report.h"
#include "viewercase.h"
#include "workbenchcases.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr double MiB = 1024.0 * 1024.0;
constexpr int LongMessageBytes = 4096;
// The answer-rule case: the far end's command matches the last of these.
constexpr int AnswerRules = 100;
constexpr int SteadyBytesPerSecond = 1000 * 1000;
constexpr int SlowCommandBytes = 1000;
constexpr int SlowLineBytesPerSecond = 960;
constexpr int ViewerStreamBytesPerSecond = 11500;
// Late, yet within the second a start gives each answer.
constexpr int LateAnswerMilliseconds = 800;

void print(const QString &key, double value)
{
    std::printf("%s %.6f\n", qPrintable(key), value);
}

void printTrips(const QString &prefix, const QVector<double> &trips)
{
    print(prefix + ".median", Measurements::percentile(trips, 0.5));
    print(prefix + ".p99", Measurements::percentile(trips, 0.99));
    print(prefix + ".count", trips.size());
}

void printReceive(const QString &prefix, qint64 bytes, const WorkbenchCases::ReceiveResult &result)
{
    print(prefix + ".mbps", result.seconds > 0 ? bytes / MiB / result.seconds : 0);
    print(prefix + ".cpu", result.cpuSeconds);
    print(prefix + ".stall", result.longestStallMs);
    print(prefix + ".memory", result.peakMemoryMiB);
    print(prefix + ".complete", result.captureComplete ? 1 : 0);
}

void printIntervals(const QString &prefix, const QVector<double> &intervals)
{
    QVector<double> errors;
    for (double interval : intervals)
        errors.append(std::abs(interval - 200.0));
    print(prefix + ".mean", Measurements::mean(intervals));
    print(prefix + ".p99error", Measurements::percentile(errors, 0.99));
    print(prefix + ".count", intervals.size());
}

void printSlowReader(const WorkbenchCases::SlowReaderResult &result)
{
    print("slow.clean", result.secondsWithoutReport);
    print("slow.messages", result.messages);
    print("slow.error", result.firstErrorNumber);
    print("slow.sending", result.stillSending ? 1 : 0);
    print("slow.rate", result.bytesPerSecondRead);
    print("slow.waiting", result.mostWaiting);
    print("slow.memory", result.peakMemoryMiB);
}

void printLateStart(const WorkbenchCases::StartResult &result)
{
    print("latestart.stall", result.longestStallMs);
    print("latestart.seconds", result.seconds);
    print("latestart.started", result.started ? 1 : 0);
    print("latestart.messages", result.messages);
}

void printViewer(const ViewerCase::Result &result)
{
    print("viewer.load", result.loadSeconds);
    print("viewer.index", result.indexSeconds);
    print("viewer.end", result.lastLineShown ? 1 : 0);
    print("viewer.search", result.searchSeconds);
    print("viewer.searchmbps", result.searchMBps);
    print("viewer.stall", result.longestStallMs);
    print("viewer.holdup", result.longestHoldUpMs);
    print("viewer.memory", result.peakMemoryMiB);
    print("viewer.behind", result.farEndHeldBackKiB);
    print("viewer.late", result.farEndLateMs);
}

// The large capture the viewer opens: the one the run wrote, or one of the case's own.
QString largeCapture(const Options &options, QTemporaryDir &folder)
{
    if (!options.largeCapture.isEmpty())
        return options.largeCapture;
    const QString capture = folder.filePath(QStringLiteral("large.txt"));
    ViewerCase::writeLargeCapture(capture, options.viewerMiB);
    return capture;
}

void runViewer(const Options &options)
{
    QTemporaryDir folder;
    printViewer(ViewerCase::run(largeCapture(options, folder), ViewerStreamBytesPerSecond,
                                ViewerCase::Work::ViewAndSearch));
}

// The receive path beside an idle viewer, for the hold-up the viewer's work adds.
void runIdleViewer(const Options &options)
{
    QTemporaryDir folder;
    const ViewerCase::Result result = ViewerCase::run(largeCapture(options, folder), ViewerStreamBytesPerSecond,
                                                      ViewerCase::Work::Idle);
    print("idleviewer.stall", result.longestStallMs);
    print("idleviewer.holdup", result.longestHoldUpMs);
    print("idleviewer.late", result.farEndLateMs);
}

void runPlainScan(const Options &options)
{
    QTemporaryDir folder;
    const ViewerCase::PlainScan scan = ViewerCase::plainScan(largeCapture(options, folder));
    print("scan.count", scan.countMBps);
    print("scan.search", scan.searchMBps);
}

void printLink(const QString &prefix, const LinkTestCases::Result &result)
{
    print(prefix + ".mbps", result.mbps);
    print(prefix + ".cpupermib", result.cpuPerMiB);
    print(prefix + ".complete", result.complete ? 1 : 0);
}

struct Case
{
    const char *name;
    std::function<void(const Options &)> run;
};

const std::vector<Case> &cases()
{
    static const std::vector<Case> all = {
        {"plain-receive", [](const Options &o) {
             const qint64 bytes = qint64(o.streamMiB) * 1024 * 1024;
             print("plain.mbps", bytes / MiB / Baselines::plainReceiveSeconds(bytes));
         }},
        {"serial-receive", [](const Options &o) {
             const qint64 bytes = qint64(o.streamMiB) * 1024 * 1024;
             print("serial.mbps", bytes / MiB / Baselines::serialPortReceiveSeconds(bytes));
         }},
        {"ser2net-receive", [](const Options &o) {
             const qint64 bytes = qint64(o.streamMiB) * 1024 * 1024;
             const double seconds = Baselines::plainSer2netReceiveSeconds(bytes);
             print("ser2net.mbps", seconds > 0 ? bytes / MiB / seconds : 0);
         }},
        {"velmora-text", [](const Options &o) {
             const qint64 bytes = qint64(o.streamMiB) * 1024 * 1024;
             printReceive("text", bytes, WorkbenchCases::receive(bytes, 0));
         }},
        {"velmora-remote", [](const Options &o) {
             const qint64 bytes = qint64(o.streamMiB) * 1024 * 1024;
             printReceive("remote", bytes, WorkbenchCases::receive(bytes, 0, true));
         }},
        {"velmora-hex", [](const Options &o) {
             const qint64 bytes = qint64(o.streamMiB) * 1024 * 1024;
             printReceive("hex", bytes, WorkbenchCases::receive(bytes, 1));
         }},
        {"velmora-steady", [](const Options &o) {
             print("steady.cpu", WorkbenchCases::steadyCpuShare(SteadyBytesPerSecond, o.steadySeconds));
         }},
        // The same stream cut into its 64-byte lines by their CR LF: every line a frame.
        {"velmora-steady-framed", [](const Options &o) {
             print("steadyframed.cpu", WorkbenchCases::steadyCpuShare(SteadyBytesPerSecond, o.steadySeconds,
                                                                      "[Frames]\nKind=3\nTerminator=0D 0A\n"));
         }},
        {"plain-answer", [](const Options &o) {
             printTrips("plain.trip", Baselines::plainRoundTrips(o.exchanges));
         }},
        {"serial-answer", [](const Options &o) {
             printTrips("serial.trip", Baselines::serialPortRoundTrips(o.exchanges, "AT", "OK"));
         }},
        {"velmora-answer", [](const Options &o) {
             printTrips("velmora.trip", WorkbenchCases::answerRoundTrips(o.exchanges, "AT", "OK"));
         }},
        {"velmora-answer-rules", [](const Options &o) {
             printTrips("rules.trip", WorkbenchCases::ruleRoundTrips(o.exchanges, AnswerRules, "AT", "OK"));
         }},
        {"crc32", [](const Options &) { print("crc32.mbps", WorkbenchCases::crc32MBps(1024 * 1024)); }},
        {"serial-answer-4k", [](const Options &o) {
             printTrips("serial4k.trip", Baselines::serialPortRoundTrips(o.longExchanges,
                            Baselines::longCommand(LongMessageBytes), Baselines::longAnswer(LongMessageBytes)));
         }},
        {"velmora-answer-4k", [](const Options &o) {
             printTrips("velmora4k.trip", WorkbenchCases::answerRoundTrips(o.longExchanges,
                            Baselines::longCommand(LongMessageBytes), Baselines::longAnswer(LongMessageBytes)));
         }},
        {"serial-periodic", [](const Options &o) {
             printIntervals("serial.periodic", Baselines::serialPortPeriodicIntervals(o.periods));
         }},
        {"nanosleep-periodic", [](const Options &o) {
             printIntervals("nanosleep.periodic", Baselines::nanosleepPeriodicIntervals(o.periods));
         }},
        {"velmora-periodic", [](const Options &o) {
             printIntervals("periodic", WorkbenchCases::periodicIntervals(o.periods));
         }},
        {"velmora-slow-reader", [](const Options &o) {
             printSlowReader(WorkbenchCases::slowReader(SlowCommandBytes, SlowLineBytesPerSecond, o.slowSeconds));
         }},
        {"plain-scan", runPlainScan},
        {"velmora-viewer-idle", runIdleViewer},
        {"velmora-viewer", runViewer},
        {"velmora-late-start", [](const Options &) {
             printLateStart(WorkbenchCases::lateStart(LateAnswerMilliseconds));
         }},
        {"plain-linkloop", [](const Options &o) {
             printLink("plainlink", LinkTestCases::plainLoop(qint64(o.streamMiB) * 1024 * 1024));
         }},
        {"velmora-linktest", [](const Options &o) {
             printLink("linktest", LinkTestCases::linkTest(qint64(o.streamMiB) * 1024 * 1024));
         }},
        {"velmora-linktest-paced", [](const Options &o) {
             print("linkpaced.share", LinkTestCases::pacedShare(o.slowSeconds));
         }},
        {"velmora-linkchecker", [](const Options &o) {
             print("linkchecker.mbps", LinkTestCases::checkerMBps(qint64(o.streamMiB) * 1024 * 1024));
         }},
    };
    return all;
}

int runCase(const Options &options)
{
    for (const Case &each : cases()) {
        if (options.caseName == QLatin1String(each.name)) {
            each.run(options);
            return 0;
        }
    }
    std::fprintf(stderr, "unknown case %s; the cases are:\n", qPrintable(options.caseName));
    for (const Case &each : cases())
        std::fprintf(stderr, "  %s\n", each.name);
    return 2;
}

void collect(const QByteArray &output, Results &results)
{
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2)
            results[QString::fromLatin1(fields.at(0))].append(fields.at(1).toDouble());
    }
}

// Round after round, each case once in a process of its own: a slow spell of the
// machine then touches every case alike instead of one case's every sample.
Results runAll(const QString &program, Options options)
{
    QTemporaryDir folder;
    options.largeCapture = folder.filePath(QStringLiteral("large.txt"));
    std::fprintf(stderr, "writing a %d MiB capture for the viewer ...\n", options.viewerMiB);
    ViewerCase::writeLargeCapture(options.largeCapture, options.viewerMiB);
    Results results;
    for (int round = 1; round <= options.rounds; ++round) {
        for (const Case &each : cases()) {
            std::fprintf(stderr, "round %d of %d: %s ...\n", round, options.rounds, each.name);
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(program, options.caseArguments(QString::fromLatin1(each.name)));
            child.waitForFinished(-1);
            collect(child.readAllStandardOutput(), results);
        }
    }
    return results;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Options options;
    if (!options.parse(app.arguments())) {
        Options::printUsage();
        return 2;
    }
    if (!options.caseName.isEmpty())
        return runCase(options);
    printReport(runAll(app.applicationFilePath(), options), options);
    return 0;
}
