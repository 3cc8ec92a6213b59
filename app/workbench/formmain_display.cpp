// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "datapane.h"
#include "formmain_texts.h"

#include <modulefun.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QTimer>

using namespace FormMainTexts;

namespace {

const QString CRLF = QStringLiteral("\r\n");

} // namespace

void FormMain::Sub_ComOutputDataShow()
{
    Sub_ShowOutCommand();
    Sub_WriteOutData();
}

// The send pane and the capture show a send even when its write then fails.
void FormMain::Sub_ShowOutCommand()
{
    if (TextComOutput->lineCount() >= DataPane::LinesShown)
        TextComOutput->clear();
    if (!TextComOutput->isEmpty())
        TextComOutput->appendPending(CRLF);
    TextComOutput->appendText(strOutCommand);
    if (blnSaveInfo)
        Sub_SaveComInfo(CaptureLog::RecordSent, strOutCommand);
}

// Received text is queued: the pane inserts it in batches, and at once when a new line
// needs the line count.
void FormMain::Sub_ComInputDataShow()
{
    if (blnNewLine) {
        if (TextComInput->lineCount() < DataPane::LinesShown)
            TextComInput->appendPending(CRLF);
        else
            TextComInput->clear();
        blnNewLine = false;
    }
    TextComInput->appendPending(strInData);
    if (blnSaveInfo)
        Sub_SaveComInfo(CaptureLog::RecordReceived, strInData);
}

void FormMain::Sub_SaveComInfo(qint16 intComInfoState, const QString &strComInfo)
{
    CaptureLog::WriteStatus status = CaptureLog::WriteStatus::Ok;
    switch (intComInfoState) {
    case CaptureLog::RecordHeader:
        status = strSaveInfo.addHeader({ComboComIOState->currentText(), LabelComOutputP->text(),
                                        strComOutSet, LabelComInputP->text(), strComInSet},
                                       QDateTime::currentDateTime());
        break;
    case CaptureLog::RecordSent:
        status = strSaveInfo.addSent(strComInfo);
        break;
    case CaptureLog::RecordReceived:
        status = strSaveInfo.addReceived(strComInfo);
        break;
    default:
        return;
    }
    Sub_ReportCapture(status);
}

void FormMain::Sub_SaveComInfoToFile()
{
    Sub_ReportCapture(strSaveInfo.flush());
}

// Reported from the event loop, so that neither a send nor a receive waits on it; the
// log itself keeps the buffer and says a lasting failure only once.
void FormMain::Sub_ReportCapture(CaptureLog::WriteStatus status)
{
    if (status != CaptureLog::WriteStatus::Failed)
        return;
    QTimer::singleShot(0, this, [this, report = Fun_CaptureReport()] {
        ModuleFun::ShowMessage(report, 0);
    });
}

QString FormMain::Fun_CaptureReport() const
{
    return ModuleFun::ErrorReport(strSaveInfo.errorNumber(), strSaveInfo.errorDescription(),
                                  HintComm);
}

void FormMain::ButtonClear_Click()
{
    TextComInput->clear();
    TextComOutput->clear();
    lngTickNow = 0;
    lngTickLast = 0;
}

void FormMain::CheckSaveInfo_Click()
{
    const qint16 value = Fun_ClickedValue(CheckSaveInfo);
    if (value == CheckChecked)
        blnSaveInfo = true;
    else if (value == CheckUnchecked)
        blnSaveInfo = false;
}
