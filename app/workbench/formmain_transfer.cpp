// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "commandcodec.h"
#include "formmain_texts.h"

#include <modulefun.h>

#include <component/control.h>
#include <component/runtimeerror.h>

#include <QComboBox>
#include <QLineEdit>

#include <limits>

using namespace FormMainTexts;

namespace {

// Receive events further apart than this start a new display line.
constexpr qint64 NewLineGapMilliseconds = 25;
const char *const CaptionProperty = "Caption";

// A signed 32-bit tick difference that overflows counts as a gap.
bool gapOver(qint32 lngTickLast, qint32 lngTickNow)
{
    const qint64 difference = qint64(lngTickNow) - qint64(lngTickLast);
    return difference > NewLineGapMilliseconds
        || difference < std::numeric_limits<qint32>::min();
}

} // namespace

void FormMain::ButtonCom_Click()
{
    Sub_ClosePorts();
    const QString caption = ButtonCom->property(CaptionProperty).toString();
    if (caption == ComStart)
        Sub_ComStart();
    else if (caption == ComStop)
        Sub_ComStop();
}

bool FormMain::Fun_Communicating() const
{
    return ButtonCom->property(CaptionProperty).toString() == ComStop;
}

void FormMain::Sub_SetComCaption(const QString &caption)
{
    ButtonCom->setProperty(CaptionProperty, caption);
}

void FormMain::Sub_ComStart()
{
    if (intIOState != IOReceive) {
        strOutCommand = TextComOutCommand->text();
        if (!Fun_CommandTest(strOutCommand)) {
            TextComOutCommand->setFocus();
            return;
        }
        Sub_OutCommandChange(strOutCommand);
    }
    if (!Fun_ComStartPorts())
        return;

    Sub_SetComCaption(ComStop);
    Sub_OptionState(false);
    if (blnComAuto)
        ButtonCom->setFocus();
    else
        TextComOutCommand->setFocus();
    m_intReportedSendError = 0;
    if (blnSaveInfo)
        Sub_SaveComInfo(CaptureLog::RecordHeader, QString());
    if (intIOState == IOSend || intIOState == IOSendReceive) {
        Timer1.setInterval(intComTime);
        Timer1.start();
    }
}

// Checks and opens the ports the mode needs; false when the start is refused.
bool FormMain::Fun_ComStartPorts()
{
    switch (intIOState) {
    case IOSend:
        if (!Fun_CheckPort(intComOutPort, ComboComOutput))
            return false;
        blnSamePort = false;
        Sub_MscommOutPut();
        return true;
    case IOReceive:
        if (!Fun_CheckPort(intComInPort, ComboComInput))
            return false;
        Sub_MscommInPut();
        return true;
    case IOAnswer:
        strInCommand = TextComInCommand->text();
        if (!Fun_CommandTest(strInCommand)) {
            TextComInCommand->setFocus();
            return false;
        }
        return Fun_ComStartSharedPorts();
    case IOSendReceive:
        return Fun_ComStartSharedPorts();
    default:
        return false;
    }
}

// Modes that send and receive: one port for both directions, or one port each.
bool FormMain::Fun_ComStartSharedPorts()
{
    if (intComOutPort == intComInPort) {
        if (!Fun_CheckPort(intComInPort, ComboComInput))
            return false;
        if (strComInSet != strComOutSet || intComOutHand != intComInHand) {
            ModuleFun::ShowMessage(SamePortSettings, 2);
            ComboComOutSetB->setFocus();
            return false;
        }
        blnSamePort = true;
        Sub_MscommInPut();
        return true;
    }
    if (!Fun_CheckPort(intComOutPort, ComboComOutput) || !Fun_CheckPort(intComInPort, ComboComInput))
        return false;
    blnSamePort = false;
    Sub_MscommOutPut();
    Sub_MscommInPut();
    return true;
}

bool FormMain::Fun_CheckPort(qint16 intPort, QWidget *focusOnRefusal)
{
    if (Fun_ComPortTest(intPort))
        return true;
    focusOnRefusal->setFocus();
    return false;
}

void FormMain::Sub_ComStop()
{
    Timer1.stop();
    Sub_ClosePorts();
    strOutCommand.clear();
    strInCommand.clear();
    Sub_SetComCaption(ComStart);
    Sub_OptionState(true);
    TextComOutCommand->setFocus();
    if (blnSaveInfo)
        Sub_SaveComInfoToFile();
}

void FormMain::Sub_MscommOutPut()
{
    try {
        if (MSCommOutPut.PortOpen())
            MSCommOutPut.setPortOpen(false);
        MSCommOutPut.setCommPort(intComOutPort);
        MSCommOutPut.setRThreshold(0);
        MSCommOutPut.setSettings(strComOutSet);
        MSCommOutPut.setHandshaking(intComOutHand);
        MSCommOutPut.setPortOpen(true);
        MSCommOutPut.setInBufferCount(0);
        MSCommOutPut.setOutBufferCount(0);
    } catch (const Component::RuntimeError &error) {
        Sub_ReportCommError(error);
    }
}

void FormMain::Sub_MscommInPut()
{
    try {
        if (MSCommInPut.PortOpen())
            MSCommInPut.setPortOpen(false);
        MSCommInPut.setCommPort(intComInPort);
        // In mode 3 the event waits for as many bytes as the expected command holds.
        const int expected = intComFormat == CommandCodec::FormatHex ? strInCommand.size() / 2
                                                                      : strInCommand.size();
        strRThreshold = QString::number(intIOState == IOAnswer ? expected : 1);
        MSCommInPut.setRThreshold(qint16(strRThreshold.toInt()));
        MSCommInPut.setSettings(strComInSet);
        MSCommInPut.setHandshaking(intComInHand);
        MSCommInPut.setInputMode(intComFormat == CommandCodec::FormatHex ? CommPort::InputModeBinary
                                                                         : CommPort::InputModeText);
        MSCommInPut.setPortOpen(true);
        MSCommInPut.setInBufferCount(0);
        MSCommInPut.setOutBufferCount(0);
    } catch (const Component::RuntimeError &error) {
        Sub_ReportCommError(error);
    }
}

void FormMain::Sub_ReportCommError(const Component::RuntimeError &error)
{
    ModuleFun::ShowMessage(ModuleFun::ErrorReport(error.number(), error.description(), HintComm),
                           0);
}

void FormMain::Timer1_Timer()
{
    if (m_blnTickBusy)
        return;
    m_blnTickBusy = true;
    try {
        Sub_ComOutputDataShow();
        if (!blnComAuto) {
            Timer1.stop();
            Sub_SetComCaption(ComStart);
            Sub_OptionState(true);
        }
    } catch (const Component::RuntimeError &error) {
        // Later ticks retry silently, so a failing port cannot bury the stop button.
        if (error.number() != m_intReportedSendError) {
            m_intReportedSendError = error.number();
            Sub_ReportCommError(error);
        }
    }
    m_blnTickBusy = false;
}

// One port serving both directions raises no receive event while the data is handed
// over; the threshold comes back even when the write fails.
void FormMain::Sub_WriteOutData()
{
    if (!blnSamePort) {
        MSCommOutPut.setOutput(varOutData);
        return;
    }
    const qint16 threshold = qint16(strRThreshold.toInt());
    MSCommInPut.setRThreshold(0);
    try {
        MSCommInPut.setOutput(varOutData);
    } catch (const Component::RuntimeError &) {
        MSCommInPut.setRThreshold(threshold);
        throw;
    }
    MSCommInPut.setRThreshold(threshold);
}

qint32 FormMain::Fun_TickCount() const
{
    // 0 stands for "no receive event seen yet", so the clock starts at 1.
    return qint32(m_tickClock.elapsed() + 1);
}

void FormMain::MSCommInPut_OnComm()
{
    const qint16 event = MSCommInPut.CommEvent();
    if (event == CommPort::EventDeviceLost) {
        Sub_DeviceLost(MSCommInPut);
        return;
    }
    // Line errors, modem-line changes and breaks carry no data to show or capture.
    if (event != CommPort::EvReceive)
        return;

    lngTickNow = Fun_TickCount();
    if (lngTickLast != 0 && gapOver(lngTickLast, lngTickNow))
        blnNewLine = true;
    lngTickLast = lngTickNow;

    QVariant input;
    try {
        input = MSCommInPut.Input();
    } catch (const Component::RuntimeError &) {
        return;
    }
    Sub_InCommandChange(input);
    if (strInData.isEmpty())
        return;

    // The far end waits for the answer; it leaves before any display work.
    const bool answer = intIOState == IOAnswer && strInCommand == strInData;
    if (answer) {
        try {
            Sub_WriteOutData();
        } catch (const Component::RuntimeError &) {
        }
    }
    Sub_ComInputDataShow();
    if (answer)
        Sub_ShowOutCommand();
}

void FormMain::MSCommOutPut_OnComm()
{
    if (MSCommOutPut.CommEvent() == CommPort::EventDeviceLost)
        Sub_DeviceLost(MSCommOutPut);
}

// A device that went away ends the communication as the stop button would.
void FormMain::Sub_DeviceLost(const CommPort &port)
{
    const qint16 lostPort = port.CommPortNumber();
    Sub_ClosePorts();
    if (Fun_Communicating())
        Sub_ComStop();
    ModuleFun::ShowMessage(PortLost.arg(lostPort), 2);
}
