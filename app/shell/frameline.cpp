// Velmora workbench. Licensed under the MIT licence.
#include "frameline.h"

#include <QPainter>

const QColor FrameLine::LineColour(0, 0, 255);

FrameLine::FrameLine(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void FrameLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect outer = rect();
    // Four filled bands rather than a stroked path: the line stays exactly two
    // pixels wide and inside the widget at any size.
    painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), LineWidth), LineColour);
    painter.fillRect(QRect(outer.left(), outer.bottom() - LineWidth + 1, outer.width(), LineWidth), LineColour);
    painter.fillRect(QRect(outer.left(), outer.top(), LineWidth, outer.height()), LineColour);
    painter.fillRect(QRect(outer.right() - LineWidth + 1, outer.top(), LineWidth, outer.height()), LineColour);
}
