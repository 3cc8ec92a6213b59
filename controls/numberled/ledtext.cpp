// OrmelNumberLED control library. Licensed under the MIT licence.
#include "ledtext.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {

// A value that rounds to zero shows no sign: "-0.00" would read as a negative reading.
QString withoutNegativeZero(const QString &text)
{
    static const QRegularExpression negativeZero(QStringLiteral("^-0(\\.0*)?$"));
    return negativeZero.match(text).hasMatch() ? text.mid(1) : text;
}

} // namespace

QString LedText::formatNumber(double value, int decimals)
{
    // Always the C locale: only the point has a character bitmap.
    return withoutNegativeZero(QString::number(value, 'f', qMax(decimals, 0)));
}

QString LedText::fitToCells(const QString &text, int cells)
{
    if (cells <= 0)
        return QString();
    return text.size() > cells ? text.left(cells) : text.rightJustified(cells, QLatin1Char(' '));
}

QString LedText::number(double value, int cells, int decimals)
{
    return fitToCells(formatNumber(value, decimals), cells);
}

QString LedText::date(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("MM-dd-yyyy"));
}

QString LedText::time(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("HH:mm:ss"));
}

QString LedText::dateTime(const QDateTime &moment)
{
    return date(moment) + QLatin1Char(' ') + time(moment);
}
