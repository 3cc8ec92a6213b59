// Velmora workbench. Licensed under the MIT licence.
#include "capturetimes.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr qint64 DayMs = 24 * 60 * 60 * 1000;
// The longest time mark, "mm-dd-yyyy hh:mm:ss" and its line break: read past each piece.
constexpr qint64 MarkBytes = 21;
constexpr qint64 HeaderBytes = 19;
constexpr qint64 StampBytes = 15;

bool digitsAt(QByteArrayView text, std::initializer_list<int> positions)
{
    return std::all_of(positions.begin(), positions.end(),
                       [&](int k) { return text.at(k) >= '0' && text.at(k) <= '9'; });
}

int number(QByteArrayView text, qsizetype from, qsizetype length)
{
    int value = 0;
    for (qsizetype k = from; k < from + length; ++k)
        value = value * 10 + (text.at(k) - '0');
    return value;
}

qint64 momentOf(const QDate &date, const QTime &time)
{
    return (date.isValid() ? date.toJulianDay() : 0) * DayMs + time.msecsSinceStartOfDay();
}

} // namespace

std::optional<CaptureTimes::Moment> CaptureTimes::parse(const QString &typed)
{
    static const QRegularExpression form(QStringLiteral(
        "^\\s*(?:(\\d{1,2})-(\\d{1,2})-(\\d{4})\\s+)?(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:\\.(\\d{1,3}))?)?\\s*$"));
    const QRegularExpressionMatch match = form.match(typed);
    if (!match.hasMatch())
        return std::nullopt;
    Moment moment;
    if (match.hasCaptured(3)) {
        moment.date = QDate(match.captured(3).toInt(), match.captured(1).toInt(), match.captured(2).toInt());
        if (!moment.date.isValid())
            return std::nullopt;
    }
    const QString ms = match.captured(7);
    moment.time = QTime(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt(),
                        ms.isEmpty() ? 0 : ms.leftJustified(3, QLatin1Char('0')).toInt());
    if (!moment.time.isValid())
        return std::nullopt;
    return moment;
}

CaptureTimes::CaptureTimes(const QString &path, const Moment &target)
    : m_file(path)
    , m_target(target)
{
}

// "mm-dd-yyyy hh:mm:ss" alone on its line: a block begins.
void CaptureTimes::header(QByteArrayView line, qint64 offset)
{
    if (line.size() < HeaderBytes || !digitsAt(line, {0, 1, 3, 4, 6, 7, 8, 9, 11, 12, 14, 15, 17, 18})
        || line.at(2) != '-' || line.at(5) != '-' || line.at(10) != ' ' || line.at(13) != ':'
        || line.at(16) != ':')
        return;
    const QByteArrayView rest = line.sliced(HeaderBytes);
    if (!rest.isEmpty() && rest.at(0) != '\r' && rest.at(0) != '\n')
        return;
    const QDate date(number(line, 6, 4), number(line, 0, 2), number(line, 3, 2));
    const QTime time(number(line, 11, 2), number(line, 14, 2), number(line, 17, 2));
    if (!date.isValid() || !time.isValid())
        return;
    m_blockDate = date;
    if (!m_target.date.isValid())
        m_target.date = date;
    m_last = momentOf(date, time);
    reached(m_last, offset, HeaderBytes);
}

// "[hh:mm:ss.zzz] " anywhere in a received line.
void CaptureTimes::stamp(QByteArrayView text, qint64 offset)
{
    if (text.size() < StampBytes || !digitsAt(text, {1, 2, 4, 5, 7, 8, 10, 11, 12}) || text.at(3) != ':'
        || text.at(6) != ':' || text.at(9) != '.' || text.at(13) != ']' || text.at(14) != ' ')
        return;
    const QTime time(number(text, 1, 2), number(text, 4, 2), number(text, 7, 2), number(text, 10, 3));
    if (!time.isValid())
        return;
    qint64 moment = momentOf(m_blockDate, time);
    // Half a day back is a new day; a smaller step back is the clock being set.
    while (m_last >= 0 && moment < m_last - DayMs / 2)
        moment += DayMs;
    m_last = std::max(m_last, moment);
    // The stamp without the blank after it.
    reached(moment, offset, StampBytes - 1);
}

void CaptureTimes::reached(qint64 moment, qint64 offset, qint64 bytes)
{
    if (m_found < 0 && moment >= momentOf(m_target.date, m_target.time)) {
        m_found = offset;
        m_foundBytes = bytes;
        m_finished = true;
    }
}

void CaptureTimes::seekMore(qint64 bytes)
{
    bytes = std::max<qint64>(bytes, 1);
    const qint64 start = m_next;
    const QByteArrayView data = m_file.read(start, bytes + MarkBytes);
    const qint64 piece = std::min<qint64>(bytes, data.size());
    if (start == 0)
        header(data, 0);
    for (qint64 k = 0; k < piece && !m_finished; ++k) {
        const char c = data.at(k);
        if (c == '\n')
            header(data.sliced(k + 1), start + k + 1);
        else if (c == '[')
            stamp(data.sliced(k), start + k);
    }
    m_next = start + piece;
    if (data.size() < bytes + MarkBytes && m_next >= start + data.size())
        m_finished = true;
}

double CaptureTimes::progress() const
{
    return m_file.size() > 0 ? std::clamp(double(m_next) / double(m_file.size()), 0.0, 1.0) : 1.0;
}
