// Velmora workbench. Licensed under the MIT licence.
#include "portmap.h"

#include "serialline.h"
#include "systemcodepage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

const QString PortFileName = QStringLiteral("ports.ini");

QString &programFolder()
{
    static QString folder;
    return folder;
}

bool isComment(const QString &line)
{
    return line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';'));
}

} // namespace

void PortMap::setFolder(const QString &folder)
{
    programFolder() = folder;
}

QString PortMap::fileName()
{
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
        map.applyOverrides(SystemCodePage::toUnicode(file.readAll()));
    return map;
}

PortMap::PortMap()
{
    for (int port = FirstPort; port <= LastPort; ++port)
        m_devices.append(SerialLine::builtInDevice(port));
}

void PortMap::applyOverrides(const QString &text)
{
    static const QRegularExpression entry(QStringLiteral("^COM(\\d+)\\s*=\\s*(\\S.*)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || isComment(line))
            continue;
        const QRegularExpressionMatch match = entry.match(line);
        if (!match.hasMatch())
            continue;
        bool ok = false;
        const int port = match.captured(1).toInt(&ok);
        if (ok && port >= FirstPort && port <= LastPort)
            m_devices[port - FirstPort] = match.captured(2).trimmed();
    }
}

QString PortMap::device(int port) const
{
    if (port < FirstPort || port > LastPort)
        return {};
    return m_devices.at(port - FirstPort);
}
