// Velmora workbench. Licensed under the MIT licence.
#include "titlestripbutton.h"

#include <modulefun.h>

#include <QPainter>

TitleStripButton::TitleStripButton(const QString &stem, QWidget *parent)
    : QAbstractButton(parent)
    , m_normal(ModuleFun::ResourceBitmap(stem + QStringLiteral("-NORMAL")))
    , m_hover(ModuleFun::ResourceBitmap(stem + QStringLiteral("-MOUSEOVER")))
    , m_pressed(ModuleFun::ResourceBitmap(stem + QStringLiteral("-MOUSEDOWN")))
{
    setFixedSize(Side, Side);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

QSize TitleStripButton::sizeHint() const
{
    return QSize(Side, Side);
}

void TitleStripButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPixmap &face = isDown() ? m_pressed : m_hovered ? m_hover : m_normal;
    painter.drawPixmap(0, 0, face);
}

void TitleStripButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TitleStripButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}
