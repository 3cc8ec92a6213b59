// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "skinnedwindow.h"

class QTimer;

// The splash window. Its own timer opens the main window on the second tick and
// unloads the splash on the third; a message window closes it earlier.
class FormLogo : public SkinnedWindow
{
    Q_OBJECT

public:
    static constexpr int TickInterval = 500;
    static constexpr qint16 MainWindowTick = 2;
    static constexpr qint16 UnloadTick = 3;

    FormLogo();
    ~FormLogo() override;

    // The splash while it is up; null once it has been closed.
    static FormLogo *current();
    static void closeIfOpen();

    qint16 tickCount() const { return m_intTick; }

public slots:
    void Timer1_Timer();

protected:
    void onActivate() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void addPicture();
    void addLabels();
    static void openMainWindow();

    QTimer *m_timer;
    qint16 m_intTick = 0;
};
