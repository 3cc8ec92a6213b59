// OrmelXPButton control library. Licensed under the MIT licence.
#pragma once

#include "xpbutton_export.h"

#include <QList>
#include <QRect>

class QImage;
class QPainter;

// The nine pieces of a skinned face: four corners, four edges and the centre, in the
// order they are drawn. The same geometry cuts the source bitmap and places the pieces
// on the face, so a piece's source and target always correspond.
class XPBUTTON_EXPORT NineSlice
{
public:
    static constexpr int Border = 3;

    // Corners TL, TR, BR, BL; edges top, right, left, bottom; centre. Sizes below zero
    // (faces smaller than two borders) are clamped to zero.
    static QList<QRect> pieces(const QSize &size);

    // Copies each piece of the source onto the same piece of `target`, stretched.
    static void draw(QPainter &painter, const QRect &target, const QImage &source);
};
