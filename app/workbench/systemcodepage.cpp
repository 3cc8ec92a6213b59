// Velmora workbench. Licensed under the MIT licence.
#include "systemcodepage.h"

#include <QStringEncoder>

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

QString toUnicode(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::System);
    return decoder(bytes);
}

StreamDecoder::StreamDecoder()
    : m_decoder(QStringConverter::System)
{
}

QString StreamDecoder::decode(const QByteArray &bytes)
{
    return m_decoder(bytes);
}

void StreamDecoder::reset()
{
    m_decoder.resetState();
}

} // namespace SystemCodePage
