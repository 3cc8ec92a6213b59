// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "capturelog.h"
#include "lineoptions.h"
#include "portmapoptions.h"
#include "protocolfile.h"
#include "sequencerunner.h"
#include "session.h"
#include "sysdata.h"
#include "transferengine.h"

#include <skinnedwindow.h>

#include <QPointer>

#include <array>

class DataPane;
class FormCommands;
class FormLine;
class FormLinkTest;
class FormMonitor;
class FormPortMap;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace Component {
class Control;
class RuntimeError;
}

// The main window: the serial workbench with its settings, the two display panes and the
// messages to the user. The session behind it owns the run: the ports, the transfer and
// the capture; the window hands it the user's choices and shows what it reports.
class FormMain : public SkinnedWindow
{
    Q_OBJECT

public:
    // The largest of the program's windows.
    static constexpr QSize DesignSize {780, 560};

    explicit FormMain(QWidget *parent = nullptr);
    ~FormMain() override;

    // Port discovery and checking.
    void Sub_ScanComPort(qint16 intNowOutPort, qint16 intNowInPort);
    bool Fun_ComPortTest(qint16 intComPort);
    void Sub_ComOutputPort();
    void Sub_ComInputPort();

    // A side's line settings or handshake changed; the session opens with them.
    void Sub_ComOutSet();
    void Sub_ComInSet();
    // The lock of the settings while communicating.
    void Sub_OptionState(bool blnOS);

    // Display and capture of what the engine sent and received.
    void Sub_ComOutputDataShow(const QString &strCommand);
    void Sub_ComInputDataShow(const QString &strData, bool blnNewLine);
    void Sub_SaveComInfo(qint16 intComInfoState, const QString &strComInfo);
    void Sub_SaveComInfoToFile();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Construction, layout, load and close, and the settings record (formmain.cpp).
    void buildTitleStrip();
    void buildSettingsFrame();
    void buildPortColumn(QGroupBox *frame, int x, const QString &side, QComboBox *&portList,
                         QComboBox *&baud, QComboBox *&parity, QComboBox *&dataBits,
                         QComboBox *&stopBits, QComboBox *&hand);
    void buildOptionColumn(QGroupBox *frame, int x);
    void buildCommunicationFrame();
    void buildToolRow();
    void connectSettings();
    QLabel *addLabel(QWidget *parent, const QString &name, const QString &text, const QRect &rect,
                     const QString &toolTip = QString());
    QComboBox *addList(QWidget *parent, const QString &name, const QStringList &items,
                       const QRect &rect, const QString &toolTip = QString());

    // One of the 17 settings controls: where the record stores it, and the click
    // handler its selection runs. Ports store a port number, lists an index, check
    // boxes their value.
    struct Setting
    {
        enum Kind { Port, ListIndex, CheckBox };
        Kind kind;
        qint16 SysData::*stored;
        QComboBox *FormMain::*list;
        QCheckBox *FormMain::*box;
        void (FormMain::*click)();
    };
    static constexpr int SettingCount = 17;
    // In the order the controls are loaded and locked.
    static const std::array<Setting, SettingCount> &Fun_Settings();
    QWidget *Fun_SettingControl(const Setting &setting) const;

    static QString Fun_SysDataPath();
    void Form_Load();
    void Form_Unload();
    void Sub_SelectStored(QComboBox *list, qint16 intIndex);
    qint16 Fun_SelectedPort(const QComboBox *list, qint16 intFallback) const;
    void Sub_FillSysData();

    // Transfer modes, the list indexes of ComboComIOState.
    enum IOState : qint16 { IOSend = 0, IOSendReceive = 1, IOReceive = 2, IOAnswer = 3 };

    // Check boxes hold 0 unchecked, 1 checked, 2 grey.
    enum CheckValue : qint16 { CheckUnchecked = 0, CheckChecked = 1, CheckGrey = 2 };
    static qint16 Fun_CheckValue(const QCheckBox *box);
    static void Sub_SetCheckValue(QCheckBox *box, qint16 intValue);
    static qint16 Fun_ClickedValue(QCheckBox *box);

    // Settings handlers: each hands the choices over to the session.
    void ComboComFormat_Click();
    void ComboComIOState_Click();
    void CheckComAuto_Click();
    Session::Choices Fun_Choices() const;
    void Sub_ChoicesChanged();

    // Ports (formmain_run.cpp).
    void ButtonScanPort_Click();
    void Sub_FillPortLists(const QList<qint16> &keptPorts);
    void Sub_SelectPorts(qint16 intOutPort, qint16 intInPort);
    void Sub_RefreshPorts();
    void Sub_TakePort(QComboBox *list, QLabel *label, const QString &strPrefix);
    void Sub_PortsChanged();

    // Commands.
    void TextCommand_Change(QLineEdit *box);

    // The run.
    void connectSession();
    void ButtonCom_Click();
    void Sub_ComStart();
    void Sub_ConnectingChanged(bool blnConnecting);
    void Sub_RunningChanged(bool blnRunning);
    void Sub_ComStop();
    void Sub_ReportRefusal(const Session::Refusal &refusal);
    void Sub_DeviceLost(qint16 intPort, bool blnWillReconnect, const QString &strReason);
    void Sub_ReportFailure(int number, const QString &description, TransferEngine::Hint hint);
    void Sub_ClosePorts();
    bool Fun_Communicating() const;
    void Sub_SetComCaption(const QString &caption);

    // Display and capture.
    void ButtonClear_Click();
    void CheckSaveInfo_Click();
    QString Fun_CaptureReport() const;
    // Reports that must not hold up a send or a receive: shown from the event loop.
    void Sub_ShowMessageLater(const QString &text, qint16 alignment);

    // Tool buttons (formmain_tools.cpp).
    void ButtonViewInfo_Click();
    void ButtonCALC_Click();
    void ButtonAscii_Click();
    void ButtonReadme_Click();
    void ButtonExit_Click();
    void HelpButton_Click();

    // The line and port map windows and their options.
    void ButtonLine_Click();
    void ButtonMonitor_Click();
    static QString Fun_LineOptionsPath();
    void Sub_LineOptionsChanged(const LineOptions &options);
    void ButtonPortMap_Click();
    void Sub_PortMapChanged();
    void Sub_PortMapOptionsChanged(const PortMapOptions &options);
    // The link test window; it and communication never hold the ports at once.
    void ButtonLinkTest_Click();
    bool Fun_LinkTesting() const;

    // The command list: its window, its file beside the options, its hotkeys F1 to F12.
    void ButtonCommands_Click();
    void Sub_LoadCommands();
    void Sub_CommandsChanged(const ProtocolSet &set);
    void Sub_SendListed(int intCommand);
    void Sub_SendHotkey(int intKey);
    void Sub_RunSequence();
    void Sub_EndSequenceRun();
    void connectSequence();

    // Controls, named as the window shows them.
    QComboBox *ComboComOutput = nullptr;
    QComboBox *ComboComInput = nullptr;
    QComboBox *ComboComOutSetB = nullptr;
    QComboBox *ComboComOutSetP = nullptr;
    QComboBox *ComboComOutSetD = nullptr;
    QComboBox *ComboComOutSetS = nullptr;
    QComboBox *ComboComOutHand = nullptr;
    QComboBox *ComboComInSetB = nullptr;
    QComboBox *ComboComInSetP = nullptr;
    QComboBox *ComboComInSetD = nullptr;
    QComboBox *ComboComInSetS = nullptr;
    QComboBox *ComboComInHand = nullptr;
    QComboBox *ComboComIOState = nullptr;
    QComboBox *ComboComFormat = nullptr;
    QComboBox *ComboComTime = nullptr;
    QCheckBox *CheckComAuto = nullptr;
    QCheckBox *CheckSaveInfo = nullptr;
    QLabel *LabelFileName = nullptr;
    QLabel *LabelComOutputP = nullptr;
    QLabel *LabelComInputP = nullptr;
    QLabel *LabelComInCommand = nullptr;
    QLineEdit *TextComOutCommand = nullptr;
    QLineEdit *TextComInCommand = nullptr;
    DataPane *TextComOutput = nullptr;
    DataPane *TextComInput = nullptr;
    Component::Control *ButtonCom = nullptr;

    // Owns the run: MSCommOutPut, MSCommInPut and Timer1 among its children.
    Session m_session;

    QString strFileName;
    SysData udtSysData;

    QPointer<FormLine> m_formLine;
    QPointer<FormMonitor> m_formMonitor;
    QPointer<FormPortMap> m_formPortMap;
    QPointer<FormLinkTest> m_formLinkTest;
    QPointer<FormCommands> m_formCommands;
    ProtocolSet m_protocol;
    ProtocolStore m_protocolStore;
    bool m_protocolSaveReported = false;
    SequenceRunner m_sequence;

    bool m_blnUnloaded = false;
    bool m_blnSequenceOwnsRun = false;   // the ports are open for a sequence alone
};
