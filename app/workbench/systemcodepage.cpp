// Velmora workbench. Licensed under the MIT licence.
#include "systemcodepage.h"

#include <QStringDecoder>
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

} // namespace SystemCodePage
