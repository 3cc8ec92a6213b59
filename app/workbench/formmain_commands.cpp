// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "commandcodec.h"
#include "formmain_texts.h"

#include <modulefun.h>

#include <component/runtimeerror.h>

#include <QLineEdit>

using namespace FormMainTexts;

void FormMain::TextCommand_Change(QLineEdit *box)
{
    if (intComFormat != CommandCodec::FormatHex)
        return;
    const QString upper = box->text().toUpper();
    if (upper != box->text())
        box->setText(upper);
    box->setCursorPosition(upper.size());
}

bool FormMain::Fun_CommandTest(const QString &strCommand)
{
    const CommandCodec::CommandProblem problem = CommandCodec::check(strCommand, intComFormat);
    if (problem == CommandCodec::CommandProblem::None)
        return true;
    ModuleFun::ShowMessage(CommandCodec::refusal(problem), 2);
    return false;
}

void FormMain::Sub_OutCommandChange(const QString &strComOutCommand)
{
    try {
        varOutData = CommandCodec::sendData(strComOutCommand, intComFormat);
    } catch (const Component::RuntimeError &error) {
        ModuleFun::ShowMessage(
            ModuleFun::ErrorReport(error.number(), error.description(), HintSendFormat), 0);
    }
}

void FormMain::Sub_InCommandChange(const QVariant &ComInCommand)
{
    strInData.clear();
    try {
        strInData = CommandCodec::receivedText(ComInCommand, intComFormat);
    } catch (const Component::RuntimeError &error) {
        ModuleFun::ShowMessage(
            ModuleFun::ErrorReport(error.number(), error.description(), HintReceiveFormat), 0);
    }
}
