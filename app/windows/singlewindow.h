// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QPointer>

// A window exists at most once: showing it creates it with create when it is not loaded
// and otherwise brings the open one forward. Closing unloads it, which clears the pointer.
template<typename Window, typename Create>
Window *showSingleWindow(QPointer<Window> &instance, Create create)
{
    if (instance) {
        instance->raise();
        instance->activateWindow();
        return instance;
    }
    instance = create();
    instance->centerOnScreen();
    instance->show();
    instance->activateWindow();
    return instance;
}

// A tool window of its own, made without arguments.
template<typename Window>
Window *showSingleWindow()
{
    static QPointer<Window> instance;
    return showSingleWindow(instance, [] { return new Window; });
}
