// Velmora workbench. Licensed under the MIT licence.
#include "formmain.h"

#include "datapane.h"
#include "formmain_texts.h"
#include "formcommands.h"
#include "formline.h"
#include "formlinktest.h"
#include "formmonitor.h"
#include "formportmap.h"
#include "portmap.h"
#include "settinglists.h"
#include "titlestripbutton.h"

#include <filelocations.h>
#include <makerinfo.h>
#include <modulefun.h>
#include <skinparts.h>

#include <controlsite.h>
#include <runtimeerror.h>
#include <twips.h>
#include <xpbuttonevents.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

#include <limits>

using namespace FormMainTexts;

namespace {

constexpr int RowHeight = 22;
constexpr int RowStep = 28;
constexpr int FirstRow = 20;
constexpr int LabelNudge = 3; // puts a label's text on the baseline of the list beside it
constexpr int WideLabel = 88;
constexpr int WideList = 150;
constexpr int ShortLabel = 52;
constexpr int OptionList = 170;

int rowY(int row) { return FirstRow + row * RowStep; }
QRect labelRect(int x, int row, int width) { return QRect(x, rowY(row) + LabelNudge, width, 16); }
QRect listRect(int x, int row, int width) { return QRect(x, rowY(row), width, RowHeight); }

using SettingLists::BaudItems;
using SettingLists::DataBitsItems;
using SettingLists::HandItems;
using SettingLists::ParityItems;
using SettingLists::StopBitsItems;
using SettingLists::TimeItems;
const UiText FormatItems[] = {{"FormMain", QT_TRANSLATE_NOOP("FormMain", "Ascii 编码 格式")},
                              {"FormMain", QT_TRANSLATE_NOOP("FormMain", "16进制编码 格式")}};

const QString SysDataFile = QStringLiteral("sysdata.dat");

} // namespace

FormMain::FormMain(QWidget *parent)
    : SkinnedWindow(QStringLiteral("FormMain"), QString::fromUtf8(MakerInfo::Product), DesignSize, parent),
      m_session(this) // a child, so that the engine's ports and timer are found by name
{
    setShownInTaskBar(true);

    buildTitleStrip();
    buildSettingsFrame();
    buildCommunicationFrame();
    buildToolRow();
    connectSettings();
    connectSession();

    Form_Load();
}

// The line window works on the session's ports: it goes first.
FormMain::~FormMain()
{
    delete m_formLine;
    delete m_formLinkTest;
    delete m_formPortMap;
    delete m_formCommands;
}

QLabel *FormMain::addLabel(QWidget *parent, const QString &name, const QString &text,
                           const QRect &rect, const QString &toolTip)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(rect);
    label->setToolTip(toolTip);
    return label;
}

QComboBox *FormMain::addList(QWidget *parent, const QString &name, const QStringList &items,
                             const QRect &rect, const QString &toolTip)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(false);
    list->addItems(items);
    list->setCurrentIndex(-1);
    list->setGeometry(rect);
    list->setToolTip(toolTip);
    return list;
}

void FormMain::buildTitleStrip()
{
    addTitleStrip(QString::fromUtf8(MakerInfo::Product));
    Component::ControlSite *close = addCloseButton();
    close->on(XPButton::TitleClick, [this](Component::EventArgs &) { ButtonExit_Click(); });

    const Component::PropertyBag extent = {
        {QString::fromLatin1(Component::ExtentXKey), Component::twipsFromPixels(SkinPart::TitleButtonSize.width())},
        {QString::fromLatin1(Component::ExtentYKey), Component::twipsFromPixels(SkinPart::TitleButtonSize.height())}};
    Component::PropertyBag minStored = extent;
    minStored.set(storedKey(XPButton::TopButtonTypeKey), int(XPButton::MinimumButton));
    placeControl(QString::fromLatin1(XPButton::TopButtonIdentifier), QString::fromLatin1(SkinPart::MinButton),
                 QRect(SkinPart::titleButtonAt(width(), SkinPart::MinButtonPlace), SkinPart::TitleButtonSize),
                 minStored, tr("最小化"))
        ->on(XPButton::TitleClick, [this](Component::EventArgs &) { showMinimized(); });
    placeControl(QString::fromLatin1(XPButton::HelpButtonIdentifier), QString::fromLatin1(SkinPart::HelpButton),
                 QRect(SkinPart::titleButtonAt(width(), SkinPart::HelpButtonPlace), SkinPart::TitleButtonSize),
                 extent, tr("关于"))
        ->on(XPButton::TitleClick, [this](Component::EventArgs &) { HelpButton_Click(); });
    auto *line = new TitleStripButton(QStringLiteral("LINE"), this);
    line->setObjectName(QStringLiteral("ButtonLine"));
    // The line window's own button stands left of the help button.
    line->move(SkinPart::titleButtonAt(width(), SkinPart::HelpButtonPlace + 1));
    line->setToolTip(tr("线路控制"));
    connect(line, &TitleStripButton::clicked, this, &FormMain::ButtonLine_Click);
    auto *portMap = new TitleStripButton(QStringLiteral("PORTMAP"), this);
    portMap->setObjectName(QStringLiteral("ButtonPortMap"));
    portMap->move(SkinPart::titleButtonAt(width(), SkinPart::HelpButtonPlace + 2));
    portMap->setToolTip(tr("端口映射"));
    connect(portMap, &TitleStripButton::clicked, this, &FormMain::ButtonPortMap_Click);
    auto *linkTest = new TitleStripButton(QStringLiteral("LINKTEST"), this);
    linkTest->setObjectName(QStringLiteral("ButtonLinkTest"));
    linkTest->move(SkinPart::titleButtonAt(width(), SkinPart::HelpButtonPlace + 3));
    linkTest->setToolTip(tr("线路测试"));
    connect(linkTest, &TitleStripButton::clicked, this, &FormMain::ButtonLinkTest_Click);
    auto *commands = new TitleStripButton(QStringLiteral("COMMANDS"), this);
    commands->setObjectName(QStringLiteral("ButtonCommands"));
    commands->move(SkinPart::titleButtonAt(width(), SkinPart::HelpButtonPlace + 4));
    commands->setToolTip(tr("命令列表"));
    connect(commands, &TitleStripButton::clicked, this, &FormMain::ButtonCommands_Click);
    for (int key = 1; key <= 12; ++key) {
        auto *hotkey = new QShortcut(QKeySequence(Qt::Key_F1 + key - 1), this);
        connect(hotkey, &QShortcut::activated, this, [this, key] { Sub_SendHotkey(key); });
    }
    auto *monitor = new TitleStripButton(QStringLiteral("MONITOR"), this);
    monitor->setObjectName(QStringLiteral("ButtonMonitor"));
    monitor->move(SkinPart::titleButtonAt(width(), SkinPart::HelpButtonPlace + 5));
    monitor->setToolTip(tr("双向监听"));
    connect(monitor, &TitleStripButton::clicked, this, &FormMain::ButtonMonitor_Click);
}

void FormMain::buildSettingsFrame()
{
    auto *frame = new QGroupBox(tr("通讯参数设置"), this);
    frame->setObjectName(QStringLiteral("FrameComSet"));
    frame->setGeometry(10, 34, 760, 142);

    buildPortColumn(frame, 8, QStringLiteral("Out"), ComboComOutput, ComboComOutSetB,
                    ComboComOutSetP, ComboComOutSetD, ComboComOutSetS, ComboComOutHand);
    buildPortColumn(frame, 252, QStringLiteral("In"), ComboComInput, ComboComInSetB,
                    ComboComInSetP, ComboComInSetD, ComboComInSetS, ComboComInHand);
    buildOptionColumn(frame, 496);
}

// One column of a port's list and line settings; side is "Out" or "In" in the names.
void FormMain::buildPortColumn(QGroupBox *frame, int x, const QString &side, QComboBox *&portList,
                               QComboBox *&baud, QComboBox *&parity, QComboBox *&dataBits,
                               QComboBox *&stopBits, QComboBox *&hand)
{
    const bool sending = side == QLatin1String("Out");
    const QString prefix = QStringLiteral("ComboCom") + side;
    const QString labelPrefix = QStringLiteral("LabelCom") + side;
    addLabel(frame, sending ? QStringLiteral("LabelComOut1put") : QStringLiteral("LabelComInput"),
             sending ? OutPortPrefix : InPortPrefix, labelRect(x, 0, WideLabel),
             sending ? tr("数据发送串口号") : tr("数据接收串口号"));
    portList = addList(frame, prefix + QStringLiteral("put"), {},
                       listRect(x + WideLabel, 0, WideList));

    const int second = x + 124;
    addLabel(frame, labelPrefix + "SetB", tr("波特率："), labelRect(x, 1, ShortLabel),
             tr("通讯波特率"));
    baud = addList(frame, prefix + "SetB", BaudItems, listRect(x + ShortLabel, 1, 70));
    addLabel(frame, labelPrefix + "SetP", tr("校验位："),
             labelRect(second, 1, ShortLabel), tr("通讯奇偶校验值"));
    parity = addList(frame, prefix + "SetP", ParityItems, listRect(second + ShortLabel, 1, 66));
    addLabel(frame, labelPrefix + "SetD", tr("数据位："), labelRect(x, 2, ShortLabel),
             tr("通讯数据位值"));
    dataBits = addList(frame, prefix + "SetD", DataBitsItems, listRect(x + ShortLabel, 2, 70));
    addLabel(frame, labelPrefix + "SetS", tr("停止位："),
             labelRect(second, 2, ShortLabel), tr("通讯停止位值"));
    stopBits = addList(frame, prefix + "SetS", StopBitsItems, listRect(second + ShortLabel, 2, 66));
    addLabel(frame, labelPrefix + "Hand", tr("硬件握手协议："),
             labelRect(x, 3, WideLabel));
    hand = addList(frame, prefix + "Hand", HandItems, listRect(x + WideLabel, 3, WideList));
}

void FormMain::buildOptionColumn(QGroupBox *frame, int x)
{
    addLabel(frame, QStringLiteral("LabelComIOState"), tr("数据收发方式："),
             labelRect(x, 0, WideLabel), tr("数据通讯收发方式"));
    ComboComIOState = addList(frame, QStringLiteral("ComboComIOState"), translated(IOStateItems),
                              listRect(x + WideLabel, 0, OptionList));
    addLabel(frame, QStringLiteral("LabelComFormat"), tr("通讯数据格式："),
             labelRect(x, 1, WideLabel), tr("数据显示格式"));
    ComboComFormat = addList(frame, QStringLiteral("ComboComFormat"), translated(FormatItems),
                             listRect(x + WideLabel, 1, OptionList));

    CheckComAuto = new QCheckBox(tr("自动连续收发数据"), frame);
    CheckComAuto->setObjectName(QStringLiteral("CheckComAuto"));
    CheckComAuto->setGeometry(listRect(x, 2, 124));
    addLabel(frame, QStringLiteral("LabelComTime"), tr("周期："),
             labelRect(x + 126, 2, 36), tr("连续发送周期"));
    ComboComTime = addList(frame, QStringLiteral("ComboComTime"), TimeItems,
                           listRect(x + 160, 2, 56));
    addLabel(frame, QStringLiteral("LabelComTimeDW"), tr("毫秒"),
             labelRect(x + 218, 2, 26));

    CheckSaveInfo = new QCheckBox(tr("自动保存通讯数据"), frame);
    CheckSaveInfo->setObjectName(QStringLiteral("CheckSaveInfo"));
    CheckSaveInfo->setGeometry(listRect(x, 3, 124));
    LabelFileName = addLabel(frame, QStringLiteral("LabelFileName"), FileNamePrefix,
                             labelRect(x + 124, 3, 140));
}

void FormMain::buildCommunicationFrame()
{
    auto *frame = new QGroupBox(tr("串口数据通讯"), this);
    frame->setObjectName(QStringLiteral("FrameCom"));
    frame->setGeometry(10, 180, 760, 318);

    const int left = 10;
    const int right = 385;
    const int halfWidth = 365;
    const int commandLabel = 122;
    LabelComOutputP = addLabel(frame, QStringLiteral("LabelComOutputP"),
                               OutPortPrefix + QStringLiteral("Com 1"), labelRect(left, 0, 300));
    LabelComInputP = addLabel(frame, QStringLiteral("LabelComInputP"),
                              InPortPrefix + QStringLiteral("Com 1"), labelRect(right, 0, 300));

    addLabel(frame, QStringLiteral("LabelComOutCommand"), tr("发送的数据通讯命令："),
             labelRect(left, 1, commandLabel));
    TextComOutCommand = new QLineEdit(frame);
    TextComOutCommand->setObjectName(QStringLiteral("TextComOutCommand"));
    TextComOutCommand->setGeometry(listRect(left + commandLabel, 1, halfWidth - commandLabel));
    LabelComInCommand = addLabel(frame, QStringLiteral("LabelComInCommand"),
                                 tr("接收的数据通讯命令："),
                                 labelRect(right, 1, commandLabel));
    TextComInCommand = new QLineEdit(frame);
    TextComInCommand->setObjectName(QStringLiteral("TextComInCommand"));
    TextComInCommand->setGeometry(listRect(right + commandLabel, 1, halfWidth - commandLabel));

    addLabel(frame, QStringLiteral("LabelComOutputData"), tr("数据发送显示区："),
             labelRect(left, 2, 200));
    addLabel(frame, QStringLiteral("LabelComInputData"), tr("数据接收显示区："),
             labelRect(right, 2, 200));
    const int paneTop = rowY(2) + RowHeight;
    const int paneHeight = frame->height() - paneTop - 10;
    TextComOutput = new DataPane(frame);
    TextComOutput->setObjectName(QStringLiteral("TextComOutput"));
    TextComOutput->setGeometry(left, paneTop, halfWidth, paneHeight);
    TextComInput = new DataPane(frame);
    TextComInput->setObjectName(QStringLiteral("TextComInput"));
    TextComInput->setGeometry(right, paneTop, halfWidth, paneHeight);

    // A command has no length limit of its own; QLineEdit would cut a paste at 32767.
    for (QLineEdit *box : {TextComOutCommand, TextComInCommand})
        box->setMaxLength(std::numeric_limits<int>::max());
    connect(TextComOutCommand, &QLineEdit::textChanged, this,
            [this] { TextCommand_Change(TextComOutCommand); });
    connect(TextComInCommand, &QLineEdit::textChanged, this,
            [this] { TextCommand_Change(TextComInCommand); });
    connect(TextComOutCommand, &QLineEdit::returnPressed, this, &FormMain::ButtonCom_Click);
    connect(TextComInCommand, &QLineEdit::returnPressed, this, &FormMain::ButtonCom_Click);
}

void FormMain::buildToolRow()
{
    struct ToolButton
    {
        const char *name;
        QString caption;
        QString toolTip;
        void (FormMain::*click)();
        bool enterClicks;
    };
    const ToolButton buttons[] = {
        {"ButtonCom", ComStart, tr("通讯操作"), &FormMain::ButtonCom_Click, true},
        {"ButtonClear", tr("清空信息"), tr("清除数据信息"),
         &FormMain::ButtonClear_Click, true},
        {"ButtonScanPort", tr("扫描端口"), tr("扫描系统可用端口"),
         &FormMain::ButtonScanPort_Click, true},
        {"ButtonViewInfo", tr("查看数据"), tr("查看自动保存的通讯数据"),
         &FormMain::ButtonViewInfo_Click, false},
        {"ButtonCALC", tr("数据计算"),
         tr("调用系统\"计算器\"进行\"校验和\"等数据计算"), &FormMain::ButtonCALC_Click,
         false},
        {"ButtonAscii", tr("Ascii 表"), tr("查看Ascii对照表"),
         &FormMain::ButtonAscii_Click, true},
        {"ButtonReadme", tr("使用说明"), tr("查看使用说明"),
         &FormMain::ButtonReadme_Click, true},
        {"ButtonExit", tr("退出程序"), tr("退出软件系统"),
         &FormMain::ButtonExit_Click, true},
    };
    const int top = 504;
    const int step = 97;
    const QSize size(80, 25);
    int x = 10;
    for (const ToolButton &button : buttons) {
        const auto click = button.click;
        Component::ControlSite *site =
            placeButton(QString::fromLatin1(button.name), QRect(QPoint(x, top), size),
                        button.caption, button.toolTip, [this, click] { (this->*click)(); },
                        button.enterClicks);
        if (button.click == &FormMain::ButtonCom_Click)
            ButtonCom = site->control();
        x += step;
    }

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("LineSp"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(10, 533, 760, 2);
    auto *notice = new QLabel(NoticeText, this);
    notice->setObjectName(QStringLiteral("LabelNotice"));
    notice->setAlignment(Qt::AlignCenter);
    notice->setGeometry(10, 538, 760, 16);
}

void FormMain::connectSettings()
{
    for (const Setting &setting : Fun_Settings()) {
        if (setting.list)
            connect(this->*setting.list, &QComboBox::activated, this, setting.click);
        else
            connect(this->*setting.box, &QCheckBox::clicked, this, setting.click);
    }
}

QString FormMain::Fun_SysDataPath()
{
    return FileLocations::of(ModuleFun::ProgramFolder()).settingsFolder() + QLatin1Char('/') + SysDataFile;
}

void FormMain::Form_Load()
{
    const FileLocations &locations = FileLocations::of(ModuleFun::ProgramFolder());
    PortMap::setFolder(ModuleFun::ProgramFolder());
    PortMap::setUserFolder(locations.userPortFolder());
    move((screen()->geometry().width() - width()) / 2, y());
    udtSysData = SysData::load(Fun_SysDataPath());
    m_session.loadOptions(Fun_LineOptionsPath());
    Sub_LoadCommands();
    Sub_ScanComPort(udtSysData.OutPort, udtSysData.InPort);
    for (const Setting &setting : Fun_Settings()) {
        const qint16 stored = udtSysData.*setting.stored;
        if (setting.kind == Setting::ListIndex)
            Sub_SelectStored(this->*setting.list, stored);
        else if (setting.kind == Setting::CheckBox)
            Sub_SetCheckValue(this->*setting.box, stored);
        else
            continue; // the scan has selected the stored ports already
        (this->*setting.click)();
    }

    TextComOutCommand->setText(udtSysData.OutCommand);
    TextComOutCommand->setCursorPosition(TextComOutCommand->text().size());
    TextComInCommand->setText(udtSysData.InCommand);
    TextComInCommand->setCursorPosition(TextComInCommand->text().size());

    strFileName = CaptureLog::fileNameFor(QDate::currentDate());
    LabelFileName->setText(FileNamePrefix + strFileName);
    m_session.setCaptureFile(locations.captureFolder(), strFileName);
    Sub_ChoicesChanged();

    m_session.watchPorts();
}

// A stored index outside the list (a damaged or hand-edited file) selects the first item.
void FormMain::Sub_SelectStored(QComboBox *list, qint16 intIndex)
{
    list->setCurrentIndex(intIndex >= 0 && intIndex < list->count() ? intIndex : 0);
}

void FormMain::closeEvent(QCloseEvent *event)
{
    // A start or a setting waits for a network server further down the stack: it is
    // called off, and the window closes once the wait has returned.
    if (m_session.starting() || m_session.waiting()) {
        Sub_ClosePorts();
        event->ignore();
        QTimer::singleShot(10, this, &QWidget::close);
        return;
    }
    if (!m_blnUnloaded) {
        m_blnUnloaded = true;
        // A close can come while a handler of this window waits for the user below a
        // message's event loop, which would delete the window under it. The window goes
        // once the event loop has ended, when no handler of it is left on the stack.
        setAttribute(Qt::WA_DeleteOnClose, false);
        connect(qApp, &QCoreApplication::aboutToQuit, this, &QObject::deleteLater);
        Form_Unload();
        // Every skinned window is a tool window, which Qt never counts as the last one:
        // the main window's close ends the program itself, whoever asked for it. Quitting
        // waits for this close to finish, so the event loop finds no window left.
        QApplication::closeAllWindows();
        QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::quit(); },
                                  Qt::QueuedConnection);
    }
    SkinnedWindow::closeEvent(event);
}

void FormMain::Form_Unload()
{
    // The timers would otherwise tick inside the modal reports below.
    m_session.shutDown();
    if (m_session.capturing() && !m_session.finishCapture())
        ModuleFun::ShowMessage(Fun_CaptureReport(), ModuleFun::AlignLeft);
    Sub_FillSysData();
    if (!udtSysData.save(Fun_SysDataPath()))
        ModuleFun::ShowMessage(SysDataNotSaved.arg(Fun_SysDataPath()), ModuleFun::AlignCentre);
}

// With no port listed the lists hold no port to store, so the port read at load is kept:
// a port absent today is chosen again once it is back.
qint16 FormMain::Fun_SelectedPort(const QComboBox *list, qint16 intFallback) const
{
    const int index = list->currentIndex();
    const QList<Session::PortEntry> &ports = m_session.ports();
    if (index < 0 || index >= ports.size())
        return intFallback;
    return ports.at(index).number;
}

void FormMain::Sub_FillSysData()
{
    for (const Setting &setting : Fun_Settings()) {
        qint16 &stored = udtSysData.*setting.stored;
        switch (setting.kind) {
        case Setting::Port:
            stored = Fun_SelectedPort(this->*setting.list, stored);
            break;
        case Setting::ListIndex:
            stored = qint16((this->*setting.list)->currentIndex());
            break;
        case Setting::CheckBox:
            stored = Fun_CheckValue(this->*setting.box);
            break;
        }
    }
    udtSysData.OutCommand = TextComOutCommand->text();
    udtSysData.InCommand = TextComInCommand->text();
}

qint16 FormMain::Fun_CheckValue(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Checked: return CheckChecked;
    case Qt::PartiallyChecked: return CheckGrey;
    default: return CheckUnchecked;
    }
}

void FormMain::Sub_SetCheckValue(QCheckBox *box, qint16 intValue)
{
    box->setTristate(intValue == CheckGrey);
    box->setCheckState(intValue == CheckChecked ? Qt::Checked
                       : intValue == CheckGrey  ? Qt::PartiallyChecked
                                                : Qt::Unchecked);
}

// Only the program sets the grey state; once left, a click of the user toggles two states.
qint16 FormMain::Fun_ClickedValue(QCheckBox *box)
{
    const qint16 value = Fun_CheckValue(box);
    if (value != CheckGrey)
        box->setTristate(false);
    return value;
}

const std::array<FormMain::Setting, FormMain::SettingCount> &FormMain::Fun_Settings()
{
    using F = FormMain;
    using S = SysData;
    static const std::array<Setting, SettingCount> settings = {{
        {Setting::Port, &S::OutPort, &F::ComboComOutput, nullptr, &F::Sub_ComOutputPort},
        {Setting::Port, &S::InPort, &F::ComboComInput, nullptr, &F::Sub_ComInputPort},
        {Setting::ListIndex, &S::IOState, &F::ComboComIOState, nullptr, &F::ComboComIOState_Click},
        {Setting::ListIndex, &S::OutSetB, &F::ComboComOutSetB, nullptr, &F::Sub_ComOutSet},
        {Setting::ListIndex, &S::OutSetP, &F::ComboComOutSetP, nullptr, &F::Sub_ComOutSet},
        {Setting::ListIndex, &S::OutSetD, &F::ComboComOutSetD, nullptr, &F::Sub_ComOutSet},
        {Setting::ListIndex, &S::OutSetS, &F::ComboComOutSetS, nullptr, &F::Sub_ComOutSet},
        {Setting::ListIndex, &S::OutHand, &F::ComboComOutHand, nullptr, &F::Sub_ComOutSet},
        {Setting::ListIndex, &S::InSetB, &F::ComboComInSetB, nullptr, &F::Sub_ComInSet},
        {Setting::ListIndex, &S::InSetP, &F::ComboComInSetP, nullptr, &F::Sub_ComInSet},
        {Setting::ListIndex, &S::InSetD, &F::ComboComInSetD, nullptr, &F::Sub_ComInSet},
        {Setting::ListIndex, &S::InSetS, &F::ComboComInSetS, nullptr, &F::Sub_ComInSet},
        {Setting::ListIndex, &S::InHand, &F::ComboComInHand, nullptr, &F::Sub_ComInSet},
        {Setting::ListIndex, &S::ComFormat, &F::ComboComFormat, nullptr, &F::ComboComFormat_Click},
        {Setting::CheckBox, &S::ComAuto, nullptr, &F::CheckComAuto, &F::CheckComAuto_Click},
        {Setting::ListIndex, &S::ComTime, &F::ComboComTime, nullptr, &F::Sub_ChoicesChanged},
        {Setting::CheckBox, &S::SaveInfo, nullptr, &F::CheckSaveInfo, &F::CheckSaveInfo_Click},
    }};
    return settings;
}

QWidget *FormMain::Fun_SettingControl(const Setting &setting) const
{
    if (setting.list)
        return this->*setting.list;
    return this->*setting.box;
}

void FormMain::Sub_OptionState(bool blnOS)
{
    for (const Setting &setting : Fun_Settings())
        Fun_SettingControl(setting)->setEnabled(blnOS);
}
