// Velmora bitmap generator. Licensed under the MIT licence.
#include "bitmapsets.h"

bool writeButtonBitmaps(const QString &folder)
{
    Q_UNUSED(folder)
    return true;
}
