// Velmora workbench. Licensed under the MIT licence.
#include "portfileeditor.h"

#include "portmap.h"
#include "systemcodepage.h"

#include <QFile>

#include <algorithm>

namespace {

const QChar CR = QLatin1Char('\r');

} // namespace

PortFileEditor::PortFileEditor(const QString &text) : m_lines(text.split(QLatin1Char('\n')))
{
}

PortFileEditor::ReadStatus PortFileEditor::read(const QString &path)
{
    m_lines = QStringList {QString()};
    QFile file(path);
    if (!file.exists())
        return ReadStatus::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return ReadStatus::Failed;
    m_lines = SystemCodePage::toUnicode(file.readAll()).split(QLatin1Char('\n'));
    return ReadStatus::Read;
}

KeptFile::Result PortFileEditor::write(const QString &path) const
{
    return KeptFile::write(path, SystemCodePage::fromUnicode(text()));
}

QString PortFileEditor::entry(int port) const
{
    QString device;
    for (const QString &line : m_lines) {
        const PortMap::Line read = PortMap::readLine(line);
        if (read.kind == PortMap::Line::Entry && read.port == port)
            device = read.device;   // the reader lets a later entry win
    }
    return device;
}

void PortFileEditor::setEntry(int port, const QString &device)
{
    bool written = false;
    for (qsizetype k = 0; k < m_lines.size();) {
        const PortMap::Line read = PortMap::readLine(m_lines.at(k));
        if (read.kind != PortMap::Line::Entry || read.port != port) {
            ++k;
        } else if (written) {
            m_lines.removeAt(k);
        } else {
            const QString ending = m_lines.at(k).endsWith(CR) ? QString(CR) : QString();
            m_lines[k] = entryLine(port, device, read.comment) + ending;
            written = true;
            ++k;
        }
    }
    if (written)
        return;
    // The file keeps ending with a line break, or gets one, so that the next line a
    // user adds by hand starts a line of its own.
    const QString ending = lineEnding();
    if (!m_lines.last().isEmpty()) {
        // A last line ending in a bare CR has the first half of its line break already.
        if (!m_lines.last().endsWith(CR))
            m_lines.last() += ending;
        m_lines.append(QString());
    }
    m_lines.insert(m_lines.size() - 1, entryLine(port, device, QString()) + ending);
}

void PortFileEditor::removeEntry(int port)
{
    m_lines.removeIf([port](const QString &line) {
        const PortMap::Line read = PortMap::readLine(line);
        return read.kind == PortMap::Line::Entry && read.port == port;
    });
    if (m_lines.isEmpty())
        m_lines.append(QString());
}

bool PortFileEditor::isWritable(const QString &device)
{
    if (device.contains(QLatin1Char('\n')) || device.contains(CR))
        return false;
    const PortMap::Line read = PortMap::readLine(QStringLiteral("COM1=") + device);
    return read.kind == PortMap::Line::Entry && read.device == device;
}

// What a line holds before its '\n': the '\r' of a file whose lines end in CR LF.
QString PortFileEditor::lineEnding() const
{
    const bool crlf = std::any_of(m_lines.cbegin(), m_lines.cend(),
                                  [](const QString &line) { return line.endsWith(CR); });
    return crlf ? QString(CR) : QString();
}

QString PortFileEditor::entryLine(int port, const QString &device, const QString &comment)
{
    return QStringLiteral("COM%1=%2%3").arg(port).arg(device, comment);
}
