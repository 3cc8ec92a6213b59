// OrmelXPButton control library. Licensed under the MIT licence.
#include "nineslice.h"

#include <QImage>
#include <QPainter>

QList<QRect> NineSlice::pieces(const QSize &size)
{
    const int b = Border;
    const int farX = size.width() - b;
    const int farY = size.height() - b;
    const int innerW = qMax(0, size.width() - 2 * b);
    const int innerH = qMax(0, size.height() - 2 * b);
    return {
        {0, 0, b, b},
        {farX, 0, b, b},
        {farX, farY, b, b},
        {0, farY, b, b},
        {b, 0, innerW, b},
        {farX, b, b, innerH},
        {0, b, b, innerH},
        {b, farY, innerW, b},
        {b, b, innerW, innerH},
    };
}

void NineSlice::draw(QPainter &painter, const QRect &target, const QImage &source)
{
    const QList<QRect> from = pieces(source.size());
    const QList<QRect> to = pieces(target.size());
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int i = 0; i < from.size(); ++i) {
        if (!to.at(i).isEmpty())
            painter.drawImage(to.at(i).translated(target.topLeft()), source, from.at(i));
    }
    painter.restore();
}
