// Velmora workbench. Licensed under the MIT licence.
#include "framerule.h"

#include <QtGlobal>

#include <algorithm>
#include <cctype>
#include <tuple>

namespace {

auto fields(const FrameRule &r)
{
    return std::tie(r.kind, r.gapMilliseconds, r.gapCharacters, r.terminator, r.fixedLength,
                    r.header, r.lengthOffset, r.lengthSize, r.byteOrder, r.lengthAddend,
                    r.maxLength, r.showGap);
}

} // namespace

FrameRule FrameRule::bounded() const
{
    FrameRule rule = *this;
    if (rule.kind < Default || rule.kind > LengthField)
        rule.kind = Default;
    rule.gapMilliseconds = qBound(LowestGap, rule.gapMilliseconds, HighestGap);
    if (!(rule.gapCharacters >= 1.0 && rule.gapCharacters <= 100.0))
        rule.gapCharacters = DefaultGapCharacters;
    rule.terminator.truncate(LongestPattern);
    if (rule.terminator.isEmpty() && rule.kind == Terminator)
        rule.terminator = QByteArray("\r\n");
    rule.header.truncate(LongestPattern);
    // A frame holds at least its header.
    rule.maxLength = qBound(std::max(1, int(rule.header.size())), rule.maxLength, HighestLength);
    rule.fixedLength = qBound(std::max(1, int(rule.header.size())), rule.fixedLength, rule.maxLength);
    if (rule.lengthSize != 1 && rule.lengthSize != 2 && rule.lengthSize != 4)
        rule.lengthSize = 1;
    if (rule.lengthOffset < 0 || rule.lengthOffset + rule.lengthSize > rule.maxLength)
        rule.lengthOffset = 0;
    rule.lengthAddend = qBound(-HighestLength, rule.lengthAddend, HighestLength);
    return rule;
}

double FrameRule::characterMilliseconds(qint32 baud, int dataBits, bool parity, double stopBits)
{
    const double bits = 1 + dataBits + (parity ? 1 : 0) + stopBits;
    return baud > 0 ? bits * 1000.0 / baud : 0.0;
}

double FrameRule::gapFor(double characterMs) const
{
    switch (kind) {
    case GapMilliseconds:
        return gapMilliseconds;
    case GapCharacters:
        return gapCharacters * characterMs;
    default:
        return 0.0;
    }
}

QByteArray FrameRule::bytesOfHex(const QString &text, bool *ok)
{
    QString digits;
    for (QChar c : text) {
        if (c.isSpace())
            continue;
        if (c.unicode() > 0x7f || !std::isxdigit(c.toLatin1())) {
            *ok = false;
            return {};
        }
        digits += c;
    }
    *ok = digits.size() % 2 == 0 && digits.size() / 2 <= LongestPattern;
    return *ok ? QByteArray::fromHex(digits.toLatin1()) : QByteArray();
}

QString FrameRule::hexOfBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

bool operator==(const FrameRule &a, const FrameRule &b)
{
    return fields(a) == fields(b);
}
