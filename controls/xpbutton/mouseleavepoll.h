// OrmelXPButton control library. Licensed under the MIT licence.
#pragma once

#include "xpbutton_export.h"

#include <QObject>
#include <QTimer>

class QPointF;
class QSizeF;
class QWidget;

// Watches for the pointer leaving a control: every 10 ms while running it reads the
// pointer position, and the first time it lies outside it stops and reports once.
// Polling rather than leave events also catches a pointer dragged out with a button held.
class XPBUTTON_EXPORT MouseLeavePoll : public QObject
{
    Q_OBJECT

public:
    static constexpr int IntervalMs = 10;

    explicit MouseLeavePoll(QWidget *control);

    // Outside means left of or above the control, or more than its width or height
    // past its origin: x = width and y = height still count as inside.
    static bool isOutside(const QPointF &point, const QSizeF &size);

    void start();
    bool isRunning() const { return Timer1.isActive(); }

signals:
    void pointerLeft();

private:
    void poll();

    QWidget *m_control;
    QTimer Timer1;
};
