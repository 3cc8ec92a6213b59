// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include "capturelog.h"
#include "lineoptions.h"
#include "portmap.h"
#include "portmapoptions.h"
#include "portwatcher.h"
#include "sysdata.h"
#include "transferengine.h"

#include <skinnedwindow.h>

#include <QPointer>
#include <QTimer>
#include <QVariant>

#include <array>

class DataPane;
class FormLine;
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
// messages to the user; the transfer engine behind it drives the ports and the capture.
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

    // Line settings and the lock while communicating.
    void Sub_ComOutSet();
    void Sub_ComInSet();
    void Sub_OptionState(bool blnOS);

    // Commands and their encoding; false when the command cannot be sent.
    bool Fun_CommandTest(const QString &strCommand);
    bool Sub_OutCommandChange(const QString &strComOutCommand);

    // Opening the ports; false (reported) when the port cannot be opened as set.
    bool Sub_MscommOutPut();
    bool Sub_MscommInPut();

    // Display and capture of what the engine sent and received.
    void Sub_ComOutputDataShow();
    void Sub_ComInputDataShow();
    void Sub_SaveComInfo(qint16 intComInfoState, const QString &strComInfo);
    void Sub_SaveComInfoToFile();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Construction and layout (formmain.cpp).
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

    // Load and close (formmain.cpp).
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

    // Settings handlers (formmain_settings.cpp).
    void ComboComOutHand_Click();
    void ComboComInHand_Click();
    void ComboComFormat_Click();
    void ComboComTime_Click();
    void ComboComIOState_Click();
    void CheckComAuto_Click();

    // Ports (formmain_ports.cpp).
    void ButtonScanPort_Click();
    void Sub_FillPortLists(const QList<qint16> &keptPorts);
    void Sub_SelectPorts(qint16 intOutPort, qint16 intInPort);
    void Sub_RefreshPorts();
    void Sub_TakePort(QComboBox *list, qint16 &intPort, QLabel *label,
                      const QString &strPrefix);
    void Sub_PortsChanged();

    // Commands (formmain_commands.cpp).
    void TextCommand_Change(QLineEdit *box);

    // Transfer engine (formmain_transfer.cpp).
    void ButtonCom_Click();
    void Sub_ComStart();
    void Sub_ShowConnecting();
    void Sub_EndConnecting();
    void Sub_ComStop();
    bool Fun_ComStartPorts();
    bool Fun_ComStartSharedPorts();
    bool Fun_CheckPort(qint16 intPort, QWidget *focusOnRefusal);
    void connectEngine();
    void Sub_SingleSendDone();
    void Sub_Received(const QString &text, bool newLine);
    void Sub_DeviceLost(qint16 intPort);
    void Sub_ReportCommError(const Component::RuntimeError &error, qint16 intPort);
    void Sub_ReportFailure(int number, const QString &description, TransferEngine::Hint hint);
    void Sub_ClosePorts();
    bool Fun_Communicating() const;
    void Sub_SetComCaption(const QString &caption);

    // Display and capture (formmain_display.cpp).
    CaptureHeader Fun_CaptureHeader() const;
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

    // The line window and its options (formmain_line.cpp).
    void ButtonLine_Click();
    static QString Fun_LineOptionsPath();
    void Sub_LineOptionsChanged(const LineOptions &options);
    void Sub_ApplyLineOptions();

    // The port map window, and starting again after a lost device (formmain_portmap.cpp).
    void Sub_WatchPorts();
    void ButtonPortMap_Click();
    void Sub_PortMapChanged();
    void Sub_PortMapOptionsChanged(const PortMapOptions &options);
    bool Fun_AwaitReconnect(qint16 intLostPort);
    void Sub_AwaitRunPorts();
    void Sub_EndReconnectWait();
    bool Fun_RunPortsPresent() const;
    void Sub_Reconnect();

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

    // Owns MSCommOutPut, MSCommInPut and Timer1.
    TransferEngine m_engine;

    // Window-level state shared by the workbench's routines.
    qint16 intIOState = 0;
    std::array<qint16, PortMap::LastPort + 1> intComPortList {}; // entries by port number; entry 0 unused
    qint16 intComPortCount = 0;
    qint16 intComOutPort = 0;
    QString strComOutSet;
    qint16 intComOutHand = 0;
    qint16 intComInPort = 0;
    QString strComInSet;
    qint16 intComInHand = 0;
    qint16 intComFormat = 0;
    bool blnComAuto = false;
    qint16 intComTime = 0;
    QString strOutCommand;
    QVariant varOutData;
    QString strInData;
    QString strInCommand;
    bool blnNewLine = false;
    QString strFileName;
    SysData udtSysData;

    LineOptions m_lineOptions;
    QPointer<FormLine> m_formLine;

    PortWatcher m_portWatcher;
    PortMapOptions m_portMapOptions;
    QPointer<FormPortMap> m_formPortMap;
    // The run a lost device stopped, started again on its own ports once its devices
    // are back.
    struct Reconnect
    {
        bool awaiting = false;
        bool seenBack = false;   // every device of the run was there at the last look
        bool told = false;       // the user knows the run waits; a new loss says nothing more
        qint16 outPort = 0;
        qint16 inPort = 0;
    };
    Reconnect m_reconnect;
    QTimer m_reconnectTimer;

    bool m_blnUnloaded = false;
    // A start runs; a network line may wait for its server inside the event loop.
    bool m_blnStarting = false;
};
