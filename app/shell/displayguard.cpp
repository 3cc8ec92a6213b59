// Velmora workbench. Licensed under the MIT licence.
#include "displayguard.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct HeldMessage
{
    QtMsgType type;
    std::string category;
    QString text;
};

std::vector<HeldMessage> &heldMessages()
{
    static std::vector<HeldMessage> messages;
    return messages;
}

// Qt reports a window system it cannot open as a fatal message, then aborts: the one
// fatal message that can come while the application object is being made.
void holdOrEnd(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        const std::string line = DisplayGuard::noDisplayText(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(DisplayGuard::NoDisplayStatus);
    }
    heldMessages().push_back({type, context.category ? context.category : "", text});
}

std::string described(const char *name, const char *value)
{
    if (!value || !*value)
        return std::string(name) + " is not set";
    return std::string(name) + "=" + value;
}

} // namespace

DisplayGuard::DisplayGuard() : m_previous(qInstallMessageHandler(holdOrEnd))
{
}

DisplayGuard::~DisplayGuard()
{
    release();
}

void DisplayGuard::release()
{
    if (m_released)
        return;
    m_released = true;
    qInstallMessageHandler(m_previous);
    for (const HeldMessage &message : heldMessages()) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        qt_message_output(message.type, context, message.text);
    }
    heldMessages().clear();
}

std::string DisplayGuard::noDisplayText(const char *display, const char *waylandDisplay)
{
    const bool named = (display && *display) || (waylandDisplay && *waylandDisplay);
    return std::string("tarrock: needs a display to open its window; ")
        + (named ? "none could be reached (" : "none is named (")
        + described("DISPLAY", display) + ", " + described("WAYLAND_DISPLAY", waylandDisplay) + ")\n";
}
