// OrmelNumberLED control library. Licensed under the MIT licence.
#pragma once

#include "ormelnumberled_export.h"

#include <QPixmap>
#include <QString>

// Finds the character bitmap of a cell among the library's resources.
class ORMELNUMBERLED_EXPORT LedBitmaps
{
public:
    // "BLUE", "RED", "GREEN", "YELLOW"; empty for a value outside LEDColor.
    static QString colourWord(int colour);
    // The bitmap of one cell's text (one character, or none past the end of the text):
    // "SHUT" for a space, otherwise colour word + character.
    static QString cellName(const QString &colourWord, const QString &character);
    // Throws RuntimeError (ResourceNotFound) when the library has no such bitmap.
    static QPixmap load(const QString &name);
};
