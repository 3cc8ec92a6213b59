// Velmora workbench. Licensed under the MIT licence.
#include "formline.h"

#include "commport.h"
#include "framerulebox.h"
#include "rs485box.h"
#include "session.h"

#include <inifileeditor.h>
#include <interfacelanguage.h>
#include <modulefun.h>

#include <control.h>
#include <controlsite.h>
#include <runtimeerror.h>
#include <uitext.h>
#include <xpbuttonevents.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

const UiText Caption("FormLine", QT_TRANSLATE_NOOP("FormLine", "线路控制"));
const QSize WindowSize(400, 476);
// The RS-485 box stands right of the other controls.
const QRect Rs485Area(396, 36, 318, 292);
constexpr int HandshakeRtsCts = 2;
constexpr int HandshakeBoth = 3;

const char *const SideNames[] = {"Out", "In"};
const UiText FrameTitles[] = {{"FormLine", QT_TRANSLATE_NOOP("FormLine", "发送端口")},
                              {"FormLine", QT_TRANSLATE_NOOP("FormLine", "接收端口")}};
const UiText SharedTitle("FormLine", QT_TRANSLATE_NOOP("FormLine", "收发端口"));
const UiText SharedOutTitle("FormLine", QT_TRANSLATE_NOOP("FormLine", "发送端口（与接收端口相同）"));

struct InputLine
{
    const char *name;
    bool ModemLines::Inputs::*raised;
};
const InputLine InputLines[] = {
    {"CTS", &ModemLines::Inputs::cts},
    {"DSR", &ModemLines::Inputs::dsr},
    {"DCD", &ModemLines::Inputs::dcd},
    {"RI", &ModemLines::Inputs::ri},
};

const UiText PortClosed("FormLine", QT_TRANSLATE_NOOP("FormLine", "端口未打开"));
const UiText NoModemLines("FormLine", QT_TRANSLATE_NOOP("FormLine", "此设备没有调制解调器控制线"));
const UiText BreakRefused("FormLine", QT_TRANSLATE_NOOP("FormLine", "对不起！\r\n\r\n端口Com %1不能发送中断信号！"));
const UiText HintComm("FormLine", QT_TRANSLATE_NOOP("FormLine", "错误提示：请检查您的各项通讯参数设置是否正确！"));
// The languages' own names, the same in every language, in the order of InterfaceLanguage.
const QStringList LanguageNames = {QStringLiteral("中文"), QStringLiteral("English")};
// %1 is the options file.
const UiText LanguageNotSaved("FormLine", QT_TRANSLATE_NOOP("FormLine",
    "对不起！\r\n\r\n界面语言无法保存！\r\n\r\n%1"));

QString nameOf(const char *kind, int side, const char *role)
{
    return QLatin1String(kind) + QLatin1String(SideNames[side]) + QLatin1String(role);
}

// Through the button's Enabled property, which also greys its caption; only on a change,
// as the window looks again every 50 ms.
void setButtonEnabled(Component::Control *button, bool enabled)
{
    if (button->property(XPButton::EnabledKey).toBool() != enabled)
        button->setProperty(XPButton::EnabledKey, enabled);
}

bool rtsDrivenByHandshake(qint16 handshake)
{
    return handshake == HandshakeRtsCts || handshake == HandshakeBoth;
}

} // namespace

FormLine::FormLine(Session &session, QWidget *parent)
    : SkinnedWindow(QStringLiteral("FormLine"), Caption, WindowSize + QSize(Rs485Area.width() + 6, 0), parent),
      m_session(session),
      m_options(session.lineOptions())
{
    addTitleStrip(Caption);
    addCloseButton();
    buildPortFrame(Out, 10);
    buildPortFrame(In, 205);
    buildOptionFrame();
    buildLanguageRow();
    buildFrameBox();
    m_rs485 = new Rs485Box(session, this, Rs485Area);
    showOptions();

    m_refresh.setInterval(RefreshMilliseconds);
    connect(&m_refresh, &QTimer::timeout, this, &FormLine::refresh);
    m_refresh.start();
    refresh();
}

void FormLine::buildPortFrame(Side side, int x)
{
    PortControls &port = m_ports[side];
    port.frame = new QGroupBox(FrameTitles[side], this);
    port.frame->setObjectName(nameOf("FrameLine", side, ""));
    port.frame->setGeometry(x, 36, 185, 192);

    port.dtr = new QCheckBox(QStringLiteral("DTR"), port.frame);
    port.dtr->setObjectName(nameOf("Check", side, "DTR"));
    port.dtr->setGeometry(12, 22, 60, 20);
    port.dtr->setToolTip(tr("数据终端就绪"));
    port.rts = new QCheckBox(QStringLiteral("RTS"), port.frame);
    port.rts->setObjectName(nameOf("Check", side, "RTS"));
    port.rts->setGeometry(92, 22, 60, 20);
    port.rts->setToolTip(tr("请求发送；RTS/CTS 握手时由驱动程序控制"));
    for (QCheckBox *box : {port.dtr, port.rts})
        connect(box, &QCheckBox::clicked, this, [this, side] { lineOutputClicked(side); });

    for (int k = 0; k < int(port.leds.size()); ++k) {
        const QPoint at(12 + (k % 2) * 80, 52 + (k / 2) * 22);
        ModemLed *led = new ModemLed(port.frame);
        led->setObjectName(nameOf("LED", side, InputLines[k].name));
        led->move(at);
        port.leds[k] = led;
        auto *label = new QLabel(QLatin1String(InputLines[k].name), port.frame);
        label->setObjectName(nameOf("Label", side, InputLines[k].name));
        label->setGeometry(at.x() + 20, at.y() - 1, 40, 16);
    }
    port.state = new QLabel(port.frame);
    port.state->setObjectName(nameOf("Label", side, "Lines"));
    port.state->setGeometry(12, 96, 165, 16);

    Component::ControlSite *site =
        placeButton(nameOf("Button", side, "Break"), QRect(x + 12, 36 + 118, 80, 25),
                    tr("发送中断"),
                    tr("在线路上发送 %1 毫秒的中断信号").arg(CommPort::BreakMilliseconds),
                    [this, side] { breakClicked(side); });
    port.breakButton = site->control();

    auto *baudLabel = new QLabel(tr("自定义波特率："), port.frame);
    baudLabel->setObjectName(nameOf("Label", side, "Baud"));
    baudLabel->setGeometry(12, 158, 88, 16);
    port.baud = new QLineEdit(port.frame);
    port.baud->setObjectName(nameOf("Text", side, "Baud"));
    port.baud->setGeometry(100, 155, 73, 22);
    port.baud->setToolTip(tr("%1 到 %2；留空则使用主窗口列表中的波特率，下次开始通讯时生效")
                              .arg(LineOptions::LowestBaud)
                              .arg(LineOptions::HighestBaud));
    connect(port.baud, &QLineEdit::editingFinished, this, [this, side] { baudEdited(side); });
}

void FormLine::buildOptionFrame()
{
    auto *frame = new QGroupBox(tr("发送与显示"), this);
    frame->setObjectName(QStringLiteral("FrameLineOptions"));
    frame->setGeometry(10, 232, 380, 68);

    auto *label = new QLabel(tr("行结束符："), frame);
    label->setObjectName(QStringLiteral("LabelLineEnd"));
    label->setGeometry(12, 29, 64, 16);
    ComboLineEnd = new QComboBox(frame);
    ComboLineEnd->setObjectName(QStringLiteral("ComboLineEnd"));
    ComboLineEnd->addItems(LineOptions::lineEndNames());
    ComboLineEnd->setGeometry(76, 26, 80, 22);
    ComboLineEnd->setToolTip(tr("加在每条文本格式发送命令之后"));
    connect(ComboLineEnd, &QComboBox::activated, this, &FormLine::optionClicked);

    CheckTimeStamp = new QCheckBox(tr("接收数据加时间戳"), frame);
    CheckTimeStamp->setObjectName(QStringLiteral("CheckTimeStamp"));
    CheckTimeStamp->setGeometry(176, 16, 196, 20);
    CheckHexSpace = new QCheckBox(tr("16进制数据以空格分隔"), frame);
    CheckHexSpace->setObjectName(QStringLiteral("CheckHexSpace"));
    CheckHexSpace->setGeometry(176, 40, 196, 20);
    for (QCheckBox *box : {CheckTimeStamp, CheckHexSpace})
        connect(box, &QCheckBox::clicked, this, &FormLine::optionClicked);
}

void FormLine::buildLanguageRow()
{
    auto *label = new QLabel(tr("界面语言："), this);
    label->setObjectName(QStringLiteral("LabelLanguage"));
    label->setGeometry(22, 309, 64, 16);
    ComboLanguage = new QComboBox(this);
    ComboLanguage->setObjectName(QStringLiteral("ComboLanguage"));
    ComboLanguage->addItems(LanguageNames);
    ComboLanguage->setGeometry(86, 306, 80, 22);
    ComboLanguage->setCurrentIndex(InterfaceLanguage::load(InterfaceLanguage::settingsPath(ModuleFun::ProgramFolder())));
    auto *note = new QLabel(tr("下次启动程序时生效"), this);
    note->setObjectName(QStringLiteral("LabelLanguageNote"));
    note->setGeometry(186, 309, 196, 16);
    connect(ComboLanguage, &QComboBox::activated, this, &FormLine::languageChosen);
}

// Below the language row; the window grew for it.
void FormLine::buildFrameBox()
{
    m_frames = new FrameRuleBox(this);
    m_frames->setGeometry(10, 334, 380, 134);
    connect(m_frames, &FrameRuleBox::ruleChanged, this, [this](const FrameRule &rule) {
        m_options.frames = rule;
        changed();
    });
}

void FormLine::showOptions()
{
    m_frames->setRule(m_options.frames);
    m_ports[Out].dtr->setChecked(m_options.outDTR);
    m_ports[Out].rts->setChecked(m_options.outRTS);
    m_ports[Out].baud->setText(m_options.outBaud);
    m_ports[In].dtr->setChecked(m_options.inDTR);
    m_ports[In].rts->setChecked(m_options.inRTS);
    m_ports[In].baud->setText(m_options.inBaud);
    ComboLineEnd->setCurrentIndex(m_options.lineEnd);
    CheckTimeStamp->setChecked(m_options.timeStamp);
    CheckHexSpace->setChecked(m_options.hexSpace);
}

void FormLine::refresh()
{
    const bool samePort = m_session.choices().samePort();
    m_ports[Out].frame->setTitle(samePort ? SharedOutTitle : FrameTitles[Out]);
    m_ports[Out].frame->setEnabled(!samePort);
    setButtonEnabled(m_ports[Out].breakButton, !samePort);
    m_ports[In].frame->setTitle(samePort ? SharedTitle : FrameTitles[In]);
    refreshPort(Out);
    refreshPort(In);
    m_rs485->refresh();
}

void FormLine::refreshPort(Side side)
{
    PortControls &controls = m_ports[side];
    const TransferEngine::LineState line = m_session.lineState(side == Out);
    const Session::Choices &choices = m_session.choices();
    const qint16 handshake = side == Out ? choices.outHandshake : choices.inHandshake;
    controls.rts->setEnabled(!rtsDrivenByHandshake(handshake));
    if (controls.frame->isEnabled())
        setButtonEnabled(controls.breakButton, line.open);

    for (int k = 0; k < int(controls.leds.size()); ++k) {
        controls.leds[k]->setState(!line.inputs ? ModemLed::State::Unavailable
                                   : (*line.inputs).*InputLines[k].raised ? ModemLed::State::Raised
                                                                          : ModemLed::State::Low);
    }
    controls.state->setText(!line.open ? PortClosed : line.inputs ? QString() : NoModemLines);
}

void FormLine::lineOutputClicked(Side side)
{
    const PortControls &controls = m_ports[side];
    (side == Out ? m_options.outDTR : m_options.inDTR) = controls.dtr->isChecked();
    (side == Out ? m_options.outRTS : m_options.inRTS) = controls.rts->isChecked();
    changed();
}

void FormLine::breakClicked(Side side)
{
    try {
        if (!m_session.sendBreak(side == Out))
            ModuleFun::ShowMessage(BreakRefused.arg(m_session.lineState(side == Out).port), ModuleFun::AlignCentre);
    } catch (const Component::RuntimeError &error) {
        ModuleFun::ShowMessage(ModuleFun::ErrorReport(error.number(), error.description(), HintComm), ModuleFun::AlignLeft);
    }
}

// A rate that cannot be one is refused and not taken; the box keeps it for correcting.
void FormLine::baudEdited(Side side)
{
    if (m_refusing)
        return;
    QLineEdit *box = m_ports[side].baud;
    const QString text = box->text().trimmed();
    const LineOptions::BaudProblem problem = LineOptions::checkBaud(text);
    if (problem != LineOptions::BaudProblem::None) {
        m_refusing = true;
        ModuleFun::ShowMessage(LineOptions::baudRefusal(problem), ModuleFun::AlignCentre);
        m_refusing = false;
        box->setFocus();
        return;
    }
    QString &stored = side == Out ? m_options.outBaud : m_options.inBaud;
    if (text == stored)
        return;
    stored = text;
    changed();
}

void FormLine::optionClicked()
{
    m_options.lineEnd = LineOptions::LineEnd(qMax(0, ComboLineEnd->currentIndex()));
    m_options.timeStamp = CheckTimeStamp->isChecked();
    m_options.hexSpace = CheckHexSpace->isChecked();
    changed();
}

// Saved at once: the language is read at the next start, not from the line options.
void FormLine::languageChosen()
{
    const QString path = InterfaceLanguage::settingsPath(ModuleFun::ProgramFolder());
    if (!InterfaceLanguage::save(path, InterfaceLanguage::Language(ComboLanguage->currentIndex()))
        && IniFileEditor::firstFailure(path))
        ModuleFun::ShowMessage(LanguageNotSaved.arg(path), ModuleFun::AlignCentre);
}

void FormLine::changed()
{
    emit optionsChanged(m_options);
}
