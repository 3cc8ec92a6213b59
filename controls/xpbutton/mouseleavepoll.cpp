// OrmelXPButton control library. Licensed under the MIT licence.
#include "mouseleavepoll.h"

#include <QCursor>
#include <QPointF>
#include <QSizeF>
#include <QWidget>

MouseLeavePoll::MouseLeavePoll(QWidget *control)
    : QObject(control)
    , m_control(control)
{
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(IntervalMs);
    connect(&Timer1, &QTimer::timeout, this, &MouseLeavePoll::poll);
}

bool MouseLeavePoll::isOutside(const QPointF &point, const QSizeF &size)
{
    return point.x() < 0 || point.y() < 0 || point.x() > size.width() || point.y() > size.height();
}

void MouseLeavePoll::start()
{
    if (!Timer1.isActive())
        Timer1.start();
}

void MouseLeavePoll::poll()
{
    const QPoint position = m_control->mapFromGlobal(QCursor::pos());
    if (!isOutside(position, m_control->size()))
        return;
    Timer1.stop();
    emit pointerLeft();
}
