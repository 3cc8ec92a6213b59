// OrmelXPButton control library. Licensed under the MIT licence.
#pragma once

#include "xpbutton_export.h"

#include <QImage>
#include <QString>

// The library's own bitmaps, found by resource name as the platform finds them: the
// name is matched without regard to case.
class XPBUTTON_EXPORT ResourceBitmap
{
public:
    // Throws Component::RuntimeError (ResourceNotFound) naming the resource when the
    // library carries no bitmap of that name.
    static QImage load(const QString &name);
};
