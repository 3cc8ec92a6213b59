// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"
#include "modulefun.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(ModuleFun::ProgramIcon());
    ModuleFun::SetMainWindowFactory([] { return new FormMain; });
    if (!ModuleFun::Main())
        return 0;
    return app.exec();
}
