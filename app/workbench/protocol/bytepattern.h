// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Expected data with wildcards: in hexadecimal "??" stands for any one byte, in text "?"
// for any one character (one byte of the system code page).
class BytePattern
{
public:
    // The longest pattern a rule may hold: the matcher keeps less than this unmatched.
    static constexpr qsizetype MaximumBytes = 4096;

    BytePattern() = default;
    // Nothing and `error` set for text that is no pattern: a hexadecimal digit without
    // its pair, a character that is neither, nothing at all, or too long.
    static std::optional<BytePattern> parse(const QString &text, bool hex, QString *error);

    qsizetype size() const { return m_bytes.size(); }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    // Whether the data matches the whole pattern at its start.
    bool matchesAt(QByteArrayView data) const;
    // Whether the data, shorter than the pattern, may still become a match.
    bool beginsMatch(QByteArrayView data) const;

private:
    bool matchesPrefix(QByteArrayView data, qsizetype length) const;

    QByteArray m_bytes;
    QByteArray m_any;   // 1 where any byte matches
};
