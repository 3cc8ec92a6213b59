// Velmora workbench. Licensed under the MIT licence.
#include "modulefun.h"
#include "skinnedwindow.h"

#include <QApplication>
#include <QIcon>

namespace {

// Stands in for the workbench window until that window joins the program.
QWidget *createMainWindow()
{
    auto *window = new SkinnedWindow(QStringLiteral("FormMain"), QStringLiteral("Velmora"), QSize(640, 480));
    window->setShownInTaskBar(true);
    window->addTitleStrip(QStringLiteral("Velmora"));
    window->addCloseButton();
    window->centerOnScreen();
    return window;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(ModuleFun::ProgramIcon());
    ModuleFun::SetMainWindowFactory(createMainWindow);
    if (!ModuleFun::Main())
        return 0;
    return app.exec();
}
