// Velmora workbench. Licensed under the MIT licence.
// velmora-sysdata: writes sysdata.dat with the choices given as the main window's lists
// show them; every choice not given keeps the program's factory setting.
#include "formmain_texts.h"
#include "settinglists.h"
#include "sysdata.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <stdexcept>

namespace {

constexpr int Refused = 2;

qint16 positionIn(const QStringList &items, const QString &text, const char *what)
{
    const qsizetype found = items.indexOf(text.trimmed());
    if (found < 0)
        throw std::runtime_error(QStringLiteral("%1 \"%2\" is none of: %3").arg(QLatin1String(what), text, items.join(QStringLiteral(", "))).toStdString());
    return qint16(found);
}

// The parity list's item whose first letter the settings string uses ("Spack" is S).
qint16 parityPosition(const QString &letter)
{
    QStringList letters;
    for (const QString &item : SettingLists::ParityItems)
        letters << item.left(1);
    return positionIn(letters, letter.toUpper(), "parity");
}

struct LineChoice
{
    qint16 baud, parity, dataBits, stopBits;
};

// A settings string as the capture header writes it: 9600,N,8,1.
LineChoice lineChoice(const QString &settings)
{
    const QStringList parts = settings.split(QLatin1Char(','));
    if (parts.size() != 4)
        throw std::runtime_error(QStringLiteral("line settings \"%1\" are not baud,parity,data bits,stop bits").arg(settings).toStdString());
    return {positionIn(SettingLists::BaudItems, parts.at(0), "baud rate"), parityPosition(parts.at(1)),
            positionIn(SettingLists::DataBitsItems, parts.at(2), "data bits"),
            positionIn(SettingLists::StopBitsItems, parts.at(3), "stop bits")};
}

qint16 modePosition(const QString &name)
{
    QStringList modes;
    for (const UiText &mode : FormMainTexts::IOStateItems)
        modes << mode.source();
    return positionIn(modes, name, "mode");
}

qint16 portNumber(const QString &text)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 16)
        throw std::runtime_error(QStringLiteral("port \"%1\" is not 1 to 16").arg(text).toStdString());
    return qint16(port);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a Velmora settings record (sysdata.dat)."));
    parser.addHelpOption();
    const QCommandLineOption outPort(QStringLiteral("out-port"), QStringLiteral("Sending port, 1 to 16."), QStringLiteral("n"));
    const QCommandLineOption inPort(QStringLiteral("in-port"), QStringLiteral("Receiving port, 1 to 16."), QStringLiteral("n"));
    const QCommandLineOption line(QStringLiteral("line"), QStringLiteral("Both ports' line settings, such as 9600,N,8,1."), QStringLiteral("settings"));
    const QCommandLineOption mode(QStringLiteral("mode"), QStringLiteral("Transfer mode as the list shows it."), QStringLiteral("name"));
    const QCommandLineOption command(QStringLiteral("command"), QStringLiteral("Command to send."), QStringLiteral("text"));
    parser.addOptions({outPort, inPort, line, mode, command});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The sysdata.dat to write."));
    parser.process(application);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(Refused);

    SysData record;
    try {
        if (parser.isSet(outPort))
            record.OutPort = portNumber(parser.value(outPort));
        if (parser.isSet(inPort))
            record.InPort = portNumber(parser.value(inPort));
        if (parser.isSet(line)) {
            const LineChoice choice = lineChoice(parser.value(line));
            record.OutSetB = record.InSetB = choice.baud;
            record.OutSetP = record.InSetP = choice.parity;
            record.OutSetD = record.InSetD = choice.dataBits;
            record.OutSetS = record.InSetS = choice.stopBits;
        }
        if (parser.isSet(mode))
            record.IOState = modePosition(parser.value(mode));
        record.OutCommand = parser.value(command);
    } catch (const std::runtime_error &refusal) {
        std::fprintf(stderr, "velmora-sysdata: %s\n", refusal.what());
        return Refused;
    }
    const QString file = parser.positionalArguments().constFirst();
    if (!record.save(file)) {
        std::fprintf(stderr, "velmora-sysdata: %s cannot be written\n", qPrintable(file));
        return 1;
    }
    return 0;
}
