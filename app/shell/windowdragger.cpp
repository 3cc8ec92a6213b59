// Velmora workbench. Licensed under the MIT licence.
#include "windowdragger.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QWidget>

WindowDragger::WindowDragger(QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_grabbedAt(QCursor::pos())
    , m_windowAt(window->pos())
{
    QCoreApplication::instance()->installEventFilter(this);
}

void WindowDragger::follow(QWidget *window)
{
    new WindowDragger(window);
}

bool WindowDragger::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        const QPoint pointer = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        m_window->move(m_windowAt + pointer - m_grabbedAt);
        return false;
    }
    case QEvent::MouseButtonRelease:
        QCoreApplication::instance()->removeEventFilter(this);
        deleteLater();
        return false;
    default:
        return QObject::eventFilter(watched, event);
    }
}
