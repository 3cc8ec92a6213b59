// Velmora workbench. Licensed under the MIT licence.
#include "linkfigures.h"

#include "linesettings.h"

#include <inifileeditor.h>
#include <runtimeerror.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const char PatternKey[] = "LinkTest/Pattern";
const char FormKey[] = "LinkTest/Raw";
const char DirectionKey[] = "LinkTest/BothWays";
const char AmountKey[] = "LinkTest/Amount";
const char SecondsKey[] = "LinkTest/Seconds";
const char BytesKey[] = "LinkTest/Bytes";
const char PaceKey[] = "LinkTest/Pace";
const char PayloadKey[] = "LinkTest/Block";
const char LimitKey[] = "LinkTest/BitErrorRateLimit";
const char UserTextKey[] = "LinkTest/UserText";

int bounded(int value, int lowest, int highest, int fallback)
{
    return value >= lowest && value <= highest ? value : fallback;
}

} // namespace

LinkSetup LinkSetup::load(const QString &path)
{
    IniFileEditor file;
    file.read(path);
    LinkSetup s;
    s.pattern = TestPattern::Kind(bounded(file.number(QLatin1String(PatternKey), s.pattern),
                                          TestPattern::Prbs7, TestPattern::UserBytes, s.pattern));
    s.form = file.flag(QLatin1String(FormKey), false) ? LinkChecker::Form::Raw : LinkChecker::Form::Framed;
    s.direction = file.flag(QLatin1String(DirectionKey), false) ? Direction::BothWays : Direction::OneWay;
    s.amount = Amount(bounded(file.number(QLatin1String(AmountKey), int(s.amount)), 0, 2, int(s.amount)));
    s.seconds = bounded(file.number(QLatin1String(SecondsKey), int(s.seconds)), 1, 1 << 30, int(s.seconds));
    s.bytes = bounded(file.number(QLatin1String(BytesKey), int(s.bytes)), 1, 1 << 30, int(s.bytes));
    s.pacePercent = bounded(file.number(QLatin1String(PaceKey), s.pacePercent), 0, 100, s.pacePercent);
    s.payloadBytes = bounded(file.number(QLatin1String(PayloadKey), s.payloadBytes), 1, 65536, s.payloadBytes);
    bool ok = false;
    const double limit = file.value(QLatin1String(LimitKey)).toDouble(&ok);
    if (ok && limit >= 0 && limit <= 1)
        s.bitErrorRateLimit = limit;
    s.userText = file.text(QLatin1String(UserTextKey), s.userText);
    return s;
}

bool LinkSetup::save(const QString &path) const
{
    IniFileEditor file;
    file.read(path);
    if (load(path) == *this)
        return true;
    file.setNumber(QLatin1String(PatternKey), pattern);
    file.setFlag(QLatin1String(FormKey), form == LinkChecker::Form::Raw);
    file.setFlag(QLatin1String(DirectionKey), direction == Direction::BothWays);
    file.setNumber(QLatin1String(AmountKey), int(amount));
    file.setNumber(QLatin1String(SecondsKey), int(qMin<qint64>(seconds, 1 << 30)));
    file.setNumber(QLatin1String(BytesKey), int(qMin<qint64>(bytes, 1 << 30)));
    file.setNumber(QLatin1String(PaceKey), pacePercent);
    file.setNumber(QLatin1String(PayloadKey), payloadBytes);
    file.setValue(QLatin1String(LimitKey), QByteArray::number(bitErrorRateLimit, 'g', 6));
    file.setText(QLatin1String(UserTextKey), userText);
    return file.write(path) == KeptFile::Result::Written;
}

// The user's bytes are made from the text at each start; the text is what is kept.
bool operator==(const LinkSetup &a, const LinkSetup &b)
{
    return a.pattern == b.pattern && a.userText == b.userText && a.form == b.form && a.direction == b.direction
           && a.amount == b.amount && a.seconds == b.seconds && a.bytes == b.bytes && a.pacePercent == b.pacePercent
           && a.payloadBytes == b.payloadBytes && a.bitErrorRateLimit == b.bitErrorRateLimit;
}

void LatencyRecord::add(qint64 microseconds)
{
    microseconds = qMax<qint64>(0, microseconds);
    qint64 step = 1;
    while (microseconds / step >= 1000)
        step *= 10;
    ++m_counts[microseconds / step * step];
    m_minimum = m_samples == 0 ? microseconds : qMin(m_minimum, microseconds);
    m_maximum = m_samples == 0 ? microseconds : qMax(m_maximum, microseconds);
    ++m_samples;
}

LatencyFigures LatencyRecord::figures() const
{
    LatencyFigures figures;
    if (m_samples == 0)
        return figures;
    const auto rank = [this](double fraction) {
        return qBound<qint64>(1, qint64(std::ceil(fraction * double(m_samples))), m_samples);
    };
    const qint64 medianRank = rank(0.5);
    const qint64 p99Rank = rank(0.99);
    qint64 below = 0;
    for (const auto &[bucket, count] : m_counts) {
        if (below < medianRank && below + count >= medianRank)
            figures.median = bucket / 1000.0;
        if (below < p99Rank && below + count >= p99Rank)
            figures.p99 = bucket / 1000.0;
        below += count;
    }
    figures.samples = int(qMin<qint64>(m_samples, std::numeric_limits<int>::max()));
    figures.minimum = m_minimum / 1000.0;
    figures.maximum = m_maximum / 1000.0;
    // A bucket's lower edge may lie below the exact minimum.
    figures.median = qBound(figures.minimum, figures.median, figures.maximum);
    figures.p99 = qBound(figures.minimum, figures.p99, figures.maximum);
    return figures;
}

double DirectionFigures::bitErrorRate() const
{
    const qint64 bits = counts.bitsCompared();
    return bits > 0 ? double(counts.bitErrors) / double(bits) : 0.0;
}

double DirectionFigures::bitErrorRateBound() const
{
    const qint64 bits = counts.bitsCompared();
    return bits > 0 ? 3.0 / double(bits) : 1.0;
}

// Nothing may be lost, added or out of step, and something must have been compared.
bool DirectionFigures::passes(double bitErrorRateLimit) const
{
    return counts.bitsCompared() > 0 && bitErrorRate() <= bitErrorRateLimit && counts.bytesLost == 0
           && counts.bytesInserted == 0 && counts.blocksLost == 0 && counts.blocksDuplicated == 0
           && counts.syncLosses == 0 && counts.bytesUnaligned == 0;
}

bool LinkFigures::passes(double bitErrorRateLimit) const
{
    if (directions.isEmpty() || !lossNote.isEmpty())
        return false;
    return std::all_of(directions.cbegin(), directions.cend(),
                       [bitErrorRateLimit](const DirectionFigures &d) { return d.passes(bitErrorRateLimit); });
}

double characterRate(const QString &settings)
{
    try {
        const LineSettings line = LineSettings::parse(settings);
        const double stop = line.stopBits == LineSettings::StopBits::One ? 1.0
                            : line.stopBits == LineSettings::StopBits::OneAndHalf ? 1.5 : 2.0;
        const int parity = line.parity == QSerialPort::NoParity ? 0 : 1;
        return line.baudRate / (1.0 + line.dataBits + parity + stop);
    } catch (const Component::RuntimeError &) {
        return 0;
    }
}
