// Velmora workbench. Licensed under the MIT licence.
#include "commandports.h"

#include "commandoutput.h"
#include "filelocations.h"
#include "linkfigures.h"
#include "linesettings.h"
#include "portmap.h"
#include "settinglists.h"
#include "sysdata.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

using CommandOutput::refuse;

namespace {

// Beside it, the window's line options (velmora.ini).
const QString SysDataFile = QStringLiteral("sysdata.dat");
const QString DefaultSettings = QStringLiteral("9600,N,8,1");

constexpr char OutAndInHelp[] =
    "  --out PORT            the sending port\n"
    "  --in PORT             the receiving port (default: the sending port)\n"
    "  --settings S          line settings of both ports (default 9600,N,8,1)\n"
    "  --out-settings S      line settings of the sending port\n"
    "  --in-settings S       line settings of the receiving port\n";
constexpr char OnePortHelp[] =
    "  --port PORT           the port the device is played on\n"
    "  --settings S          its line settings (default 9600,N,8,1)\n";
constexpr char CommonHelp[] =
    "  --handshake H         none, xonxoff, rtscts or both (default none)\n"
    "  --settings-from-sysdata\n"
    "                        the ports, line settings and handshake of the window's\n"
    "                        settings (sysdata.dat, only read), with its line options\n"
    "                        (custom rate, DTR, RTS, line ending); options given as\n"
    "                        well take precedence\n";

qint16 handshakeOf(const QString &name)
{
    const QStringList names = {QStringLiteral("none"), QStringLiteral("xonxoff"), QStringLiteral("rtscts"),
                               QStringLiteral("both")};
    const int index = int(names.indexOf(name.toLower()));
    if (index < 0)
        refuse(QStringLiteral("unknown handshake '%1' (none, xonxoff, rtscts or both)").arg(name));
    return qint16(index);
}

// "COM3" or "3": the port number; 0 for a device path or address.
int portNumber(const QString &port)
{
    static const QRegularExpression numbered(QStringLiteral("^(?:com)?(\\d{1,2})$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = numbered.match(port);
    if (!match.hasMatch())
        return 0;
    const int n = match.captured(1).toInt();
    if (n < PortMap::FirstPort || n > PortMap::LastPort)
        refuse(QStringLiteral("no port COM%1: port numbers run from %2 to %3").arg(n).arg(PortMap::FirstPort).arg(PortMap::LastPort));
    return n;
}

// The line settings of list positions as the window's lists hold them; empty for a
// position outside a list.
QString settingsOf(qint16 baud, qint16 parity, qint16 dataBits, qint16 stopBits)
{
    using namespace SettingLists;
    if (baud < 0 || baud >= BaudItems.size() || parity < 0 || parity >= ParityItems.size() || dataBits < 0
        || dataBits >= DataBitsItems.size() || stopBits < 0 || stopBits >= StopBitsItems.size())
        return {};
    return LineSettings::settingsString(BaudItems.at(baud), ParityItems.at(parity), DataBitsItems.at(dataBits),
                                        StopBitsItems.at(stopBits));
}

} // namespace

QString CommandPorts::helpText(Shape shape)
{
    return QString::fromLatin1(shape == Shape::OutAndIn ? OutAndInHelp : OnePortHelp) + QString::fromLatin1(CommonHelp);
}

void CommandPorts::addOptions(QCommandLineParser &parser) const
{
    QStringList valued = {QStringLiteral("settings"), QStringLiteral("handshake")};
    if (m_shape == Shape::OutAndIn)
        valued << QStringLiteral("out") << QStringLiteral("in") << QStringLiteral("out-settings") << QStringLiteral("in-settings");
    else
        valued << QStringLiteral("port");
    for (const QString &name : valued)
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));
    parser.addOption(QCommandLineOption(QStringLiteral("settings-from-sysdata")));
}

void CommandPorts::read(const QCommandLineParser &parser)
{
    const auto given = [&parser](const char *name) { return parser.isSet(QString::fromLatin1(name)); };
    const auto value = [&parser](const char *name) { return parser.value(QString::fromLatin1(name)); };
    choices.outSettings = choices.inSettings = DefaultSettings;
    if (given("settings-from-sysdata"))
        readSysData();
    const QString portOption = m_shape == Shape::OutAndIn ? QStringLiteral("--out") : QStringLiteral("--port");
    if (m_shape == Shape::OutAndIn) {
        if (given("out"))
            outName = inName = value("out");
        if (given("in"))
            inName = value("in");
    } else if (given("port")) {
        outName = inName = value("port");
    }
    if (outName.isEmpty() || inName.isEmpty())
        refuse(QStringLiteral("%1 names no port (give it, or --settings-from-sysdata)").arg(portOption));
    if (given("settings"))
        choices.outSettings = choices.inSettings = value("settings");
    if (m_shape == Shape::OutAndIn && given("out-settings"))
        choices.outSettings = value("out-settings");
    if (m_shape == Shape::OutAndIn && given("in-settings"))
        choices.inSettings = value("in-settings");
    for (const QString &settings : {choices.outSettings, choices.inSettings}) {
        if (characterRate(settings) <= 0)
            refuse(QStringLiteral("line settings '%1' are not of the form 115200,N,8,1").arg(settings));
    }
    if (given("handshake"))
        choices.outHandshake = choices.inHandshake = handshakeOf(value("handshake"));
    mapDevices();
}

// As the window reads it at its start, but only read: a missing record is not created.
void CommandPorts::readSysData()
{
    const QString folder = FileLocations::of(QCoreApplication::applicationDirPath()).settingsFolder();
    const QString path = folder + QLatin1Char('/') + SysDataFile;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        refuse(QStringLiteral("cannot read the window's settings %1: %2").arg(path, file.errorString()));
    // The record holds two texts of at most 32767 bytes besides its numbers.
    constexpr qint64 LargestRecord = 128 * 1024;
    const SysData stored = SysData::fromBytes(file.read(LargestRecord));
    for (qint16 port : {stored.OutPort, stored.InPort}) {
        if (port < PortMap::FirstPort || port > PortMap::LastPort)
            refuse(QStringLiteral("the window's settings %1 name no port (Com %2)").arg(path).arg(port));
    }
    choices.outSettings = settingsOf(stored.OutSetB, stored.OutSetP, stored.OutSetD, stored.OutSetS);
    choices.inSettings = settingsOf(stored.InSetB, stored.InSetP, stored.InSetD, stored.InSetS);
    const qsizetype handshakes = SettingLists::HandItems.size();
    if (choices.outSettings.isEmpty() || choices.inSettings.isEmpty() || stored.OutHand < 0
        || stored.OutHand >= handshakes || stored.InHand < 0 || stored.InHand >= handshakes)
        refuse(QStringLiteral("the window's settings %1 hold a line setting outside its lists").arg(path));
    choices.outHandshake = stored.OutHand;
    choices.inHandshake = stored.InHand;
    outName = QStringLiteral("COM%1").arg(stored.OutPort);
    inName = QStringLiteral("COM%1").arg(stored.InPort);
    optionsPath = LineOptions::filePath(folder);
}

void CommandPorts::mapDevices()
{
    const FileLocations &locations = FileLocations::of(QCoreApplication::applicationDirPath());
    PortMap::setFolder(QCoreApplication::applicationDirPath());
    PortMap::setUserFolder(locations.userPortFolder());
    const int out = portNumber(outName);
    const int in = inName == outName ? out : portNumber(inName);
    choices.outPort = qint16(out);
    choices.inPort = qint16(in);
    if (out != 0 && in != 0)
        return;

    // Devices named by path take the highest numbers the other port leaves free.
    QByteArray lines;
    QFile map(PortMap::fileName());
    if (map.open(QIODevice::ReadOnly))
        lines = map.readAll() + '\n';
    int spare = PortMap::LastPort;
    const auto assign = [&](qint16 &port, const QString &device) {
        if (spare == out || spare == in)
            --spare;
        port = qint16(spare--);
        lines += QStringLiteral("COM%1=%2\n").arg(port).arg(device).toUtf8();
        m_mappedDevices << QStringLiteral("Com %1 = %2").arg(port).arg(device);
    };
    if (out == 0)
        assign(choices.outPort, outName);
    if (in == 0) {
        if (inName == outName)
            choices.inPort = choices.outPort;
        else
            assign(choices.inPort, inName);
    }
    QFile ownMap(m_portMapFolder.filePath(QStringLiteral("ports.ini")));
    if (!m_portMapFolder.isValid() || !ownMap.open(QIODevice::WriteOnly) || ownMap.write(lines) != lines.size())
        refuse(QStringLiteral("cannot write the run's port map in %1").arg(QDir::tempPath()));
    ownMap.close();
    PortMap::setUserFolder(m_portMapFolder.path());
}

QString CommandPorts::mappedNote() const
{
    return m_mappedDevices.isEmpty() ? QString()
                                     : QStringLiteral(" [%1]").arg(m_mappedDevices.join(QStringLiteral(", ")));
}

QString CommandPorts::deviceLostText(qint16 port, const QString &reason) const
{
    return QStringLiteral("the device of Com %1 went away%2%3")
        .arg(port)
        .arg(reason.isEmpty() ? QString() : QStringLiteral(": ") + CommandOutput::oneLine(reason))
        .arg(mappedNote());
}

void CommandPorts::prepare(Session &session) const
{
    if (!optionsPath.isEmpty())
        session.loadOptions(optionsPath);
    session.setChoices(choices);
    session.scanPorts({});
}

QString CommandPorts::refusalText(const Session::Refusal &refusal) const
{
    const QString device = PortMap::load().device(refusal.port);
    const QString port = device.isEmpty() ? QStringLiteral("Com %1").arg(refusal.port)
                                          : QStringLiteral("Com %1 (%2)").arg(refusal.port).arg(device);
    switch (refusal.what) {
    case Session::Refusal::NoPort:
        return QStringLiteral("the system offers no serial port");
    case Session::Refusal::PortBusy:
        return QStringLiteral("%1 is busy: another program holds it").arg(port);
    case Session::Refusal::PortMissing:
        return QStringLiteral("%1 does not exist").arg(port);
    case Session::Refusal::SamePortSettings:
        return QStringLiteral("one port both ways takes one set of line settings and handshake");
    case Session::Refusal::OpenFailed:
    case Session::Refusal::Unencodable:
        return CommandOutput::oneLine(refusal.description) + mappedNote();
    case Session::Refusal::BadCommand:
        return QStringLiteral("a command does not encode (character %1)").arg(refusal.fault.position);
    case Session::Refusal::Cancelled:
    case Session::Refusal::Nothing:
        break;
    }
    return QStringLiteral("the start was called off");
}
