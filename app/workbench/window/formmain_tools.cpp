// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "formmain_texts.h"

#include <externalprogram.h>
#include <formabout.h>
#include <formasc.h>
#include <formreadme.h>
#include <formviewinfo.h>
#include <modulefun.h>

#include <QApplication>

using namespace FormMainTexts;

void FormMain::ButtonAscii_Click()
{
    FormAsc::Show();
}

void FormMain::ButtonReadme_Click()
{
    FormReadme::Show();
}

void FormMain::ButtonViewInfo_Click()
{
    FormViewInfo::Show();
}

void FormMain::ButtonCALC_Click()
{
    if (!ExternalProgram::startCalculator())
        ModuleFun::ShowMessage(NoCalculator, ModuleFun::AlignCentre);
}

void FormMain::HelpButton_Click()
{
    FormAbout::ShowModal();
}

// The close sequence runs first; then the whole program ends, tool windows included.
void FormMain::ButtonExit_Click()
{
    close();
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}
