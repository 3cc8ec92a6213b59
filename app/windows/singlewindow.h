// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QPointer>

// A tool window exists at most once: showing it creates it when it is not loaded and
// otherwise brings the open one forward. Closing unloads it, which clears the pointer.
template<typename Window>
Window *showSingleWindow()
{
    static QPointer<Window> instance;
    if (instance) {
        instance->raise();
        instance->activateWindow();
        return instance;
    }
    instance = new Window;
    instance->centerOnScreen();
    instance->show();
    instance->activateWindow();
    return instance;
}
