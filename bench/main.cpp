// Velmora benchmark. Licensed under the MIT licence.
// Measures the program's receive throughput, far-end answer latency and periodic-send
// precision on pseudo-terminals, each beside baselines measured in the same run.
// Every case runs in a process of its own, so that peak memory is the case's own.
#include "baselines.h"
#include "measurements.h"
#include "workbenchcases.h"

#include <QApplication>
#include <QHash>
#include <QProcess>
#include <QThread>

#include <cmath>
#include <cstdio>

namespace {

constexpr qint64 StreamBytes = 32LL * 1024 * 1024;
constexpr int Exchanges = 2000;
constexpr int Periods = 100;
constexpr double MiB = 1024.0 * 1024.0;

using Results = QHash<QString, double>;

void print(const char *key, double value)
{
    std::printf("%s %.6f\n", key, value);
}

void printTrips(const char *prefix, const QVector<double> &trips)
{
    print((QByteArray(prefix) + ".median").constData(), Measurements::percentile(trips, 0.5));
    print((QByteArray(prefix) + ".p99").constData(), Measurements::percentile(trips, 0.99));
    print((QByteArray(prefix) + ".count").constData(), trips.size());
}

void printReceive(const char *prefix, const WorkbenchCases::ReceiveResult &result)
{
    print((QByteArray(prefix) + ".mbps").constData(), StreamBytes / MiB / result.seconds);
    print((QByteArray(prefix) + ".stall").constData(), result.longestStallMs);
    print((QByteArray(prefix) + ".memory").constData(), result.peakMemoryMiB);
    print((QByteArray(prefix) + ".complete").constData(), result.captureComplete ? 1 : 0);
}

void printIntervals(const char *prefix, const QVector<double> &intervals)
{
    QVector<double> errors;
    for (double interval : intervals)
        errors.append(std::abs(interval - 200.0));
    print((QByteArray(prefix) + ".mean").constData(), Measurements::mean(intervals));
    print((QByteArray(prefix) + ".p99error").constData(), Measurements::percentile(errors, 0.99));
    print((QByteArray(prefix) + ".count").constData(), intervals.size());
}

int runCase(const QString &name)
{
    if (name == QLatin1String("plain-receive"))
        print("plain.mbps", StreamBytes / MiB / Baselines::plainReceiveSeconds(StreamBytes));
    else if (name == QLatin1String("serial-receive"))
        print("serial.mbps", StreamBytes / MiB / Baselines::serialPortReceiveSeconds(StreamBytes));
    else if (name == QLatin1String("plain-answer"))
        printTrips("plain.trip", Baselines::plainRoundTrips(Exchanges));
    else if (name == QLatin1String("serial-answer"))
        printTrips("serial.trip", Baselines::serialPortRoundTrips(Exchanges));
    else if (name == QLatin1String("velmora-text"))
        printReceive("text", WorkbenchCases::receive(StreamBytes, 0));
    else if (name == QLatin1String("velmora-hex"))
        printReceive("hex", WorkbenchCases::receive(StreamBytes, 1));
    else if (name == QLatin1String("velmora-steady"))
        print("steady.cpu", WorkbenchCases::steadyCpuShare(1000 * 1000, 5));
    else if (name == QLatin1String("velmora-answer"))
        printTrips("velmora.trip", WorkbenchCases::answerRoundTrips(Exchanges));
    else if (name == QLatin1String("serial-periodic"))
        printIntervals("serial.periodic", Baselines::serialPortPeriodicIntervals(Periods));
    else if (name == QLatin1String("velmora-periodic"))
        printIntervals("periodic", WorkbenchCases::periodicIntervals(Periods));
    else {
        std::fprintf(stderr, "unknown case %s\n", qPrintable(name));
        return 2;
    }
    return 0;
}

Results runAll(const QString &program)
{
    const QStringList cases = {"plain-receive", "serial-receive", "velmora-text", "velmora-hex",
                               "velmora-steady", "plain-answer", "serial-answer",
                               "velmora-answer", "serial-periodic", "velmora-periodic"};
    Results results;
    for (const QString &name : cases) {
        std::fprintf(stderr, "running %s ...\n", qPrintable(name));
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(program, {QStringLiteral("--case"), name});
        child.waitForFinished(-1);
        const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
        for (const QByteArray &line : lines) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() == 2)
                results.insert(QString::fromLatin1(fields.at(0)), fields.at(1).toDouble());
        }
    }
    return results;
}

const char *verdict(bool met)
{
    return met ? "met" : "NOT MET";
}

void report(const Results &r)
{
    const double plain = r.value("plain.mbps");
    const double serial = r.value("serial.mbps");
    std::printf("Velmora benchmark on %d cores: %lld MiB streams, %d exchanges, %d periods\n\n",
                QThread::idealThreadCount(), StreamBytes / (1024 * 1024), Exchanges, Periods);
    std::printf("Receive (mode 2, capture on)        MB/s   ratio to plain loop\n");
    std::printf("  plain read()/poll() loop      %9.1f   1.00\n", plain);
    std::printf("  bare QSerialPort reader       %9.1f   %.2f\n", serial, serial / plain);
    for (const char *format : {"text", "hex"}) {
        const QString key = QString::fromLatin1(format);
        const double mbps = r.value(key + ".mbps");
        const double goal = key == "text" ? 0.25 : 1.0 / 6;
        std::printf("  Velmora, %-4s format          %9.1f   %.2f (goal >= %.2f: %s)\n", format, mbps,
                    mbps / plain, goal, verdict(mbps / plain >= goal));
        std::printf("      longest event-loop stall %.1f ms (goal <= 50: %s), peak memory %.1f MiB "
                    "(goal < 100: %s), capture holds every byte: %s\n",
                    r.value(key + ".stall"), verdict(r.value(key + ".stall") <= 50),
                    r.value(key + ".memory"), verdict(r.value(key + ".memory") < 100),
                    r.value(key + ".complete") > 0 ? "yes" : "NO");
    }
    std::printf("  Velmora at a steady 1 MB/s: %.1f %% of one core (goal <= 25 %%: %s)\n\n",
                r.value("steady.cpu") * 100, verdict(r.value("steady.cpu") <= 0.25));

    const double serialMedian = r.value("serial.trip.median");
    std::printf("Far-end answer (mode 3, AT -> OK)   median us   p99 us   median ratio to QSerialPort\n");
    std::printf("  plain read()/poll() responder  %9.1f %9.1f   %.2f\n", r.value("plain.trip.median"),
                r.value("plain.trip.p99"), r.value("plain.trip.median") / serialMedian);
    std::printf("  bare QSerialPort responder     %9.1f %9.1f   1.00\n", serialMedian,
                r.value("serial.trip.p99"));
    const double median = r.value("velmora.trip.median");
    std::printf("  Velmora                        %9.1f %9.1f   %.2f (goal <= 3: %s; p99 <= 1000 us: %s; %d exchanges)\n\n",
                median, r.value("velmora.trip.p99"), median / serialMedian, verdict(median / serialMedian <= 3),
                verdict(r.value("velmora.trip.p99") <= 1000), int(r.value("velmora.trip.count")));

    const double mean = r.value("periodic.mean");
    std::printf("Periodic send (mode 0, 200 ms, repeat on)\n");
    std::printf("  bare QTimer and QSerialPort: mean interval %.3f ms, p99 interval error %.3f ms\n",
                r.value("serial.periodic.mean"), r.value("serial.periodic.p99error"));
    std::printf("  Velmora: mean interval %.3f ms (goal within 0.2 ms of 200: %s), p99 interval error %.3f ms "
                "(goal <= 1.5: %s), %d intervals\n",
                mean, verdict(std::abs(mean - 200) <= 0.2), r.value("periodic.p99error"),
                verdict(r.value("periodic.p99error") <= 1.5), int(r.value("periodic.count")));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--case"))
        return runCase(arguments.at(2));
    report(runAll(app.applicationFilePath()));
    return 0;
}
