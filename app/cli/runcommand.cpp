// Velmora workbench. Licensed under the MIT licence.
#include "runcommand.h"

#include "commandlistfile.h"
#include "commandoutput.h"
#include "runreports.h"
#include "sequencerunner.h"
#include "terminationwatcher.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>


using CommandOutput::print;
using CommandOutput::refuse;

namespace {

constexpr char Usage[] =
    "Usage: tarrock run FILE --out PORT [--in PORT] [--sequence NAME] [options]\n"
    "\n"
    "Runs the sequences of a command-list file (the format of velmora-protocol.json, as the\n"
    "command list window exports it) without a window: sends their rows, waits, waits for\n"
    "replies, repeats, and exits 0 when every step passed, 1 when a step failed or the run\n"
    "was stopped, 2 when it could not start (a missing or busy port, a malformed file).\n"
    "The file's main sequence is called \"sequence\"; \"sequences\" may hold more, each with\n"
    "a \"name\" and its \"steps\". All run, one after the other, unless one is named.\n"
    "\n"
    "A PORT is a port number of the port map (3 or COM3), a device path (/dev/ttyUSB0)\n"
    "or a network line (rfc2217://host:port, tcp://host:port). With one port (--in left\n"
    "out) the rows go out of it and the replies come back through it.\n"
    "\n";
constexpr char Options[] =
    "  --sequence NAME       run only this sequence\n"
    "  --report FILE.json    write every step's outcome as JSON\n"
    "  --junit FILE.xml      write a JUnit report: a test suite per sequence, a test case\n"
    "                        per step\n"
    "  -h, --help            print this help and exit\n"
    "\n"
    "The file's \"stopAtFailure\" decides whether the first failure ends a sequence. Progress\n"
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
    RunCommand command;
    return CommandOutput::runCommand(QStringLiteral("run"), helpText(), [&] { return command.parse(arguments); },
                                     [&] { return command.execute(); });
}

bool RunCommand::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    m_ports.addOptions(parser);
    for (const char *name : {"report", "junit", "sequence"})
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
    choose(files.constFirst(), parser.value(QStringLiteral("sequence")));
    m_ports.read(parser);
    m_run = {files.constFirst(), m_ports.outName, m_ports.inName};
    return true;
}

void RunCommand::choose(const QString &file, const QString &name)
{
    QList<ProtocolSet::NamedSequence> all{{QLatin1String(ProtocolSet::MainSequenceName), m_set.sequence}};
    all += m_set.namedSequences;
    QStringList names;
    for (const ProtocolSet::NamedSequence &sequence : std::as_const(all)) {
        if (sequence.steps.isEmpty())
            continue;
        names << sequence.name;
        if (name.isEmpty() || name == sequence.name) {
            m_sequences.append(sequence.steps);
            m_reports.append(SequenceReport::of(sequence.name, sequence.steps));
        }
    }
    if (names.isEmpty())
        refuse(QStringLiteral("%1 holds no sequence").arg(file));
    if (m_sequences.isEmpty())
        refuse(QStringLiteral("%1 holds no sequence '%2' (it holds %3)").arg(file, name, names.join(QStringLiteral(", "))));
}

int RunCommand::execute()
{
    Session session;
    m_ports.prepare(session);
    Session::Choices choices = session.choices();
    choices.mode = TransferEngine::ModeSendReceive;
    choices.rowsOnly = true;
    choices.format = CommandCodec::FormatHex;

    // Watched before the ports open: a stop asked for while a network line connects
    // still ends the run in order, with its reports.
    SequenceRunner runner;
    TerminationWatcher watcher;
    SequenceReport *report = nullptr;   // of the sequence under way
    bool interrupted = false;
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &runner, [&] {
        interrupted = true;
        if (SequenceReport::Step *step = report ? report->step(runner.currentStep()) : nullptr)
            step->underWay = true;
        runner.stop();
    });
    const Session::Refusal refused = session.start(choices);
    if (refused.refused()) {
        print(stderr, QStringLiteral("tarrock run: %1\n").arg(m_ports.refusalText(refused)));
        return SetUpFailed;
    }

    QEventLoop loop;
    ProtocolSet sequence = m_set;       // the file's commands with that sequence's steps
    QString sendProblem;
    QString ended;                      // a lost device ends the whole run
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
        ended = m_ports.deviceLostText(port, reason);
        runner.stop();
    });

    QElapsedTimer sinceStep;
    QElapsedTimer sinceStart;
    QObject::connect(&runner, &SequenceRunner::stepDone, &loop, [&](int index, bool passed) {
        SequenceReport::Step *step = report->step(index);
        if (!step)
            return;
        ++step->runs;
        step->seconds += double(sinceStep.nsecsElapsed()) / 1e9;
        sinceStep.restart();
        if (!passed && step->failures++ == 0)
            step->failure = failureOf(sequence, sequence.sequence.at(index), sendProblem);
    });
    QObject::connect(&runner, &SequenceRunner::finished, &loop, [&](int, int, bool completed) {
        report->completed = completed;
        loop.quit();
    });
    // Progress at most once a second: a line updated in place on a terminal.
    const bool onTerminal = CommandOutput::terminalOnStandardError();
    QTimer progress;
    progress.setInterval(1000);
    QObject::connect(&progress, &QTimer::timeout, &loop, [&] {
        const QString line = QStringLiteral("%1 s: %2: %3 steps passed, %4 failed")
                                 .arg(qRound(sinceStart.elapsed() / 1000.0))
                                 .arg(report->name)
                                 .arg(report->runsPassed())
                                 .arg(report->runsFailed());
        print(stderr, onTerminal ? QStringLiteral("\r\033[K") + line : line + QLatin1Char('\n'));
    });

    sinceStart.start();
    progress.start();
    for (int i = 0; i < m_reports.size(); ++i) {
        report = &m_reports[i];
        // A stop or a lost device ends the run: the sequences after it are not reached.
        if (interrupted || !ended.isEmpty()) {
            report->interrupted = interrupted;
            report->note = ended;
            continue;
        }
        sequence.sequence = m_sequences.at(i);
        QElapsedTimer clock;
        clock.start();
        report->started = QDateTime::currentDateTime();
        sinceStep.start();
        runner.start(sequence);
        if (runner.running())
            loop.exec();
        report->seconds = double(clock.nsecsElapsed()) / 1e9;
        report->interrupted = interrupted;
        report->note = ended;
    }
    progress.stop();
    if (onTerminal && sinceStart.elapsed() >= 1000)
        print(stderr, QStringLiteral("\n"));
    // The ports close as at the window's stop: each line gets its settings back.
    session.stop();
    session.shutDown();
    return finish();
}

int RunCommand::finish()
{
    QString summary;
    for (const SequenceReport &report : std::as_const(m_reports)) {
        if (m_reports.size() > 1)
            summary += QStringLiteral("%1:\n").arg(report.name);
        for (const SequenceReport::Step &step : report.steps) {
            QString verdict = step.runs == 0 ? QStringLiteral("not run")
                : step.failures == 0        ? QStringLiteral("passed")
                                            : QStringLiteral("failed %1 of %2: %3").arg(step.failures).arg(step.runs).arg(step.failure);
            if (step.runs > 1 && step.failures == 0)
                verdict = QStringLiteral("passed %1 times").arg(step.runs);
            if (step.underWay)
                verdict += QStringLiteral(", interrupted");
            summary += QStringLiteral("%1: %2\n").arg(step.name, verdict);
        }
        summary += QStringLiteral("%1: %2 steps passed, %3 failed in %4 s%5\n")
                       .arg(report.name)
                       .arg(report.runsPassed())
                       .arg(report.runsFailed())
                       .arg(report.seconds, 0, 'f', 1)
                       .arg(report.interrupted ? QStringLiteral(", interrupted")
                                               : report.note.isEmpty() ? QString() : QStringLiteral(", ") + report.note);
    }
    const bool passed = SequenceReport::passed(m_reports);
    summary += passed ? QStringLiteral("PASSED\n") : QStringLiteral("FAILED\n");
    print(stdout, summary);

    int status = passed ? Passed : Failed;
    const auto writeReport = [&status](const QString &path, const QByteArray &contents) {
        QString error;
        if (!path.isEmpty() && !RunReports::write(path, contents, &error)) {
            print(stderr, QStringLiteral("tarrock run: %1\n").arg(error));
            status = Failed;
        }
    };
    writeReport(m_reportPath, SequenceReport::json(m_run, m_reports));
    writeReport(m_junitPath, SequenceReport::junit(m_run, m_reports));
    return status;
}
