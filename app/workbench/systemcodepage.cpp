// Velmora workbench. Licensed under the MIT licence.
#include "systemcodepage.h"

#include <QStringEncoder>

namespace SystemCodePage {

QByteArray fromUnicode(const QString &text)
{
    QStringEncoder encoder(QStringConverter::System);
    return encoder(text);
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
