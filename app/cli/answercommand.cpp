// Velmora workbench. Licensed under the MIT licence.
#include "answercommand.h"

#include "commandlistfile.h"
#include "commandoutput.h"
#include "terminationwatcher.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QTime>

#include <algorithm>

using CommandOutput::print;
using CommandOutput::refuse;

namespace {

constexpr char Usage[] =
    "Usage: tarrock answer FILE --port PORT [options]\n"
    "\n"
    "Plays a device by the answer rules of a command-list file (the format of\n"
    "velmora-protocol.json): every request that matches a rule that is on is answered\n"
    "as the window's answer mode answers it, until SIGINT or SIGTERM. Each exchange is\n"
    "one line on standard output: the time, what arrived, \"->\" and the answer.\n"
    "Exits 0 when stopped, 1 when the port was lost, 2 when it could not start.\n"
    "\n"
    "A PORT is a port number of the port map (3 or COM3), a device path (/dev/ttyUSB0)\n"
    "or a network line (rfc2217://host:port, tcp://host:port).\n"
    "\n";
constexpr char Options[] =
    "  -h, --help            print this help and exit\n"
    "\n"
    "It takes no lock: the window, or another run, may test from another port.\n";

} // namespace

QString AnswerCommand::helpText()
{
    return QString::fromLatin1(Usage) + CommandPorts::helpText(CommandPorts::Shape::OnePort) + QString::fromLatin1(Options);
}

QString AnswerCommand::printable(const QString &text)
{
    QString shown;
    for (const QChar c : text) {
        if (c == QLatin1Char('\r'))
            shown += QStringLiteral("\\r");
        else if (c == QLatin1Char('\n'))
            shown += QStringLiteral("\\n");
        else if (c == QLatin1Char('\\'))
            shown += QStringLiteral("\\\\");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

int AnswerCommand::run(const QStringList &arguments)
{
    AnswerCommand command;
    return CommandOutput::runCommand(QStringLiteral("answer"), helpText(), [&] { return command.parse(arguments); },
                                     [&] { return command.execute(); });
}

bool AnswerCommand::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    m_ports.addOptions(parser);
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    if (!parser.parse(QStringList{QStringLiteral("tarrock")} + arguments))
        refuse(parser.errorText() + QStringLiteral(" (tarrock answer --help lists the options)"));
    if (parser.isSet(QStringLiteral("help")))
        return false;
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1)
        refuse(files.isEmpty() ? QStringLiteral("no command-list file given (tarrock answer --help)")
                               : QStringLiteral("unexpected argument '%1' (tarrock answer --help lists the options)").arg(files.at(1)));
    m_file = files.constFirst();
    m_set = CommandListFile::read(m_file);
    if (std::none_of(m_set.rules.cbegin(), m_set.rules.cend(), [](const ProtocolSet::Rule &rule) { return rule.enabled; }))
        refuse(QStringLiteral("%1 holds no answer rule that is on").arg(m_file));
    m_ports.read(parser);
    return true;
}

int AnswerCommand::execute()
{
    Session session;
    m_ports.prepare(session);
    Session::Choices choices = session.choices();
    choices.mode = TransferEngine::ModeAnswer;
    choices.answerRules = m_set.rules;
    // Requests show as the rules spell them: as text when every rule expects text.
    const bool textOnly = std::none_of(m_set.rules.cbegin(), m_set.rules.cend(), [](const ProtocolSet::Rule &rule) {
        return rule.enabled && rule.expectedHex;
    });
    choices.format = textOnly ? CommandCodec::FormatText : CommandCodec::FormatHex;
    // Watched before the port opens: a stop asked for while a network line connects
    // still counts.
    QEventLoop loop;
    TerminationWatcher watcher;
    bool stopAsked = false;
    QObject::connect(&watcher, &TerminationWatcher::terminationRequested, &loop, [&] {
        stopAsked = true;
        loop.quit();
    });
    const Session::Refusal refused = session.start(choices);
    if (refused.refused()) {
        print(stderr, QStringLiteral("tarrock answer: %1\n").arg(m_ports.refusalText(refused)));
        return SetUpFailed;
    }
    const int rules = int(std::count_if(m_set.rules.cbegin(), m_set.rules.cend(),
                                        [](const ProtocolSet::Rule &rule) { return rule.enabled; }));
    print(stderr, QStringLiteral("tarrock answer: answering on %1 by %2 rules of %3; SIGINT or SIGTERM stops\n")
                      .arg(m_ports.inName).arg(rules).arg(m_file));

    // What arrived since the last answer: the request the next answer goes to.
    QString request;
    int exchanges = 0;
    int status = Stopped;
    QObject::connect(&session, &Session::received, &loop, [&](const QString &text, bool newLine) {
        // Hexadecimal arrives as bare pairs; it shows spaced as the rules write it.
        const QString shown = textOnly ? text : QString::fromLatin1(QByteArray::fromHex(text.toLatin1()).toHex(' ').toUpper());
        request = newLine || request.isEmpty() ? shown : request + QLatin1Char(' ') + shown;
    });
    QObject::connect(&session, &Session::sent, &loop, [&](const QString &answer) {
        ++exchanges;
        // Two requests in one read: the second answer's request came with the first's.
        const QString asked = request.isEmpty() ? QStringLiteral("(same read)") : printable(request);
        print(stdout, QStringLiteral("%1 %2 -> %3\n")
                          .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")), asked, printable(answer)));
        request.clear();
    });
    QObject::connect(&session, &Session::failed, &loop, [&](int, const QString &description) {
        print(stderr, QStringLiteral("tarrock answer: %1\n").arg(CommandOutput::oneLine(description)));
    });
    QObject::connect(&session, &Session::deviceLost, &loop, [&](qint16 port, bool, const QString &reason) {
        print(stderr, QStringLiteral("tarrock answer: %1\n").arg(m_ports.deviceLostText(port, reason)));
        status = Failed;
        loop.quit();
    });
    if (!stopAsked)
        loop.exec();
    // The port closes as at the window's stop: the line gets its settings back.
    session.stop();
    session.shutDown();
    print(stdout, QStringLiteral("answered %1 requests\n").arg(exchanges));
    return status;
}
