// Velmora workbench. Licensed under the MIT licence.
#include "inifileeditor.h"

#include <QFile>
#include <QSet>

#include <algorithm>

namespace {

struct IniLine
{
    enum Kind { Other, Section, Entry };
    Kind kind = Other;
    QByteArray name;    // the section's or the entry's
    QByteArray value;
};

IniLine readLine(const QByteArray &raw)
{
    IniLine read;
    const QByteArray line = raw.trimmed();
    if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
        return read;
    if (line.startsWith('[') && line.endsWith(']')) {
        read.kind = IniLine::Section;
        read.name = line.mid(1, line.size() - 2).trimmed();
        return read;
    }
    const qsizetype equals = line.indexOf('=');
    if (equals <= 0)
        return read;
    read.kind = IniLine::Entry;
    read.name = line.left(equals).trimmed();
    read.value = line.mid(equals + 1).trimmed();
    return read;
}

// "Group/Key" as the section and the name within it; a key without a group is QSettings'
// "General" section.
std::pair<QByteArray, QByteArray> splitKey(const QString &key)
{
    const qsizetype slash = key.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {QByteArrayLiteral("General"), key.toUtf8()};
    return {key.left(slash).toUtf8(), key.mid(slash + 1).toUtf8()};
}

} // namespace

IniFileEditor::ReadStatus IniFileEditor::read(const QString &path)
{
    m_lines = {QByteArray()};
    m_changed = false;
    QFile file(path);
    if (!file.exists())
        return m_status = ReadStatus::Missing;
    if (file.size() > MaxBytes)
        return m_status = ReadStatus::TooLarge;
    if (!file.open(QIODevice::ReadOnly))
        return m_status = ReadStatus::Failed;
    const QByteArray bytes = file.read(MaxBytes + 1);
    if (file.error() != QFile::NoError)
        return m_status = ReadStatus::Failed;
    if (bytes.size() > MaxBytes)
        return m_status = ReadStatus::TooLarge;
    m_lines = bytes.split('\n');
    return m_status = ReadStatus::Read;
}

KeptFile::Result IniFileEditor::write(const QString &path) const
{
    if (m_status == ReadStatus::TooLarge || m_status == ReadStatus::Failed)
        return KeptFile::Result::Failed;
    if (!m_changed)
        return KeptFile::Result::Written;
    return KeptFile::write(path, bytes());
}

IniFileEditor::Place IniFileEditor::find(const QString &key) const
{
    const auto [group, name] = splitKey(key);
    Place place;
    bool inGroup = false;
    for (qsizetype k = 0; k < m_lines.size(); ++k) {
        const IniLine read = readLine(m_lines.at(k));
        if (read.kind == IniLine::Section) {
            inGroup = read.name == group;
        } else if (inGroup && read.kind == IniLine::Entry) {
            if (read.name == name)
                place.entry = k;
            place.groupEnd = k + 1;
        }
        if (inGroup && read.kind == IniLine::Section)
            place.groupEnd = k + 1;
    }
    return place;
}

QByteArray IniFileEditor::value(const QString &key) const
{
    const Place place = find(key);
    if (place.entry < 0)
        return QByteArray();
    const QByteArray found = readLine(m_lines.at(place.entry)).value;
    return found.isNull() ? QByteArray("") : found;
}

void IniFileEditor::setValue(const QString &key, const QByteArray &value)
{
    const Place place = find(key);
    const QByteArray name = splitKey(key).second;
    if (place.entry >= 0) {
        if (readLine(m_lines.at(place.entry)).value == value)
            return;
        const bool cr = m_lines.at(place.entry).endsWith('\r');
        m_lines[place.entry] = name + '=' + value + (cr ? "\r" : "");
        m_changed = true;
        return;
    }
    // The file keeps ending with a line break, or gets one, so that every line added
    // and every line a user adds by hand later starts a line of its own.
    const QByteArray ending = lineEnding();
    QByteArray &last = m_lines.last();
    if (!last.isEmpty()) {
        if (!last.endsWith('\r'))
            last += ending;
        m_lines.append(QByteArray());
    }
    QList<QByteArray> added;
    qsizetype at = place.groupEnd;
    if (at < 0) {
        // A new group at the end, behind a blank line when the file has lines already.
        at = m_lines.size() - 1;
        if (at > 0)
            added.append(ending);
        added.append('[' + splitKey(key).first + ']' + ending);
    }
    added.append(name + '=' + value + ending);
    for (const QByteArray &line : added)
        m_lines.insert(at++, line);
    m_changed = true;
}

bool IniFileEditor::flag(const QString &key, bool fallback) const
{
    const QByteArray text = value(key);
    if (text.isNull())
        return fallback;
    const QByteArray lower = text.toLower();
    return !(lower.isEmpty() || lower == "0" || lower == "false");
}

void IniFileEditor::setFlag(const QString &key, bool on)
{
    setValue(key, on ? QByteArrayLiteral("true") : QByteArrayLiteral("false"));
}

int IniFileEditor::number(const QString &key, int fallback) const
{
    bool ok = false;
    const int read = value(key).toInt(&ok);
    return ok ? read : fallback;
}

void IniFileEditor::setNumber(const QString &key, int number)
{
    setValue(key, QByteArray::number(number));
}

QString IniFileEditor::text(const QString &key, const QString &fallback) const
{
    const QByteArray stored = value(key);
    if (stored.isNull())
        return fallback;
    const bool quoted = stored.size() >= 2 && stored.startsWith('"') && stored.endsWith('"');
    const QString written = QString::fromUtf8(quoted ? stored.mid(1, stored.size() - 2) : stored);
    QString read;
    read.reserve(written.size());
    for (qsizetype i = 0; i < written.size(); ++i) {
        const QChar c = written.at(i);
        if (c != QLatin1Char('\\') || i + 1 == written.size()) {
            read += c;
            continue;
        }
        const QChar escaped = written.at(++i);
        if (escaped == QLatin1Char('t')) {
            read += QLatin1Char('\t');
        } else if (escaped == QLatin1Char('r')) {
            read += QLatin1Char('\r');
        } else if (escaped == QLatin1Char('n')) {
            read += QLatin1Char('\n');
        } else if (escaped == QLatin1Char('x')) {
            bool ok = false;
            const ushort code = written.mid(i + 1, 4).toUShort(&ok, 16);
            if (ok) {
                read += QChar(code);
                i += 4;
            } else {
                read += escaped;
            }
        } else {
            read += escaped;
        }
    }
    return read;
}

void IniFileEditor::setText(const QString &key, const QString &text)
{
    QString written;
    bool quoted = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
    for (const QChar c : text) {
        if (c == QLatin1Char(';') || c == QLatin1Char(',') || c == QLatin1Char('=') || c == QLatin1Char('"'))
            quoted = true;
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            written += QString(QLatin1Char('\\')) + c;
        else if (c == QLatin1Char('\t'))
            written += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            written += QLatin1String("\\r");
        else if (c == QLatin1Char('\n'))
            written += QLatin1String("\\n");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            written += QStringLiteral("\\x%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            written += c;
    }
    if (quoted)
        written = QLatin1Char('"') + written + QLatin1Char('"');
    setValue(key, written.toUtf8());
}

bool IniFileEditor::firstFailure(const QString &path)
{
    static QSet<QString> told;
    if (told.contains(path))
        return false;
    told.insert(path);
    return true;
}

// What a line holds before its '\n': the '\r' of a file whose lines end in CR LF.
QByteArray IniFileEditor::lineEnding() const
{
    const bool crlf = std::any_of(m_lines.cbegin(), m_lines.cend(), [](const QByteArray &line) { return line.endsWith('\r'); });
    return crlf ? QByteArray("\r") : QByteArray();
}
