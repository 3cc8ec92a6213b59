// Velmora workbench. Licensed under the MIT licence.
#include "bytepattern.h"

#include "systemcodepage.h"

#include <uitext.h>

namespace {

// Reasons a file or a description is refused, named for the user.
const UiText DigitWithoutPair("BytePattern", QT_TRANSLATE_NOOP("BytePattern", "16进制数字缺少另一位"));
const UiText PairNotHex("BytePattern", QT_TRANSLATE_NOOP("BytePattern", "\"%1\" 不是16进制字节"));
const UiText NothingExpected("BytePattern", QT_TRANSLATE_NOOP("BytePattern", "没有要等待的数据"));
const UiText PatternTooLong("BytePattern", QT_TRANSLATE_NOOP("BytePattern", "超过 %1 字节"));

} // namespace

std::optional<BytePattern> BytePattern::parse(const QString &text, bool hex, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    BytePattern pattern;
    if (hex) {
        QString digits = text;
        digits.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
        if (digits.size() % 2 != 0)
            return fail(DigitWithoutPair);
        for (qsizetype i = 0; i < digits.size(); i += 2) {
            const QString pair = digits.mid(i, 2);
            if (pair == QLatin1String("??")) {
                pattern.m_bytes.append('\0');
                pattern.m_any.append('\1');
                continue;
            }
            bool ok = false;
            const uint byte = pair.toUInt(&ok, 16);
            if (!ok || pair.startsWith(QLatin1Char('+')) || pair.startsWith(QLatin1Char('-')))
                return fail(PairNotHex.arg(pair));
            pattern.m_bytes.append(char(byte));
            pattern.m_any.append('\0');
        }
    } else {
        pattern.m_bytes = SystemCodePage::fromUnicode(text);
        pattern.m_any.fill('\0', pattern.m_bytes.size());
        for (qsizetype i = 0; i < pattern.m_bytes.size(); ++i) {
            if (pattern.m_bytes.at(i) == '?')
                pattern.m_any[i] = '\1';
        }
    }
    if (pattern.m_bytes.isEmpty())
        return fail(NothingExpected);
    if (pattern.m_bytes.size() > MaximumBytes)
        return fail(PatternTooLong.arg(MaximumBytes));
    return pattern;
}

bool BytePattern::matchesPrefix(QByteArrayView data, qsizetype length) const
{
    for (qsizetype i = 0; i < length; ++i) {
        if (m_any.at(i) == '\0' && m_bytes.at(i) != data.at(i))
            return false;
    }
    return true;
}

bool BytePattern::matchesAt(QByteArrayView data) const
{
    return !m_bytes.isEmpty() && data.size() >= m_bytes.size()
        && matchesPrefix(data, m_bytes.size());
}

bool BytePattern::beginsMatch(QByteArrayView data) const
{
    return data.size() < m_bytes.size() && matchesPrefix(data, data.size());
}
