// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "commandcodec.h"
#include "formmain_texts.h"

#include <modulefun.h>

#include <control.h>
#include <runtimeerror.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>

using namespace FormMainTexts;

namespace {

const char *const CaptionProperty = "Caption";

} // namespace

void FormMain::connectEngine()
{
    connect(&m_engine, &TransferEngine::sent, this, &FormMain::Sub_ComOutputDataShow);
    connect(&m_engine, &TransferEngine::received, this, &FormMain::Sub_Received);
    connect(&m_engine, &TransferEngine::singleSendDone, this, &FormMain::Sub_SingleSendDone);
    connect(&m_engine, &TransferEngine::failed, this, &FormMain::Sub_ReportFailure);
    connect(&m_engine, &TransferEngine::sendsSkipped, this,
            [this](qint16 intPort) {
                Sub_ShowMessageLater(SendsSkipped.arg(intPort), ModuleFun::AlignCentre);
            });
    connect(&m_engine, &TransferEngine::captureFailed, this,
            [this] { Sub_ShowMessageLater(Fun_CaptureReport(), ModuleFun::AlignLeft); });
    connect(&m_engine, &TransferEngine::deviceLost, this, &FormMain::Sub_DeviceLost);
    for (CommPort *port : {&m_engine.outPort(), &m_engine.inPort()}) {
        connect(port, &CommPort::notice, this,
                [this](const QString &text) { Sub_ShowMessageLater(text, ModuleFun::AlignCentre); });
        connect(port, &CommPort::Connecting, this, &FormMain::Sub_ShowConnecting);
    }
}

void FormMain::ButtonCom_Click()
{
    // A click while the start waits for a server calls the start off, quietly.
    if (m_blnStarting) {
        Sub_ClosePorts();
        return;
    }
    Sub_EndReconnectWait();   // the user's own start or stop ends the wait for a lost device
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
    // A running transfer keeps its lists: looking at the system's devices meanwhile would
    // only take time from its event loop. The first look after the stop catches up.
    if (caption == ComStop)
        m_portWatcher.stop();
    else if (!m_blnUnloaded)
        m_portWatcher.start();
}

// Every refusal and every failure on the way leaves the program stopped, with both
// ports closed and one report.
void FormMain::Sub_ComStart()
{
    if (m_blnUnloaded || m_blnStarting)
        return;
    const QScopedValueRollback<bool> starting(m_blnStarting, true);
    Sub_ApplyLineOptions();
    if (intIOState != IOReceive) {
        strOutCommand = TextComOutCommand->text();
        if (!Fun_CommandTest(strOutCommand) || !Sub_OutCommandChange(strOutCommand)) {
            TextComOutCommand->setFocus();
            return;
        }
        // The line ending goes to the line, the pane and the capture with the command.
        const QString lineEnd = m_lineOptions.lineEndFor(intComFormat);
        if (!lineEnd.isEmpty()) {
            strOutCommand += lineEnd;
            varOutData = varOutData.toString() + lineEnd;
        }
    }
    const bool blnOpened = Fun_ComStartPorts();
    Sub_EndConnecting();
    // The window may have closed while a refusal waited for the user.
    if (!blnOpened || m_blnUnloaded) {
        Sub_ClosePorts();
        return;
    }

    Sub_SetComCaption(ComStop);
    Sub_OptionState(false);
    if (blnComAuto)
        ButtonCom->setFocus();
    else
        TextComOutCommand->setFocus();

    TransferEngine::Run run;
    run.mode = intIOState;
    run.repeat = blnComAuto;
    run.period = intComTime;
    run.outCommand = strOutCommand;
    run.outData = varOutData;
    run.inCommand = strInCommand;
    m_engine.begin(run, Fun_CaptureHeader());
}

// The window paints while a start waits for a server, and says so.
void FormMain::Sub_ShowConnecting()
{
    if (!m_blnStarting)
        return;
    ButtonCom->setProperty(CaptionProperty, QString(ComConnecting));
    setCursor(Qt::BusyCursor);
    // The start's choices hold until it ends; the system's devices wait as in a run.
    Sub_OptionState(false);
    m_portWatcher.stop();
}

void FormMain::Sub_EndConnecting()
{
    unsetCursor();
    if (ButtonCom->property(CaptionProperty).toString() != ComConnecting)
        return;
    Sub_SetComCaption(ComStart);
    Sub_OptionState(true);
}

// Checks and opens the ports the mode needs; false when the start is refused.
bool FormMain::Fun_ComStartPorts()
{
    switch (intIOState) {
    case IOSend:
        if (!Fun_CheckPort(intComOutPort, ComboComOutput))
            return false;
        m_engine.setSamePort(false);
        return Sub_MscommOutPut();
    case IOReceive:
        return Fun_CheckPort(intComInPort, ComboComInput) && Sub_MscommInPut();
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
            ModuleFun::ShowMessage(SamePortSettings, ModuleFun::AlignCentre);
            ComboComOutSetB->setFocus();
            return false;
        }
        m_engine.setSamePort(true);
        return Sub_MscommInPut();
    }
    if (!Fun_CheckPort(intComOutPort, ComboComOutput) || !Fun_CheckPort(intComInPort, ComboComInput))
        return false;
    m_engine.setSamePort(false);
    return Sub_MscommOutPut() && Sub_MscommInPut();
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
    m_engine.stop();
    strOutCommand.clear();
    strInCommand.clear();
    Sub_SetComCaption(ComStart);
    Sub_OptionState(true);
    TextComOutCommand->setFocus();
}

bool FormMain::Sub_MscommOutPut()
{
    try {
        m_engine.openOutPort({intComOutPort, strComOutSet, intComOutHand});
    } catch (const Component::RuntimeError &error) {
        Sub_ReportCommError(error, intComOutPort);
        return false;
    }
    return true;
}

bool FormMain::Sub_MscommInPut()
{
    try {
        m_engine.openInPort({intComInPort, strComInSet, intComInHand},
                            TransferEngine::receiveThreshold(intIOState, strInCommand, intComFormat),
                            intComFormat);
    } catch (const Component::RuntimeError &error) {
        Sub_ReportCommError(error, intComInPort);
        return false;
    }
    return true;
}

// A port another program holds gets the same centred words as the port test gives.
void FormMain::Sub_ReportCommError(const Component::RuntimeError &error, qint16 intPort)
{
    // Called off by the user, or by a loss already reported.
    if (error.number() == CommPort::ErrorOpenCancelled)
        return;
    Sub_EndConnecting();
    if (error.number() == CommPort::ErrorPortInUse) {
        ModuleFun::ShowMessage(PortBusy.arg(intPort), ModuleFun::AlignCentre);
        return;
    }
    ModuleFun::ShowError(error.number(), error.description(), HintComm);
}

void FormMain::Sub_ReportFailure(int number, const QString &description,
                                 TransferEngine::Hint hint)
{
    const QString &hintText = hint == TransferEngine::Hint::ReceiveFormat ? HintReceiveFormat
                                                                          : HintComm;
    Sub_ShowMessageLater(ModuleFun::ErrorReport(number, description, hintText),
                         ModuleFun::AlignLeft);
}

// The ports stay open: in the send-and-receive mode what arrives is still shown.
void FormMain::Sub_SingleSendDone()
{
    Sub_SetComCaption(ComStart);
    Sub_OptionState(true);
}

void FormMain::Sub_Received(const QString &text, bool newLine)
{
    strInData = text;
    blnNewLine = blnNewLine || newLine;
    Sub_ComInputDataShow();
}

// A device that went away ends the communication as the stop button would.
void FormMain::Sub_DeviceLost(qint16 intPort)
{
    const bool blnRunning = Fun_Communicating();
    if (blnRunning)
        Sub_ComStop();
    const bool blnAwaiting = blnRunning && Fun_AwaitReconnect(intPort);
    // A device that keeps coming and going is told of once, until the user starts or stops.
    if (blnAwaiting && m_reconnect.told)
        return;
    m_reconnect.told = blnAwaiting;
    QString strText = (blnAwaiting ? PortLostAwaitingReconnect : PortLost).arg(intPort);
    if (!m_engine.lossReason().isEmpty())
        strText += QStringLiteral("\r\n\r\n") + m_engine.lossReason();
    Sub_ShowMessageLater(strText, ModuleFun::AlignCentre);
}

void FormMain::Sub_ClosePorts()
{
    m_engine.closePorts();
}
