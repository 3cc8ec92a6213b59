// OrmelNumberLED control library. Licensed under the MIT licence.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// The names of the character bitmaps, shared by the control and the build-time
// generator that draws them. Logical names are colour word + character ("BLUE.");
// their files spell the punctuation out, since "." and ":" make poor file names.
namespace LedBitmapNames {

// Indexed by LEDColor.
inline const QStringList &colourWords()
{
    static const QStringList words = {QStringLiteral("BLUE"), QStringLiteral("RED"),
                                      QStringLiteral("GREEN"), QStringLiteral("YELLOW")};
    return words;
}

inline QString characters() { return QStringLiteral("0123456789-.:"); }

// The blank cell, shown for a space in every colour.
inline QString blank() { return QStringLiteral("SHUT"); }

inline QString fileName(const QString &logicalName)
{
    QString file;
    for (const QChar c : logicalName) {
        if (c == QLatin1Char('-'))
            file += QStringLiteral("-minus");
        else if (c == QLatin1Char('.'))
            file += QStringLiteral("-dot");
        else if (c == QLatin1Char(':'))
            file += QStringLiteral("-colon");
        else if (c.isLetterOrNumber() && c.unicode() < 128)
            file += c;
        else
            file += QStringLiteral("-u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return file + QStringLiteral(".bmp");
}

} // namespace LedBitmapNames
