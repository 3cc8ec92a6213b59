// Velmora workbench. Licensed under the MIT licence.
#include "linktestcommand.h"

#include "commandoutput.h"
#include "terminationwatcher.h"

#include <runtimeerror.h>

#include <QCommandLineParser>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>


using CommandOutput::oneLine;
using CommandOutput::print;
using CommandOutput::refuse;

namespace {

constexpr char Usage[] =
    "Usage: tarrock linktest --out PORT [--in PORT] [options]\n"
    "\n"
    "Runs one link test without a window: sends a test pattern out of one port, checks\n"
    "what arrives at the other (or back at the same port, over a loopback plug), and\n"
    "exits 0 when it passed, 1 when it failed or was stopped, 2 when it could not start.\n"
    "\n"
    "A PORT is a port number of the port map (3 or COM3), a device path (/dev/ttyUSB0)\n"
    "or a network line (rfc2217://host:port, tcp://host:port).\n"
    "\n";
constexpr char Options[] =
    "  --pattern P           prbs7, prbs9, prbs15, prbs23, prbs31, counting, 55, aa, 00,\n"
    "                        ff, or hex:BYTES for bytes of your own (default prbs15)\n"
    "  --form F              framed (numbered blocks with a CRC) or raw (default framed)\n"
    "  --payload N           payload bytes of a framed block (default 256)\n"
    "  --both-ways           test both directions at once (full duplex)\n"
    "  --seconds N           send for N seconds (default 10)\n"
    "  --bytes N             send N bytes instead\n"
    "  --until-stopped       send until SIGINT or SIGTERM\n"
    "  --pace PERCENT        send at this share of the line's rate (default: as fast as it takes)\n"
    "  --ber-limit X         pass at or below this bit error rate (default 0)\n"
    "  --report FILE.json    write every figure as JSON\n"
    "  --junit FILE.xml      write a JUnit report, one test case per direction\n"
    "  -h, --help            print this help and exit\n"
    "\n"
    "Progress goes to standard error at most once a second, the summary to standard\n"
    "output. SIGINT or SIGTERM stops the test; the reports are then marked interrupted.\n";

qint64 number(const QString &text, const QString &option, qint64 least, qint64 most)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < least || value > most)
        refuse(QStringLiteral("--%1 takes a whole number from %2 to %3, not '%4'").arg(option).arg(least).arg(most).arg(text));
    return value;
}

TestPattern::Kind patternOf(const QString &name, QByteArray *userBytes)
{
    const QString lower = name.toLower();
    static const QList<std::pair<QString, TestPattern::Kind>> kinds = {
        {QStringLiteral("prbs7"), TestPattern::Prbs7},     {QStringLiteral("prbs9"), TestPattern::Prbs9},
        {QStringLiteral("prbs15"), TestPattern::Prbs15},   {QStringLiteral("prbs23"), TestPattern::Prbs23},
        {QStringLiteral("prbs31"), TestPattern::Prbs31},   {QStringLiteral("counting"), TestPattern::Counting},
        {QStringLiteral("55"), TestPattern::Fixed55},      {QStringLiteral("aa"), TestPattern::FixedAA},
        {QStringLiteral("00"), TestPattern::Fixed00},      {QStringLiteral("ff"), TestPattern::FixedFF},
    };
    for (const auto &[key, kind] : kinds) {
        if (lower == key)
            return kind;
    }
    if (lower.startsWith(QStringLiteral("hex:"))) {
        const QString digits = lower.mid(4).remove(QLatin1Char(' '));
        static const QRegularExpression hex(QStringLiteral("^([0-9a-f]{2})+$"));
        if (hex.match(digits).hasMatch()) {
            *userBytes = QByteArray::fromHex(digits.toLatin1());
            return TestPattern::UserBytes;
        }
    }
    refuse(QStringLiteral("unknown pattern '%1' (tarrock linktest --help lists them)").arg(name));
}

} // namespace

QString LinkTestCommand::helpText()
{
    return QString::fromLatin1(Usage) + CommandPorts::helpText(CommandPorts::Shape::OutAndIn) + QString::fromLatin1(Options);
}

int LinkTestCommand::run(const QStringList &arguments)
{
    LinkTestCommand command;
    return CommandOutput::runCommand(QStringLiteral("linktest"), helpText(), [&] { return command.parse(arguments); },
                                     [&] { return command.execute(); });
}

bool LinkTestCommand::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    m_ports.addOptions(parser);
    const QStringList valued = {"pattern", "form", "payload", "seconds", "bytes", "pace", "ber-limit", "report", "junit"};
    for (const QString &name : valued)
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));
    for (const char *name : {"both-ways", "until-stopped"})
        parser.addOption(QCommandLineOption(QString::fromLatin1(name)));
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    if (!parser.parse(QStringList{QStringLiteral("tarrock")} + arguments))
        refuse(parser.errorText() + QStringLiteral(" (tarrock linktest --help lists the options)"));
    if (!parser.positionalArguments().isEmpty())
        refuse(QStringLiteral("unexpected argument '%1' (tarrock linktest --help lists the options)")
                   .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(QStringLiteral("help")))
        return false;

    LinkSetup &setup = m_setup;
    if (parser.isSet(QStringLiteral("pattern")))
        setup.pattern = patternOf(parser.value(QStringLiteral("pattern")), &setup.userBytes);
    const QString form = parser.value(QStringLiteral("form")).toLower();
    if (form == QStringLiteral("raw"))
        setup.form = LinkChecker::Form::Raw;
    else if (!form.isEmpty() && form != QStringLiteral("framed"))
        refuse(QStringLiteral("unknown form '%1' (framed or raw)").arg(form));
    if (parser.isSet(QStringLiteral("payload")))
        setup.payloadBytes = int(number(parser.value(QStringLiteral("payload")), QStringLiteral("payload"), 16, 4096));
    if (parser.isSet(QStringLiteral("both-ways")))
        setup.direction = LinkSetup::Direction::BothWays;
    const int amounts = int(parser.isSet(QStringLiteral("seconds"))) + int(parser.isSet(QStringLiteral("bytes")))
                        + int(parser.isSet(QStringLiteral("until-stopped")));
    if (amounts > 1)
        refuse(QStringLiteral("give one of --seconds, --bytes and --until-stopped"));
    if (parser.isSet(QStringLiteral("seconds")))
        setup.seconds = number(parser.value(QStringLiteral("seconds")), QStringLiteral("seconds"), 1, 7 * 24 * 3600);
    if (parser.isSet(QStringLiteral("bytes"))) {
        setup.amount = LinkSetup::Amount::Bytes;
        setup.bytes = number(parser.value(QStringLiteral("bytes")), QStringLiteral("bytes"), 1, Q_INT64_C(1) << 50);
    }
    if (parser.isSet(QStringLiteral("until-stopped")))
        setup.amount = LinkSetup::Amount::UntilStopped;
    if (parser.isSet(QStringLiteral("pace")))
        setup.pacePercent = int(number(parser.value(QStringLiteral("pace")), QStringLiteral("pace"), 1, 100));
    if (parser.isSet(QStringLiteral("ber-limit"))) {
        bool ok = false;
        setup.bitErrorRateLimit = parser.value(QStringLiteral("ber-limit")).toDouble(&ok);
        if (!ok || setup.bitErrorRateLimit < 0 || setup.bitErrorRateLimit >= 1)
            refuse(QStringLiteral("--ber-limit takes a rate from 0 to below 1, such as 1e-6, not '%1'")
                       .arg(parser.value(QStringLiteral("ber-limit"))));
    }
    m_reportPath = parser.value(QStringLiteral("report"));
    m_junitPath = parser.value(QStringLiteral("junit"));
    // Found out before the test, not after it.
    for (const QString &path : {m_reportPath, m_junitPath}) {
        if (!path.isEmpty() && !QFileInfo(path).absoluteDir().exists())
            refuse(QStringLiteral("cannot write %1: its folder does not exist").arg(path));
    }
    m_ports.read(parser);
    return true;
}

int LinkTestCommand::execute()
{
    Session session;
    m_ports.prepare(session);
    LinkRunner runner;
    TerminationWatcher watcher;
    RunReports::Run run;
    run.setup = m_setup;
    run.outPort = m_ports.outName;
    run.inPort = m_ports.inName;
    run.ports = LinkPorts::of(session);
    try {
        runner.start(run.ports, m_setup);
    } catch (const Component::RuntimeError &error) {
        print(stderr, QStringLiteral("tarrock linktest: %1%2\n").arg(oneLine(error.description()), m_ports.mappedNote()));
        return SetUpFailed;
    }
    m_progressOnTerminal = CommandOutput::terminalOnStandardError();
    m_sinceProgress.start();
    QEventLoop loop;
    QObject::connect(&runner, &LinkRunner::progress, &loop, [&] { printProgress(run, runner.figures()); });
    QObject::connect(&runner, &LinkRunner::finished, &loop, &QEventLoop::quit);
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &loop, [&] {
        // A second request ends at once, as the runner's second stop does.
        run.interrupted = true;
        runner.stop();
    });
    if (runner.running())
        loop.exec();
    if (m_progressOnTerminal)
        print(stderr, QStringLiteral("\n"));
    run.figures = runner.figures();
    return finish(run);
}

void LinkTestCommand::printProgress(const RunReports::Run &run, const LinkFigures &figures)
{
    if (m_sinceProgress.elapsed() < 1000)
        return;
    m_sinceProgress.restart();
    QStringList parts;
    for (const DirectionFigures &d : figures.directions) {
        parts << QStringLiteral("%1: %2 B sent, %3 B received, %4 bit errors, %5 B lost")
                     .arg(RunReports::directionName(run, d)).arg(d.bytesSent).arg(d.counts.bytesReceived)
                     .arg(d.counts.bitErrors).arg(d.counts.bytesLost);
    }
    const QString line = QStringLiteral("%1 s: %2").arg(figures.elapsedSeconds, 0, 'f', 0).arg(parts.join(QStringLiteral("; ")));
    print(stderr, m_progressOnTerminal ? QStringLiteral("\r\033[K") + line : line + QLatin1Char('\n'));
}

int LinkTestCommand::finish(const RunReports::Run &run)
{
    const bool passed = RunReports::passed(run);
    QString summary;
    for (const DirectionFigures &d : run.figures.directions) {
        const QString why = RunReports::failure(d, run.setup.bitErrorRateLimit);
        summary += QStringLiteral("%1: %2 bytes sent, %3 received, %4 bit errors (rate %5), %6 bytes lost, %7 inserted: %8\n")
                       .arg(RunReports::directionName(run, d)).arg(d.bytesSent).arg(d.counts.bytesReceived)
                       .arg(d.counts.bitErrors).arg(d.bitErrorRate()).arg(d.counts.bytesLost).arg(d.counts.bytesInserted)
                       .arg(why.isEmpty() ? QStringLiteral("ok") : why);
    }
    if (run.interrupted)
        summary += QStringLiteral("interrupted after %1 s\n").arg(run.figures.elapsedSeconds, 0, 'f', 1);
    if (!run.figures.lossNote.isEmpty())
        summary += run.figures.lossNote + QLatin1Char('\n');
    summary += passed ? QStringLiteral("PASSED\n") : QStringLiteral("FAILED\n");
    print(stdout, summary);

    int status = passed ? Passed : Failed;
    const auto writeReport = [&status](const QString &path, const QByteArray &contents) {
        QString error;
        if (!path.isEmpty() && !RunReports::write(path, contents, &error)) {
            print(stderr, QStringLiteral("tarrock linktest: %1\n").arg(error));
            status = Failed;
        }
    };
    writeReport(m_reportPath, RunReports::json(run));
    writeReport(m_junitPath, RunReports::junit(run));
    return status;
}
