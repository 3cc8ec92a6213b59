// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"
#include "modulefun.h"
#include "tarrockversion.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr char HelpText[] =
    "Usage: tarrock [--help | --version]\n"
    "\n"
    "Velmora, a workbench for testing RS-232 and RS-485 serial links: sends a command\n"
    "as text or hexadecimal bytes, once or periodically, shows what comes back, and\n"
    "captures the traffic into one text file per day.\n"
    "Started without options it opens its window; everything else is set there.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "See tarrock(1) for where the settings, port map and capture files are kept.\n";

// A terminal's two questions are answered before any window system is asked for, so
// they work over ssh and in scripts. Any other start opens the window as always.
const char *terminalAnswer(int argc, char *argv[])
{
    static const std::string version = std::string("tarrock (Velmora) ") + TarrockVersion::Text + "\n";
    if (argc != 2)
        return nullptr;
    if (std::strcmp(argv[1], "--help") == 0)
        return HelpText;
    if (std::strcmp(argv[1], "--version") == 0)
        return version.c_str();
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const char *answer = terminalAnswer(argc, argv)) {
        std::fputs(answer, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    QApplication app(argc, argv);
    // Window managers and Wayland compositors find the menu entry, and so the icon, by it.
    QGuiApplication::setDesktopFileName(QStringLiteral(TARROCK_DESKTOP_ID));
    QApplication::setWindowIcon(ModuleFun::ProgramIcon());
    ModuleFun::SetMainWindowFactory([] { return new FormMain; });
    if (!ModuleFun::Main())
        return 0;
    return app.exec();
}
