// Velmora workbench. Licensed under the MIT licence.
#include "runcommand.h"

#include "commandlistfile.h"
#include "commandoutput.h"
#include "interfacelanguage.h"
#include "runreports.h"
#include "sequencerunner.h"
#include "terminationwatcher.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <stdexcept>

using CommandOutput::print;
using CommandOutput::refuse;

namespace {

constexpr char Usage[] =
    "Usage: tarrock run FILE --out PORT [--in PORT] [options]\n"
    "\n"
    "Runs the sequence of a command-list file (the format of velmora-protocol.json, as the\n"
    "command list window exports it) without a window: sends its rows, waits, waits for\n"
    "replies, repeats, and exits 0 when every step passed, 1 when a step failed or the run\n"
    "was stopped, 2 when it could not start (a missing or busy port, a malformed file).\n"
    "\n"
    "A PORT is a port number of the port map (3 or COM3), a device path (/dev/ttyUSB0)\n"
    "or a network line (rfc2217://host:port, tcp://host:port). With one port (--in left\n"
    "out) the rows go out of it and the replies come back through it.\n"
    "\n";
constexpr char Options[] =
    "  --report FILE.json    write every step's outcome as JSON\n"
    "  --junit FILE.xml      write a JUnit report, one test case per step\n"
    "  -h, --help            print this help and exit\n"
    "\n"
    "The file's \"stopAtFailure\" decides whether the first failure ends the run. Progress\n"
    "goes to standard error at most once a second, the summary to standard output.\n"
    "SIGINT or SIGTERM stops the run; the reports are then marked interrupted.\n";

// Why a step failed, as far as the step itself tells.
QString failureOf(const ProtocolSet &set, const ProtocolSet::Step &step, const QString &sendProblem)
{
    switch (step.kind) {
    case ProtocolSet::Step::Send:
        if (set.commandNamed(step.command) < 0)
            return QStringLiteral("no command named '%1' in the file").arg(step.command);
        return sendProblem.isEmpty() ? QStringLiteral("not sent") : QStringLiteral("not sent: %1").arg(sendProblem);
    case ProtocolSet::Step::Expect:
        return QStringLiteral("no reply matching '%1' within %2 ms").arg(step.pattern).arg(step.milliseconds);
    default:
        return QStringLiteral("failed");
    }
}

} // namespace

QString RunCommand::helpText()
{
    return QString::fromLatin1(Usage) + CommandPorts::helpText(CommandPorts::Shape::OutAndIn) + QString::fromLatin1(Options);
}

int RunCommand::run(const QStringList &arguments)
{
    QString problem;
    InterfaceLanguage::install(QCoreApplication::applicationDirPath(), &problem);
    if (!problem.isEmpty())
        print(stderr, problem + QLatin1Char('\n'));
    RunCommand command;
    try {
        if (!command.parse(arguments)) {
            print(stdout, helpText());
            return Passed;
        }
    } catch (const std::runtime_error &error) {
        print(stderr, QStringLiteral("tarrock run: %1\n").arg(QString::fromStdString(error.what())));
        return SetUpFailed;
    }
    return command.execute();
}

bool RunCommand::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    m_ports.addOptions(parser);
    for (const char *name : {"report", "junit"})
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    if (!parser.parse(QStringList{QStringLiteral("tarrock")} + arguments))
        refuse(parser.errorText() + QStringLiteral(" (tarrock run --help lists the options)"));
    if (parser.isSet(QStringLiteral("help")))
        return false;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        refuse(files.isEmpty() ? QStringLiteral("no command-list file given (tarrock run --help)")
                               : QStringLiteral("unexpected argument '%1' (tarrock run --help lists the options)").arg(files.at(1)));
    m_reportPath = parser.value(QStringLiteral("report"));
    m_junitPath = parser.value(QStringLiteral("junit"));
    for (const QString &path : {m_reportPath, m_junitPath}) {
        if (!path.isEmpty() && !QFileInfo(path).absoluteDir().exists())
            refuse(QStringLiteral("cannot write %1: its folder does not exist").arg(path));
    }
    m_set = CommandListFile::read(files.constFirst());
    if (m_set.sequence.isEmpty())
        refuse(QStringLiteral("%1 holds no sequence").arg(files.constFirst()));
    m_ports.read(parser);
    m_report = SequenceReport::of(files.constFirst(), m_set);
    m_report.outPort = m_ports.outName;
    m_report.inPort = m_ports.inName;
    return true;
}

int RunCommand::execute()
{
    Session session;
    m_ports.prepare(session);
    Session::Choices choices = session.choices();
    choices.mode = TransferEngine::ModeSendReceive;
    choices.rowsOnly = true;
    choices.format = CommandCodec::FormatHex;
    const Session::Refusal refused = session.start(choices);
    if (refused.refused()) {
        print(stderr, QStringLiteral("tarrock run: %1\n").arg(m_ports.refusalText(refused)));
        return SetUpFailed;
    }

    SequenceRunner runner;
    TerminationWatcher watcher;
    QEventLoop loop;
    QString sendProblem;
    runner.setSender([&](int command) {
        sendProblem.clear();
        const Session::Refusal result = session.sendCommand(m_set.commands.at(command));
        if (result.refused())
            sendProblem = m_ports.refusalText(result);
        return session.running() && !result.refused();
    });
    QObject::connect(&session, &Session::arrived, &runner, &SequenceRunner::received);
    // A failed write is reported by the engine rather than by the send.
    QObject::connect(&session, &Session::failed, &loop, [&](int, const QString &description) {
        sendProblem = CommandOutput::oneLine(description);
        print(stderr, QStringLiteral("tarrock run: %1\n").arg(sendProblem));
    });
    QObject::connect(&session, &Session::deviceLost, &loop, [&](qint16 port, bool, const QString &reason) {
        m_report.note = QStringLiteral("the device of Com %1 went away%2").arg(port).arg(reason.isEmpty() ? QString() : QStringLiteral(": ") + CommandOutput::oneLine(reason));
        runner.stop();
    });
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &loop, [&] {
        m_report.interrupted = true;
        if (SequenceReport::Step *step = m_report.step(runner.currentStep()))
            step->underWay = true;
        runner.stop();
    });

    QElapsedTimer sinceStep;
    QElapsedTimer sinceStart;
    QObject::connect(&runner, &SequenceRunner::stepDone, &loop, [&](int index, bool passed) {
        SequenceReport::Step *step = m_report.step(index);
        if (!step)
            return;
        ++step->runs;
        step->seconds += double(sinceStep.nsecsElapsed()) / 1e9;
        sinceStep.restart();
        if (!passed && step->failures++ == 0)
            step->failure = failureOf(m_set, m_set.sequence.at(index), sendProblem);
    });
    QObject::connect(&runner, &SequenceRunner::finished, &loop, [&](int, int, bool completed) {
        m_report.completed = completed;
        loop.quit();
    });
    // Progress at most once a second: a line updated in place on a terminal.
    const bool onTerminal = CommandOutput::terminalOnStandardError();
    QTimer progress;
    progress.setInterval(1000);
    QObject::connect(&progress, &QTimer::timeout, &loop, [&] {
        const QString line = QStringLiteral("%1 s: %2 steps passed, %3 failed")
                                 .arg(sinceStart.elapsed() / 1000).arg(m_report.runsPassed()).arg(m_report.runsFailed());
        print(stderr, onTerminal ? QStringLiteral("\r\033[K") + line : line + QLatin1Char('\n'));
    });

    m_report.started = QDateTime::currentDateTime();
    sinceStart.start();
    sinceStep.start();
    progress.start();
    runner.start(m_set);
    if (runner.running())
        loop.exec();
    progress.stop();
    if (onTerminal && sinceStart.elapsed() >= 1000)
        print(stderr, QStringLiteral("\n"));
    m_report.seconds = sinceStart.elapsed() / 1000.0;
    // The ports close as at the window's stop: each line gets its settings back.
    session.stop();
    session.shutDown();
    return finish();
}

int RunCommand::finish()
{
    QString summary;
    for (const SequenceReport::Step &step : std::as_const(m_report.steps)) {
        QString verdict = step.runs == 0 ? QStringLiteral("not run")
            : step.failures == 0        ? QStringLiteral("passed")
                                        : QStringLiteral("failed %1 of %2: %3").arg(step.failures).arg(step.runs).arg(step.failure);
        if (step.runs > 1 && step.failures == 0)
            verdict = QStringLiteral("passed %1 times").arg(step.runs);
        if (step.underWay)
            verdict += QStringLiteral(", interrupted");
        summary += QStringLiteral("%1: %2\n").arg(step.name, verdict);
    }
    summary += QStringLiteral("sequence: %1 steps passed, %2 failed in %3 s\n")
                   .arg(m_report.runsPassed()).arg(m_report.runsFailed()).arg(m_report.seconds, 0, 'f', 1);
    if (m_report.interrupted)
        summary += QStringLiteral("interrupted\n");
    if (!m_report.note.isEmpty())
        summary += m_report.note + QLatin1Char('\n');
    summary += m_report.passed() ? QStringLiteral("PASSED\n") : QStringLiteral("FAILED\n");
    print(stdout, summary);

    int status = m_report.passed() ? Passed : Failed;
    const auto writeReport = [&status](const QString &path, const QByteArray &contents) {
        QString error;
        if (!path.isEmpty() && !RunReports::write(path, contents, &error)) {
            print(stderr, QStringLiteral("tarrock run: %1\n").arg(error));
            status = Failed;
        }
    };
    writeReport(m_reportPath, m_report.json());
    writeReport(m_junitPath, m_report.junit());
    return status;
}
