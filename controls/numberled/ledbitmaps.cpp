// OrmelNumberLED control library. Licensed under the MIT licence.
#include "ledbitmaps.h"

#include "ledbitmapnames.h"

#include <runtimeerror.h>

namespace {
const char ResourceFolder[] = ":/numberled/";
} // namespace

QString LedBitmaps::colourWord(int colour)
{
    return LedBitmapNames::colourWords().value(colour);
}

QString LedBitmaps::cellName(const QString &colourWord, const QString &character)
{
    return character == QLatin1String(" ") ? LedBitmapNames::blank() : colourWord + character;
}

QPixmap LedBitmaps::load(const QString &name)
{
    QPixmap bitmap;
    if (!bitmap.load(QString::fromLatin1(ResourceFolder) + LedBitmapNames::fileName(name)))
        throw Component::RuntimeError::resourceNotFound(name);
    return bitmap;
}
