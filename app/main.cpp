// Velmora workbench. Licensed under the MIT licence.
#include "commandline.h"
#include "displayguard.h"
#include "formmain.h"
#include "linktestcommand.h"
#include "modulefun.h"
#include "screenfit.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char *argv[])
{
    const CommandLine command = CommandLine::parse(argc, argv);
    if (command.action() == CommandLine::Action::LinkTest) {
        // No window and no display: a core application only.
        QCoreApplication app(argc, argv);
        return LinkTestCommand::run(QCoreApplication::arguments().mid(2));
    }
    if (command.action() != CommandLine::Action::OpenWindow) {
        std::FILE *out = command.action() == CommandLine::Action::Refuse ? stderr : stdout;
        std::fputs(command.answer().c_str(), out);
        return std::fflush(out) == 0 ? command.exitStatus() : 1;
    }
    DisplayGuard displayGuard;
    const std::unique_ptr<QApplication> app = ScreenFit::createApplication(argc, argv, FormMain::DesignSize);
    displayGuard.release();
    // Window managers and Wayland compositors find the menu entry, and so the icon, by it.
    QGuiApplication::setDesktopFileName(QStringLiteral(TARROCK_DESKTOP_ID));
    QApplication::setWindowIcon(ModuleFun::ProgramIcon());
    ModuleFun::SetMainWindowFactory([] { return new FormMain; });
    if (!ModuleFun::Main())
        return 0;
    return QApplication::exec();
}
