// OrmelNumberLED control library. Licensed under the MIT licence.
#include "ledgeometry.h"

#include <runtimeerror.h>

#include <QString>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr int BitmapWidth = 16;
constexpr int BitmapHeight = 21;

// A 16-bit integer variable: nearest value, halves to the even one, or overflow.
qint16 toInteger(double value)
{
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<qint16>::min() && rounded <= std::numeric_limits<qint16>::max()))
        throw Component::RuntimeError::overflow();
    return qint16(rounded);
}

} // namespace

LedGeometry LedGeometry::forHeight(int heightTwips, int cells)
{
    LedGeometry geometry;
    geometry.cellHeight = toInteger(double(heightTwips) - 2 * Margin);
    geometry.cellWidth = toInteger(double(geometry.cellHeight) * BitmapWidth / BitmapHeight);
    const qint16 row = toInteger(double(cells) * geometry.cellWidth);
    geometry.width = toInteger(double(row) + 2 * Margin);
    return geometry;
}
