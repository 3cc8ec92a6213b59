// Velmora workbench. Licensed under the MIT licence.
#include "systemcodepage.h"

#include <QStringEncoder>

#include <algorithm>

namespace SystemCodePage {

QByteArray fromUnicode(const QString &text)
{
    QStringEncoder encoder(QStringConverter::System);
    return encoder(text);
}

void appendFromUnicode(QStringView text, QByteArray &bytes)
{
    QStringEncoder encoder(QStringConverter::System);
    const qsizetype start = bytes.size();
    bytes.resize(start + encoder.requiredSpace(text.size()));
    const char *end = encoder.appendToBuffer(bytes.data() + start, text);
    bytes.resize(end - bytes.constData());
}

// ASCII reads the same in every system code page and needs no decoder, whose setting up
// costs several times the decoding of a short frame.
QString toUnicode(const QByteArray &bytes)
{
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
    if (ascii)
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(QStringConverter::System);
    return decoder(bytes);
}

namespace {

bool systemIsUtf8()
{
    static const bool utf8 = toUnicode(QByteArrayLiteral("\xC3\xA9")) == QString(QChar(0xE9));
    return utf8;
}

// The length of the character a UTF-8 lead byte begins; 0 for a byte no character
// begins with.
int utf8Length(uchar lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

constexpr int LongestUtf8 = 4;

} // namespace

qsizetype incompleteUtf8Tail(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype i = size - 1; i >= 0 && i >= size - LongestUtf8; --i) {
        const uchar byte = uchar(bytes.at(i));
        if ((byte & 0xC0) == 0x80)
            continue;   // a continuation byte: its lead stands further back
        const qsizetype have = size - i;
        return have < utf8Length(byte) ? have : 0;
    }
    return 0;
}

StreamDecoder::StreamDecoder()
    : m_utf8(systemIsUtf8()),
      m_decoder(QStringConverter::System)
{
}

QString StreamDecoder::decode(const QByteArray &bytes)
{
    if (!m_utf8)
        return m_decoder(bytes);
    QByteArray data = m_held.isEmpty() ? bytes : m_held + bytes;
    const qsizetype tail = incompleteUtf8Tail(data);
    m_held = data.right(tail);
    data.chop(tail);
    return QString::fromUtf8(data);
}

void StreamDecoder::reset()
{
    m_held.clear();
    m_decoder.resetState();
}

} // namespace SystemCodePage
