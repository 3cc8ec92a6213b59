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

QString folderOrProgramFolder(const QString &folder)
{
    if (!folder.isEmpty())
        return folder;
    return programFolder().isEmpty() ? QCoreApplication::applicationDirPath() : programFolder();
}

// The user fixes a line once it is named; naming it at every open would bury the rest.
void reportMalformed(const QStringList &lines)
{
    static QSet<QString> reported;
    for (const QString &line : lines) {
        if (reported.contains(line))
            continue;
        reported.insert(line);
        const QString shown = QString(line).replace(QChar(0), QLatin1String("\\0"));
        std::fprintf(stderr, "%s\n", qPrintable(QCoreApplication::translate("PortMap", "%1：无法识别的行，已忽略：%2").arg(PortFileName, shown)));
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
    return QDir(folderOrProgramFolder(QString())).filePath(PortFileName);
}

QString PortMap::writableFileName()
{
    return QDir(folderOrProgramFolder(userFolder())).filePath(PortFileName);
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

PortMap::Line PortMap::readLine(const QString &rawLine)
{
    static const QRegularExpression entry(QStringLiteral("^COM(\\d+)\\s*=(.*)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    Line read;
    const QString line = rawLine.trimmed();
    if (line.isEmpty() || isComment(line))
        return read;
    // No device name holds a NUL, and no file name may: the system would refuse it at
    // every look.
    if (line.contains(QChar(0))) {
        read.kind = Line::Malformed;
        return read;
    }
    const QRegularExpressionMatch match = entry.match(line);
    bool ok = false;
    read.port = match.captured(1).toInt(&ok);
    const QString value = match.captured(2).trimmed();
    read.device = withoutTrailingComment(value);
    read.comment = value.mid(read.device.size());
    const bool badAddress = RemoteAddress::looksRemote(read.device) && !RemoteAddress::parse(read.device);
    const bool valid = match.hasMatch() && ok && read.port >= FirstPort && read.port <= LastPort
        && !read.device.isEmpty() && !badAddress;
    read.kind = valid ? Line::Entry : Line::Malformed;
    return read;
}

QStringList PortMap::applyOverrides(const QString &text)
{
    QStringList malformed;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const Line read = readLine(line);
        if (read.kind == Line::Malformed)
            malformed.append(line.trimmed());
        else if (read.kind == Line::Entry)
            m_devices[read.port - FirstPort] = read.device;
    }
    return malformed;
}

QString PortMap::device(int port) const
{
    if (port < FirstPort || port > LastPort)
        return {};
    return m_devices.at(port - FirstPort);
}
