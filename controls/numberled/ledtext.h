// OrmelNumberLED control library. Licensed under the MIT licence.
#pragma once

#include "ormelnumberled_export.h"

#include <QString>

class QDateTime;

// The texts the LED cells show, one character a cell.
class ORMELNUMBERLED_EXPORT LedText
{
public:
    // The value with at least one integer digit and exactly `decimals` decimals
    // (none when `decimals` is not positive), a point as separator, no grouping.
    static QString formatNumber(double value, int decimals);
    // Cuts the text to its first `cells` characters or right-aligns it with spaces.
    static QString fitToCells(const QString &text, int cells);
    static QString number(double value, int cells, int decimals);

    static QString date(const QDateTime &moment);     // 12-06-2026
    static QString time(const QDateTime &moment);     // 22:15:07
    static QString dateTime(const QDateTime &moment); // date, one space, time
};
