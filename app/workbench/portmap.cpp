// Velmora workbench. Licensed under the MIT licence.
#include "portmap.h"

#include "remoteaddress.h"
#include "serialline.h"
#include "systemcodepage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <cstdio>

namespace {

const QString PortFileName = QStringLiteral("ports.ini");

QString &programFolder()
{
    static QString folder;
    return folder;
}

QString &userFolder()
{
    static QString folder;
    return folder;
}

bool isComment(const QString &line)
{
    return line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';'));
}

// A comment starts at '#' or ';' after a blank, so a device name may still hold either.
QString withoutTrailingComment(const QString &value)
{
    static const QRegularExpression comment(QStringLiteral("(^|\\s)[#;].*$"));
    return QString(value).remove(comment).trimmed();
}

// The user fixes a line once it is named; naming it at every open would bury the rest.
void reportMalformed(const QStringList &lines)
{
    static QSet<QString> reported;
    for (const QString &line : lines) {
        if (reported.contains(line))
            continue;
        reported.insert(line);
        std::fprintf(stderr, "%s\n", qPrintable(QCoreApplication::translate("PortMap", "%1：无法识别的行，已忽略：%2").arg(PortFileName, line)));
    }
}

} // namespace

void PortMap::setFolder(const QString &folder)
{
    programFolder() = folder;
}

void PortMap::setUserFolder(const QString &folder)
{
    userFolder() = folder;
}

QString PortMap::fileName()
{
    const QString userFile = QDir(userFolder()).filePath(PortFileName);
    if (!userFolder().isEmpty() && QFile::exists(userFile))
        return userFile;
    const QString folder = programFolder().isEmpty() ? QCoreApplication::applicationDirPath()
                                                      : programFolder();
    return QDir(folder).filePath(PortFileName);
}

PortMap PortMap::load()
{
    PortMap map;
    if (!SerialLine::usesPortFile())
        return map;
    QFile file(fileName());
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        reportMalformed(map.applyOverrides(SystemCodePage::toUnicode(file.readAll())));
    return map;
}

PortMap::PortMap()
{
    for (int port = FirstPort; port <= LastPort; ++port)
        m_devices.append(SerialLine::builtInDevice(port));
}

QStringList PortMap::applyOverrides(const QString &text)
{
    static const QRegularExpression entry(QStringLiteral("^COM(\\d+)\\s*=(.*)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    QStringList malformed;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || isComment(line))
            continue;
        const QRegularExpressionMatch match = entry.match(line);
        bool ok = false;
        const int port = match.captured(1).toInt(&ok);
        const QString device = withoutTrailingComment(match.captured(2).trimmed());
        const bool badAddress = RemoteAddress::looksRemote(device) && !RemoteAddress::parse(device);
        if (!match.hasMatch() || !ok || port < FirstPort || port > LastPort || device.isEmpty() || badAddress) {
            malformed.append(line);
            continue;
        }
        m_devices[port - FirstPort] = device;
    }
    return malformed;
}

QString PortMap::device(int port) const
{
    if (port < FirstPort || port > LastPort)
        return {};
    return m_devices.at(port - FirstPort);
}
