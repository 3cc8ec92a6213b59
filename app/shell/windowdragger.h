// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QObject>
#include <QPoint>

class QWidget;

// Moves a window with the pointer until the button is released, for window systems
// that refuse to run their own move.
class WindowDragger : public QObject
{
    Q_OBJECT

public:
    // Starts following the pointer; the dragger ends itself on release.
    static void follow(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WindowDragger(QWidget *window);

    QWidget *m_window;
    QPoint m_grabbedAt;
    QPoint m_windowAt;
};
