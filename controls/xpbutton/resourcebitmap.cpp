// OrmelXPButton control library. Licensed under the MIT licence.
#include "resourcebitmap.h"

#include <runtimeerror.h>

namespace {
const auto ResourceFolder = QStringLiteral(":/xpbutton/");
const auto BitmapSuffix = QStringLiteral(".bmp");
} // namespace

QImage ResourceBitmap::load(const QString &name)
{
    // A name is a single resource name; separators would reach outside the library's own set.
    const bool plainName = !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
    const QImage image = plainName ? QImage(ResourceFolder + name.toUpper() + BitmapSuffix) : QImage();
    if (image.isNull())
        throw Component::RuntimeError::resourceNotFound(name);
    return image;
}
