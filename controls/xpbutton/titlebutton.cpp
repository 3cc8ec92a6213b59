// OrmelXPButton control library. Licensed under the MIT licence.
#include "titlebutton.h"

#include "resourcebitmap.h"
#include "xpbuttonevents.h"

#include <twips.h>

#include <QPainter>

namespace {
constexpr XPControl::MouseEventIds TitleMouseEvents{XPButton::TitleClick, XPButton::TitleMouseOut,
                                                    XPButton::TitleMouseDown, XPButton::TitleMouseMove,
                                                    XPButton::TitleMouseUp};
} // namespace

const int TitleButton::Side = Component::pixelsFromTwips(315);

TitleButton::TitleButton(QWidget *parent)
    : XPControl(TitleMouseEvents, parent)
{
    setFocusPolicy(Qt::NoFocus);
}

QSize TitleButton::sizeHint() const
{
    return {Side, Side};
}

void TitleButton::lockSize()
{
    setFixedWidth(Side);
    setFixedHeight(Side);
}

void TitleButton::setBackgroundFace(const QString &name)
{
    const QImage picture = ResourceBitmap::load(name);
    QPixmap surface = blankSurface();
    surface.fill(palette().color(backgroundRole()));
    QPainter painter(&surface);
    painter.drawImage(0, 0, picture);
    painter.end();
    setSurface(surface);
}

void TitleButton::resized()
{
    // The fixed size already holds; this restores it if a host loosened the limits.
    if (size() == QSize(Side, Side))
        return;
    resize(width(), Side);
    resize(Side, Side);
}
