// Velmora workbench. Licensed under the MIT licence.
// The main window's side of a run: the choices it hands the session, the port lists, the
// start button, and what the session reports.
#include "formmain.h"

#include "commandcodec.h"
#include "datapane.h"
#include "formcommands.h"
#include "formline.h"
#include "formlinktest.h"
#include "formmonitor.h"
#include "formmain_texts.h"
#include "formportmap.h"
#include "linesettings.h"

#include <filelocations.h>
#include <modulefun.h>
#include <singlewindow.h>
#include <uitext.h>

#include <control.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <cmath>
#include <iterator>
#include <utility>

using namespace FormMainTexts;

namespace {

const char *const CaptionProperty = "Caption";

// How often a message waits for a start to end before it shows.
constexpr int StartMessageRetryMilliseconds = 50;

// %1 is the options file.
const UiText LineOptionsNotSaved("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n线路控制设置文件无法写入，这些设置只在本次运行中有效！\r\n\r\n%1"));
const UiText PortMapOptionsNotSaved("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n端口映射设置文件无法写入，这些设置只在本次运行中有效！\r\n\r\n%1"));
// %1 is the command list's file, %2 the line, %3 the reason.
const UiText CommandsUnreadable("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n命令列表文件无法读取，保留原样：%1\r\n\r\n第%2行：%3"));
// %1 steps passed, %2 failed; the capture keeps it in Chinese, as its labels.
const UiText SequenceOutcome("FormMain", QT_TRANSLATE_NOOP("FormMain", "序列：通过 %1 步，失败 %2 步"));
const UiText SequenceStopped("FormMain", QT_TRANSLATE_NOOP("FormMain", "序列：通过 %1 步，失败 %2 步，未运行完"));
const UiText CommandsNotSaved("FormMain", QT_TRANSLATE_NOOP("FormMain",
    "对不起！\r\n\r\n命令列表文件未保存，保留原样，更改只在本次运行中有效！\r\n\r\n%1"));

QString portItem(qint16 port)
{
    return QStringLiteral("Com %1").arg(port);
}

QString settingsString(const QComboBox *baud, const QComboBox *parity, const QComboBox *dataBits,
                       const QComboBox *stopBits)
{
    return LineSettings::settingsString(baud->currentText(), parity->currentText(),
                                        dataBits->currentText(), stopBits->currentText());
}

qint16 periodOf(const QComboBox *list)
{
    return qint16(std::lround(list->currentText().trimmed().toDouble()));
}

// A port label with its prefix as written in the code rather than as shown: the capture
// file keeps its Chinese labels in every language, as peers and scripts read them.
QString sourceLabel(const QLabel *label, const UiText &prefix)
{
    return prefix.source() + label->text().mid(prefix.toString().size());
}

} // namespace

// ---- The choices ----

// What the controls hold, as the session starts a run with it. A check box the program
// set grey keeps the repeat off until the user clicks it.
Session::Choices FormMain::Fun_Choices() const
{
    const Session::Choices &held = m_session.choices();
    Session::Choices choices;
    choices.outPort = Fun_SelectedPort(ComboComOutput, held.outPort);
    choices.inPort = Fun_SelectedPort(ComboComInput, held.inPort);
    choices.outSettings = settingsString(ComboComOutSetB, ComboComOutSetP, ComboComOutSetD, ComboComOutSetS);
    choices.inSettings = settingsString(ComboComInSetB, ComboComInSetP, ComboComInSetD, ComboComInSetS);
    choices.outHandshake = qint16(ComboComOutHand->currentIndex());
    choices.inHandshake = qint16(ComboComInHand->currentIndex());
    choices.mode = qint16(ComboComIOState->currentIndex());
    choices.format = qint16(ComboComFormat->currentIndex());
    choices.period = periodOf(ComboComTime);
    choices.repeat = CheckComAuto->checkState() == Qt::Checked;
    choices.outCommand = TextComOutCommand->text();
    choices.inCommand = TextComInCommand->text();
    choices.answerRules = m_protocol.rules;
    const int mode = ComboComIOState->currentIndex();
    choices.modeName = mode >= 0 && mode < int(std::size(IOStateItems)) ? IOStateItems[mode].source() : QString();
    choices.outPortCaption = sourceLabel(LabelComOutputP, OutPortPrefix);
    choices.inPortCaption = sourceLabel(LabelComInputP, InPortPrefix);
    return choices;
}

void FormMain::Sub_ChoicesChanged()
{
    m_session.setChoices(Fun_Choices());
}

void FormMain::Sub_ComOutSet()
{
    Sub_ChoicesChanged();
}

void FormMain::Sub_ComInSet()
{
    Sub_ChoicesChanged();
}

void FormMain::ComboComFormat_Click()
{
    Sub_ChoicesChanged();
    m_session.setFormat(qint16(ComboComFormat->currentIndex()));
}

void FormMain::ComboComIOState_Click()
{
    const bool answering = ComboComIOState->currentIndex() == IOAnswer;
    LabelComInCommand->setEnabled(answering);
    TextComInCommand->setEnabled(answering);
    Sub_ChoicesChanged();
}

void FormMain::CheckComAuto_Click()
{
    const qint16 value = Fun_ClickedValue(CheckComAuto);
    if (value != CheckGrey)
        ComboComTime->setEnabled(value == CheckChecked);
    Sub_ChoicesChanged();
}

void FormMain::TextCommand_Change(QLineEdit *box)
{
    if (m_session.choices().format == CommandCodec::FormatHex) {
        const QString upper = box->text().toUpper();
        if (upper != box->text())
            box->setText(upper);
        box->setCursorPosition(upper.size());
    }
    Sub_ChoicesChanged();
}

// ---- The port lists ----

// Each item's tooltip names the device behind the port.
void FormMain::Sub_ScanComPort(qint16 intNowOutPort, qint16 intNowInPort)
{
    Sub_FillPortLists({});
    if (m_session.ports().isEmpty())
        return;
    ComboComOutput->setCurrentIndex(0);
    ComboComInput->setCurrentIndex(0);
    Sub_SelectPorts(intNowOutPort, intNowInPort);
}

// The lists hold every port the system finds and, listed although missing, the ports in
// `keptPorts`, item for item as the session lists them.
void FormMain::Sub_FillPortLists(const QList<qint16> &keptPorts)
{
    m_session.scanPorts(keptPorts);
    ComboComOutput->clear();
    ComboComInput->clear();
    for (const Session::PortEntry &port : m_session.ports()) {
        for (QComboBox *list : {ComboComOutput, ComboComInput}) {
            list->addItem(portItem(port.number));
            const int item = list->count() - 1;
            list->setItemData(item, port.present ? port.description : PortMissingTip.arg(port.description),
                              Qt::ToolTipRole);
            if (!port.present)
                list->setItemData(item, list->palette().brush(QPalette::Disabled, QPalette::Text), Qt::ForegroundRole);
        }
    }

    if (m_session.ports().isEmpty()) {
        for (QComboBox *list : {ComboComOutput, ComboComInput}) {
            list->addItem(NoPort);
            list->setCurrentIndex(-1);
            list->setToolTip(QString());
        }
        for (QLabel *label : {LabelComOutputP, LabelComInputP})
            label->setToolTip(QString());
        // The labels say what the start will say: there is no port.
        LabelComOutputP->setText(OutPortPrefix + NoPort);
        LabelComInputP->setText(InPortPrefix + NoPort);
    }
}

// Selects the ports where the lists hold them; a list without them keeps its selection.
void FormMain::Sub_SelectPorts(qint16 intOutPort, qint16 intInPort)
{
    const QList<Session::PortEntry> &ports = m_session.ports();
    for (int k = 0; k < ports.size(); ++k) {
        if (ports.at(k).number == intOutPort)
            ComboComOutput->setCurrentIndex(k);
        if (ports.at(k).number == intInPort)
            ComboComInput->setCurrentIndex(k);
    }
    Sub_ComOutputPort();
    Sub_ComInputPort();
}

// Devices came or went: the lists follow them, but only the user moves a selection. A
// chosen port whose device went stays chosen, shown as missing, and a start on it is
// refused until the device is back. Lists that hold no choice yet are filled as at load.
void FormMain::Sub_RefreshPorts()
{
    const qint16 intOutPort = Fun_SelectedPort(ComboComOutput, 0);
    const qint16 intInPort = Fun_SelectedPort(ComboComInput, 0);
    if (intOutPort == 0 || intInPort == 0) {
        ButtonScanPort_Click();
        return;
    }
    Sub_FillPortLists({intOutPort, intInPort});
    Sub_SelectPorts(intOutPort, intInPort);
}

void FormMain::ButtonScanPort_Click()
{
    Sub_ScanComPort(Fun_SelectedPort(ComboComOutput, udtSysData.OutPort),
                    Fun_SelectedPort(ComboComInput, udtSysData.InPort));
}

void FormMain::Sub_ComOutputPort()
{
    Sub_TakePort(ComboComOutput, LabelComOutputP, OutPortPrefix);
}

void FormMain::Sub_ComInputPort()
{
    Sub_TakePort(ComboComInput, LabelComInputP, InPortPrefix);
}

void FormMain::Sub_TakePort(QComboBox *list, QLabel *label, const QString &strPrefix)
{
    const int index = list->currentIndex();
    if (index < 0)
        return;
    label->setText(strPrefix + list->currentText());
    const QString description = list->itemData(index, Qt::ToolTipRole).toString();
    list->setToolTip(description);
    label->setToolTip(description);
    Sub_ChoicesChanged();
}

// The session tells of devices only while no run holds the lists.
void FormMain::Sub_PortsChanged()
{
    if (m_blnUnloaded)
        return;
    Sub_RefreshPorts();
    if (m_formPortMap)
        m_formPortMap->refresh();
}

bool FormMain::Fun_ComPortTest(qint16 intComPort)
{
    const Session::Refusal refusal = m_session.checkPort(intComPort);
    if (refusal.refused())
        Sub_ReportRefusal(refusal);
    return !refusal.refused();
}

// ---- The run ----

void FormMain::connectSession()
{
    connect(&m_session, &Session::sent, this, &FormMain::Sub_ComOutputDataShow);
    connect(&m_session, &Session::received, this, &FormMain::Sub_ComInputDataShow);
    connect(&m_session, &Session::runningChanged, this, &FormMain::Sub_RunningChanged);
    connect(&m_session, &Session::connectingChanged, this, &FormMain::Sub_ConnectingChanged);
    connect(&m_session, &Session::failed, this, &FormMain::Sub_ReportFailure);
    connect(&m_session, &Session::sendsSkipped, this,
            [this](qint16 intPort) {
                Sub_ShowMessageLater(SendsSkipped.arg(intPort), ModuleFun::AlignCentre);
            });
    connect(&m_session, &Session::captureFailed, this,
            [this] { Sub_ShowMessageLater(Fun_CaptureReport(), ModuleFun::AlignLeft); });
    connect(&m_session, &Session::notice, this,
            [this](const QString &text) { Sub_ShowMessageLater(text, ModuleFun::AlignCentre); });
    connect(&m_session, &Session::deviceLost, this, &FormMain::Sub_DeviceLost);
    connect(&m_session, &Session::restartRefused, this, &FormMain::Sub_ReportRefusal);
    connect(&m_session, &Session::portsChanged, this, &FormMain::Sub_PortsChanged);
    connectSequence();
}

// The sequence runner sends rows through the session and looks at what it receives.
void FormMain::connectSequence()
{
    m_sequence.setSender([this](int intCommand) {
        return m_session.running() && !m_session.sendCommand(m_protocol.commands.at(intCommand)).refused();
    });
    connect(&m_session, &Session::runningChanged, &m_sequence, [this](bool blnRunning) {
        if (!blnRunning)
            m_sequence.stop();
    });
    connect(&m_sequence, &SequenceRunner::stepDone, this, [this](int intStep, bool blnPassed) {
        if (m_formCommands)
            m_formCommands->showStep(intStep, blnPassed);
    });
    connect(&m_sequence, &SequenceRunner::finished, this, [this](int intPassed, int intFailed, bool blnCompleted) {
        // The engine works out received bytes only while a sequence looks at them.
        disconnect(&m_session, &Session::arrived, &m_sequence, &SequenceRunner::received);
        const UiText &outcome = blnCompleted ? SequenceOutcome : SequenceStopped;
        m_session.addCaptureRecord(CaptureLog::RecordReceived,
                                   outcome.source().arg(intPassed).arg(intFailed));
        if (m_formCommands)
            m_formCommands->showOutcome(outcome.arg(intPassed).arg(intFailed));
        Sub_EndSequenceRun();
    });
}

void FormMain::ButtonCom_Click()
{
    // A click while the start waits for a server calls the start off, quietly.
    if (m_session.starting()) {
        Sub_ClosePorts();
        return;
    }
    m_session.endReconnectWait();   // the user's own start or stop ends the wait for a lost device
    Sub_ClosePorts();
    const QString caption = ButtonCom->property(CaptionProperty).toString();
    if (caption == ComStart && Fun_LinkTesting())
        ModuleFun::ShowMessage(LinkTestRuns, ModuleFun::AlignCentre);
    else if (caption == ComStart)
        Sub_ComStart();
    else if (caption == ComStop)
        Sub_ComStop();
}

bool FormMain::Fun_Communicating() const
{
    return m_session.running();
}

void FormMain::Sub_SetComCaption(const QString &caption)
{
    ButtonCom->setProperty(CaptionProperty, caption);
}

void FormMain::Sub_ComStart()
{
    if (m_blnUnloaded || m_session.starting())
        return;
    const Session::Refusal refusal = m_session.start(Fun_Choices());
    // The window may have closed while the start waited for a server.
    if (refusal.refused() && !m_blnUnloaded)
        Sub_ReportRefusal(refusal);
}

// Every refusal in the words of the window, with the focus on the choice to correct.
void FormMain::Sub_ReportRefusal(const Session::Refusal &refusal)
{
    switch (refusal.what) {
    case Session::Refusal::Nothing:
    case Session::Refusal::Cancelled:
        return;
    case Session::Refusal::NoPort:
        ModuleFun::ShowMessage(NoPortToStart, ModuleFun::AlignCentre);
        break;
    case Session::Refusal::PortBusy:
        ModuleFun::ShowMessage(PortBusy.arg(refusal.port), ModuleFun::AlignCentre);
        break;
    case Session::Refusal::PortMissing:
        ModuleFun::ShowMessage(PortMissing.arg(refusal.port), ModuleFun::AlignCentre);
        break;
    case Session::Refusal::SamePortSettings:
        ModuleFun::ShowMessage(SamePortSettings, ModuleFun::AlignCentre);
        break;
    case Session::Refusal::BadCommand:
        ModuleFun::ShowMessage(CommandCodec::refusal(refusal.fault), ModuleFun::AlignCentre);
        break;
    case Session::Refusal::Unencodable:
        ModuleFun::ShowError(refusal.number, refusal.description, HintSendFormat);
        break;
    case Session::Refusal::OpenFailed:
        ModuleFun::ShowError(refusal.number, refusal.description, HintComm);
        break;
    }
    QWidget *const focus[] = {nullptr, ComboComOutput, ComboComInput, ComboComOutSetB,
                              TextComOutCommand, TextComInCommand};
    if (focus[refusal.focus])
        focus[refusal.focus]->setFocus();
}

// The window paints while a start waits for a server, and says so; the start's choices
// hold until it ends.
void FormMain::Sub_ConnectingChanged(bool blnConnecting)
{
    if (blnConnecting) {
        Sub_SetComCaption(ComConnecting);
        setCursor(Qt::BusyCursor);
        Sub_OptionState(false);
        return;
    }
    unsetCursor();
    if (ButtonCom->property(CaptionProperty).toString() != ComConnecting)
        return;
    Sub_SetComCaption(ComStart);
    Sub_OptionState(true);
}

// A stop, a loss or the end of a single send; a single send leaves its ports open, and
// the focus where it was.
void FormMain::Sub_RunningChanged(bool blnRunning)
{
    Sub_SetComCaption(blnRunning ? ComStop : ComStart);
    Sub_OptionState(!blnRunning);
    if (blnRunning && m_session.choices().repeat)
        ButtonCom->setFocus();
    else if (blnRunning || !m_session.portsOpen())
        TextComOutCommand->setFocus();
}

void FormMain::Sub_ComStop()
{
    m_session.stop();
}

void FormMain::Sub_ReportFailure(int number, const QString &description,
                                 TransferEngine::Hint hint)
{
    const QString &hintText = hint == TransferEngine::Hint::ReceiveFormat ? HintReceiveFormat
                                                                          : HintComm;
    Sub_ShowMessageLater(ModuleFun::ErrorReport(number, description, hintText),
                         ModuleFun::AlignLeft);
}

void FormMain::Sub_DeviceLost(qint16 intPort, bool blnWillReconnect, const QString &strReason)
{
    QString strText = (blnWillReconnect ? PortLostAwaitingReconnect : PortLost).arg(intPort);
    if (!strReason.isEmpty())
        strText += QStringLiteral("\r\n\r\n") + strReason;
    Sub_ShowMessageLater(strText, ModuleFun::AlignCentre);
}

void FormMain::Sub_ClosePorts()
{
    m_session.closePorts();
}

// ---- Display and capture ----

// The engine has written the send (or failed to); the pane shows it either way.
void FormMain::Sub_ComOutputDataShow(const QString &strCommand)
{
    TextComOutput->appendLine(strCommand);
}

void FormMain::Sub_ComInputDataShow(const QString &strData, bool blnNewLine)
{
    TextComInput->appendContinued(strData, blnNewLine);
}

void FormMain::Sub_SaveComInfo(qint16 intComInfoState, const QString &strComInfo)
{
    m_session.addCaptureRecord(CaptureLog::RecordKind(intComInfoState), strComInfo);
}

void FormMain::Sub_SaveComInfoToFile()
{
    m_session.writeCapture();
}

void FormMain::Sub_ShowMessageLater(const QString &text, qint16 alignment)
{
    // Not inside a start that waits for a server: the wait would stand still under it.
    // Once the window has closed, its close sequence has said what still mattered.
    QTimer::singleShot(m_session.starting() ? StartMessageRetryMilliseconds : 0, this, [this, text, alignment] {
        if (m_blnUnloaded)
            return;
        if (m_session.starting())
            Sub_ShowMessageLater(text, alignment);
        else
            ModuleFun::ShowMessage(text, alignment);
    });
}

QString FormMain::Fun_CaptureReport() const
{
    const CaptureLog &log = m_session.capture();
    return ModuleFun::ErrorReport(log.errorNumber(), log.errorDescription(), log.failureHint());
}

void FormMain::ButtonClear_Click()
{
    TextComInput->clear();
    TextComOutput->clear();
    m_session.resetTicks();
}

void FormMain::CheckSaveInfo_Click()
{
    const qint16 value = Fun_ClickedValue(CheckSaveInfo);
    if (value != CheckGrey)
        m_session.setCapturing(value == CheckChecked);
}

// ---- The line and port map windows ----

// One line window at a time, a tool window of the main window: it stays above it while it works.
void FormMain::ButtonLine_Click()
{
    showSingleWindow(m_formLine, [this] {
        auto *window = new FormLine(m_session, this);
        connect(window, &FormLine::optionsChanged, this, &FormMain::Sub_LineOptionsChanged);
        return window;
    });
}

// One monitor window at a time, a tool window of the main window.
void FormMain::ButtonMonitor_Click()
{
    showSingleWindow(m_formMonitor, [this] { return new FormMonitor(m_session, this); });
}

QString FormMain::Fun_LineOptionsPath()
{
    return LineOptions::filePath(FileLocations::of(ModuleFun::ProgramFolder()).settingsFolder());
}

void FormMain::Sub_LineOptionsChanged(const LineOptions &options)
{
    if (!m_session.setLineOptions(options))
        ModuleFun::ShowMessage(LineOptionsNotSaved.arg(Fun_LineOptionsPath()), ModuleFun::AlignCentre);
}

// One link test window at a time, a tool window of the main window.
void FormMain::ButtonLinkTest_Click()
{
    showSingleWindow(m_formLinkTest, [this] { return new FormLinkTest(m_session, this); });
}

bool FormMain::Fun_LinkTesting() const
{
    return m_formLinkTest && m_formLinkTest->testing();
}

// One port map window at a time, a tool window of the main window: it stays above it.
void FormMain::ButtonPortMap_Click()
{
    showSingleWindow(m_formPortMap, [this] {
        auto *window = new FormPortMap(m_session.portMapOptions(), this);
        connect(window, &FormPortMap::mappingChanged, this, &FormMain::Sub_PortMapChanged);
        connect(window, &FormPortMap::optionsChanged, this, &FormMain::Sub_PortMapOptionsChanged);
        return window;
    });
}

// A changed map reaches the lists at once while stopped; a running transfer keeps its
// ports, and the watcher brings the lists up to date once it stops.
void FormMain::Sub_PortMapChanged()
{
    if (!Fun_Communicating())
        ButtonScanPort_Click();
}

void FormMain::Sub_PortMapOptionsChanged(const PortMapOptions &options)
{
    if (!m_session.setPortMapOptions(options))
        ModuleFun::ShowMessage(PortMapOptionsNotSaved.arg(Fun_LineOptionsPath()), ModuleFun::AlignCentre);
}

// ---- The command list ----

// One command list window at a time, a tool window of the main window.
void FormMain::ButtonCommands_Click()
{
    showSingleWindow(m_formCommands, [this] {
        auto *window = new FormCommands(m_protocol, this);
        connect(window, &FormCommands::changed, this, &FormMain::Sub_CommandsChanged);
        connect(window, &FormCommands::sendRequested, this, &FormMain::Sub_SendListed);
        connect(window, &FormCommands::runRequested, this, &FormMain::Sub_RunSequence);
        return window;
    });
}

// A file that does not parse is named with its line and left as it is: the list starts
// empty and is not saved over it.
void FormMain::Sub_LoadCommands()
{
    const QString folder = FileLocations::of(ModuleFun::ProgramFolder()).settingsFolder();
    m_protocolStore = ProtocolStore(folder + QLatin1Char('/') + QLatin1String(ProtocolFile::FileName));
    ProtocolFile::Parsed problem;
    const ProtocolStore::Result result = m_protocolStore.load(&m_protocol, &problem);
    if (result == ProtocolStore::Result::Unreadable || result == ProtocolStore::Result::Failed)
        Sub_ShowMessageLater(CommandsUnreadable.arg(m_protocolStore.path()).arg(problem.line).arg(problem.reason),
                             ModuleFun::AlignCentre);
    m_session.setReceiveChecksum(m_protocol.receiveChecksum);
    Sub_ChoicesChanged();
}

void FormMain::Sub_CommandsChanged(const ProtocolSet &set)
{
    m_protocol = set;
    m_session.setReceiveChecksum(m_protocol.receiveChecksum);
    Sub_ChoicesChanged();
    if (m_protocolStore.save(set) != ProtocolStore::Result::Done && !m_protocolSaveReported) {
        m_protocolSaveReported = true;
        ModuleFun::ShowMessage(CommandsNotSaved.arg(m_protocolStore.path()), ModuleFun::AlignCentre);
    }
}

// A row goes out through the session as the command box's text would, the box kept.
void FormMain::Sub_SendListed(int intCommand)
{
    if (intCommand < 0 || intCommand >= m_protocol.commands.size() || m_session.starting())
        return;
    if (!Fun_Communicating())
        Sub_ClosePorts();
    const Session::Refusal refusal = m_session.sendCommand(m_protocol.commands.at(intCommand));
    if (refusal.refused() && !m_blnUnloaded)
        Sub_ReportRefusal(refusal);
}

void FormMain::Sub_SendHotkey(int intKey)
{
    for (int i = 0; i < m_protocol.commands.size(); ++i) {
        if (m_protocol.commands.at(i).hotkey == intKey) {
            Sub_SendListed(i);
            return;
        }
    }
}

// A sequence runs on a running communication: its sends go out between the periodic ones,
// and what arrives is looked at for the replies it waits for. Started while stopped, it
// opens the ports as a send-and-receive start would, sends only its own rows, and closes
// them when it ends.
void FormMain::Sub_RunSequence()
{
    if (!Fun_Communicating()) {
        Session::Choices choices = Fun_Choices();
        choices.mode = TransferEngine::ModeSendReceive;
        choices.rowsOnly = true;
        choices.repeat = false;
        const Session::Refusal refusal = m_session.start(choices);
        if (refusal.refused()) {
            if (!m_blnUnloaded)
                Sub_ReportRefusal(refusal);
            return;
        }
        m_blnSequenceOwnsRun = true;
    }
    if (m_sequence.start(m_protocol))
        connect(&m_session, &Session::arrived, &m_sequence, &SequenceRunner::received, Qt::UniqueConnection);
    else
        Sub_EndSequenceRun();
}

// The ports a sequence opened for itself close with its end.
void FormMain::Sub_EndSequenceRun()
{
    if (!std::exchange(m_blnSequenceOwnsRun, false))
        return;
    m_session.stop();
}
