// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QtMessageHandler>

#include <string>

// Watches the window system being opened (the QApplication's construction). Where no
// display can be reached Qt would abort with a page of advice; instead the program says
// in one line that it needs a display, naming the variables that point to one, and ends
// with status 1. Qt's messages of a successful start reach standard error as always.
class DisplayGuard
{
public:
    static constexpr int NoDisplayStatus = 1;

    DisplayGuard();
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard &) = delete;
    DisplayGuard &operator=(const DisplayGuard &) = delete;

    // The window system is open: the messages held back go out, and Qt's own handling
    // of messages is back.
    void release();

    // The line said when no display can be reached, from the environment given.
    static std::string noDisplayText(const char *display, const char *waylandDisplay);

private:
    QtMessageHandler m_previous = nullptr;
    bool m_released = false;
};
