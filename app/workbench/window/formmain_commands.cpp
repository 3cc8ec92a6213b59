// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "commandcodec.h"
#include "formmain_texts.h"

#include <modulefun.h>

#include <runtimeerror.h>

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
    const CommandCodec::Fault fault = CommandCodec::check(strCommand, intComFormat);
    if (fault.problem == CommandCodec::CommandProblem::None)
        return true;
    ModuleFun::ShowMessage(CommandCodec::refusal(fault), ModuleFun::AlignCentre);
    return false;
}

// A command that cannot be encoded is not sent at all: the data of an earlier command
// would otherwise go out in its place.
bool FormMain::Sub_OutCommandChange(const QString &strComOutCommand)
{
    try {
        varOutData = CommandCodec::sendData(strComOutCommand, intComFormat);
    } catch (const Component::RuntimeError &error) {
        ModuleFun::ShowError(error.number(), error.description(), HintSendFormat);
        return false;
    }
    return true;
}
