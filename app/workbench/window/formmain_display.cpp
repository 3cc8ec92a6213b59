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

#include <iterator>

using namespace FormMainTexts;

namespace {

// How often a message waits for a start to end before it shows.
constexpr int StartMessageRetryMilliseconds = 50;

// A port label with its prefix as written in the code rather than as shown.
QString sourceLabel(const QLabel *label, const UiText &prefix)
{
    return prefix.source() + label->text().mid(prefix.toString().size());
}

} // namespace

// The engine has written the send (or failed to); the pane shows it either way.
void FormMain::Sub_ComOutputDataShow()
{
    TextComOutput->appendLine(strOutCommand);
}

void FormMain::Sub_ComInputDataShow()
{
    TextComInput->appendContinued(strInData, blnNewLine);
    blnNewLine = false;
}

CaptureHeader FormMain::Fun_CaptureHeader() const
{
    // The file keeps its Chinese labels in every language: peers and scripts read them.
    const int mode = ComboComIOState->currentIndex();
    const QString modeName = mode >= 0 && mode < int(std::size(IOStateItems)) ? IOStateItems[mode].source() : QString();
    return {modeName, sourceLabel(LabelComOutputP, OutPortPrefix), strComOutSet,
            sourceLabel(LabelComInputP, InPortPrefix), strComInSet};
}

void FormMain::Sub_SaveComInfo(qint16 intComInfoState, const QString &strComInfo)
{
    m_engine.addCaptureRecord(CaptureLog::RecordKind(intComInfoState), strComInfo,
                              Fun_CaptureHeader());
}

void FormMain::Sub_SaveComInfoToFile()
{
    m_engine.writeCapture();
}

void FormMain::Sub_ShowMessageLater(const QString &text, qint16 alignment)
{
    // Not inside a start that waits for a server: the wait would stand still under it.
    // Once the window has closed, its close sequence has said what still mattered.
    QTimer::singleShot(m_blnStarting ? StartMessageRetryMilliseconds : 0, this, [this, text, alignment] {
        if (m_blnUnloaded)
            return;
        if (m_blnStarting)
            Sub_ShowMessageLater(text, alignment);
        else
            ModuleFun::ShowMessage(text, alignment);
    });
}

QString FormMain::Fun_CaptureReport() const
{
    const CaptureLog &log = m_engine.capture();
    return ModuleFun::ErrorReport(log.errorNumber(), log.errorDescription(), log.failureHint());
}

void FormMain::ButtonClear_Click()
{
    TextComInput->clear();
    TextComOutput->clear();
    m_engine.resetTicks();
}

void FormMain::CheckSaveInfo_Click()
{
    const qint16 value = Fun_ClickedValue(CheckSaveInfo);
    if (value == CheckChecked)
        m_engine.setCapturing(true);
    else if (value == CheckUnchecked)
        m_engine.setCapturing(false);
}
