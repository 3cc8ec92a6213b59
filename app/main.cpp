// Velmora workbench. Licensed under the MIT licence.
#include "answercommand.h"
#include "commandline.h"
#include "displayguard.h"
#include "formmain.h"
#include "linktestcommand.h"
#include "modulefun.h"
#include "runcommand.h"
#include "screenfit.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char *argv[])
{
    const CommandLine command = CommandLine::parse(argc, argv);
    if (command.windowless()) {
        // No window and no display: a core application only.
        QCoreApplication app(argc, argv);
        const QStringList arguments = QCoreApplication::arguments().mid(2);
        switch (command.action()) {
        case CommandLine::Action::Run:
            return RunCommand::run(arguments);
        case CommandLine::Action::Answer:
            return AnswerCommand::run(arguments);
        default:
            return LinkTestCommand::run(arguments);
        }
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
