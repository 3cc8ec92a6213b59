// Velmora bitmap generator. Licensed under the MIT licence.
#include "bitmapsets.h"

bool writeLedBitmaps(const QString &folder)
{
    Q_UNUSED(folder)
    return true;
}
