// Velmora workbench. Licensed under the MIT licence.
#include "formlinktest.h"

#include "commandcodec.h"
#include "linkreport.h"
#include "linesettings.h"
#include "session.h"

#include <inifileeditor.h>
#include <modulefun.h>

#include <control.h>
#include <controlsite.h>
#include <runtimeerror.h>
#include <uitext.h>

#include <QCloseEvent>

#include <algorithm>
#include <iterator>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

const UiText Caption("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest", "线路测试"));
const QSize WindowSize(560, 500);
const char *const CaptionProperty = "Caption";
const UiText StartCaption("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest", "开始测试"));
const UiText StopCaption("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest", "停止测试"));
const UiText CommunicationRuns("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest",
    "对不起！\r\n\r\n通讯正在进行，端口已被占用！\r\n\r\n请先停止通讯，再开始线路测试。"));
const UiText NeedsEightBits("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest",
    "对不起！\r\n\r\n线路测试需要 8 个数据位！\r\n\r\n请在主窗口中选择 8 个数据位。"));
const UiText SamePortSettings("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest",
    "对不起！\r\n\r\n发送端口与接收端口相同，两边的通讯参数必须一致！"));
const UiText BadAmount("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest",
    "对不起！\r\n\r\n测试数量必须是大于 0 的整数！"));
const UiText BadLimit("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest",
    "对不起！\r\n\r\n误码率上限必须是 0 到 1 之间的数！"));
const UiText BadUserBytes("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest",
    "对不起！\r\n\r\n自定义图案不能为空，16进制格式时须为成对的16进制数字！"));
// %1 is the port's failure as the port layer words it.
const UiText OpenFailed("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest",
    "对不起！\r\n\r\n线路测试无法打开端口！\r\n\r\n%1"));
const UiText LineLost("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest",
    "对不起！\r\n\r\n测试中线路断开，测试已结束，结果为断开前的部分结果。\r\n\r\n%1"));
const UiText Running("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest", "测试中…"));
// %1 is the options file.
const UiText SetupNotSaved("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest",
    "对不起！\r\n\r\n线路测试的设置无法保存，只在本次运行中有效！\r\n\r\n%1"));
const UiText ReportNotSaved("FormLinkTest", QT_TRANSLATE_NOOP("FormLinkTest",
    "对不起！\r\n\r\n报告无法保存！\r\n\r\n%1"));
// The capture's labels read the same in every language.
const QString CaptureModeName = QStringLiteral("线路测试");

const int PaceChoices[] = {0, 100, 90, 75, 50, 25, 10};
const int BlockChoices[] = {16, 64, 256, 1024, 4096};
constexpr int DefaultBlockIndex = 2;

} // namespace

FormLinkTest::FormLinkTest(Session &session, QWidget *parent)
    : SkinnedWindow(QStringLiteral("FormLinkTest"), Caption, WindowSize, parent),
      m_session(session)
{
    addTitleStrip(Caption);
    addCloseButton();
    buildSetupFrame();
    buildResultFrame();
    ButtonLinkStart = placeButton(QStringLiteral("ButtonLinkStart"), QRect(300, 464, 120, 26), StartCaption,
                                  tr("用主窗口的发送端口与接收端口及其参数进行测试"),
                                  [this] { startClicked(); })->control();
    ButtonLinkSave = placeButton(QStringLiteral("ButtonLinkSave"), QRect(430, 464, 120, 26),
                                 tr("保存报告"), tr("把测试结果保存为文本报告"),
                                 [this] { saveClicked(); })->control();
    connect(&m_runner, &LinkRunner::progress, this, &FormLinkTest::showProgress);
    connect(&m_runner, &LinkRunner::finished, this, &FormLinkTest::onFinished);
    connect(this, &SkinnedWindow::activated, this, &FormLinkTest::showPorts);
    showSetup(LinkSetup::load(m_session.optionsPath()));
    showPorts();
}

void FormLinkTest::showSetup(const LinkSetup &setup)
{
    ComboLinkPattern->setCurrentIndex(setup.pattern);
    ComboLinkForm->setCurrentIndex(setup.form == LinkChecker::Form::Framed ? 0 : 1);
    ComboLinkDirection->setCurrentIndex(setup.direction == LinkSetup::Direction::OneWay ? 0 : 1);
    ComboLinkAmount->setCurrentIndex(int(setup.amount));
    TextLinkAmount->setText(QString::number(setup.amount == LinkSetup::Amount::Bytes ? setup.bytes : setup.seconds));
    const auto pace = std::find(std::begin(PaceChoices), std::end(PaceChoices), setup.pacePercent);
    ComboLinkPace->setCurrentIndex(pace == std::end(PaceChoices) ? 0 : int(pace - std::begin(PaceChoices)));
    const auto block = std::find(std::begin(BlockChoices), std::end(BlockChoices), setup.payloadBytes);
    ComboLinkBlock->setCurrentIndex(block == std::end(BlockChoices) ? DefaultBlockIndex
                                                                    : int(block - std::begin(BlockChoices)));
    TextLinkLimit->setText(QString::number(setup.bitErrorRateLimit, 'g', 6));
    TextLinkUser->setText(setup.userText);
}

FormLinkTest::~FormLinkTest() = default;

QLabel *FormLinkTest::addLabel(QWidget *parent, const QString &text, const QRect &rect)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(rect);
    return label;
}

QComboBox *FormLinkTest::addList(QWidget *parent, const QString &name, const QStringList &items, const QRect &rect)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(name);
    list->addItems(items);
    list->setGeometry(rect);
    return list;
}

void FormLinkTest::buildSetupFrame()
{
    auto *frame = new QGroupBox(tr("测试设置"), this);
    frame->setObjectName(QStringLiteral("FrameLinkSetup"));
    frame->setGeometry(10, 36, 540, 134);

    LabelLinkPorts = addLabel(frame, {}, QRect(12, 20, 516, 18));
    LabelLinkPorts->setObjectName(QStringLiteral("LabelLinkPorts"));

    QStringList patterns;
    for (int k = TestPattern::Prbs7; k <= TestPattern::UserBytes; ++k)
        patterns << TestPattern::name(TestPattern::Kind(k));
    addLabel(frame, tr("图案："), QRect(12, 47, 60, 16));
    ComboLinkPattern = addList(frame, QStringLiteral("ComboLinkPattern"), patterns, QRect(72, 44, 100, 22));
    addLabel(frame, tr("形式："), QRect(182, 47, 46, 16));
    ComboLinkForm = addList(frame, QStringLiteral("ComboLinkForm"),
                            {tr("分块（块号+CRC）"), tr("原始")}, QRect(228, 44, 142, 22));
    addLabel(frame, tr("方向："), QRect(378, 47, 66, 16));
    ComboLinkDirection = addList(frame, QStringLiteral("ComboLinkDirection"), {tr("单向"), tr("双向")},
                                 QRect(444, 44, 84, 22));

    addLabel(frame, tr("数量："), QRect(12, 75, 60, 16));
    TextLinkAmount = new QLineEdit(frame);
    TextLinkAmount->setObjectName(QStringLiteral("TextLinkAmount"));
    TextLinkAmount->setGeometry(72, 72, 50, 22);
    ComboLinkAmount = addList(frame, QStringLiteral("ComboLinkAmount"), {tr("秒"), tr("字节"), tr("直到停止")},
                              QRect(126, 72, 84, 22));
    addLabel(frame, tr("速度："), QRect(218, 75, 46, 16));
    QStringList paces{tr("线路最快")};
    for (int i = 1; i < int(std::size(PaceChoices)); ++i)
        paces << QStringLiteral("%1%").arg(PaceChoices[i]);
    ComboLinkPace = addList(frame, QStringLiteral("ComboLinkPace"), paces, QRect(264, 72, 106, 22));
    ComboLinkPace->setToolTip(tr("按线路字符速率的百分比发送"));
    addLabel(frame, tr("块长："), QRect(378, 75, 66, 16));
    QStringList blocks;
    for (int size : BlockChoices)
        blocks << QString::number(size);
    ComboLinkBlock = addList(frame, QStringLiteral("ComboLinkBlock"), blocks, QRect(444, 72, 84, 22));
    ComboLinkBlock->setToolTip(tr("每块的数据字节数（分块形式）"));

    addLabel(frame, tr("自定义："), QRect(12, 103, 60, 16));
    TextLinkUser = new QLineEdit(frame);
    TextLinkUser->setObjectName(QStringLiteral("TextLinkUser"));
    TextLinkUser->setGeometry(72, 100, 288, 22);
    TextLinkUser->setToolTip(tr("自定义图案，按主窗口选择的文本或16进制格式输入，重复发送"));
    addLabel(frame, tr("误码率上限："), QRect(366, 103, 78, 16));
    TextLinkLimit = new QLineEdit(frame);
    TextLinkLimit->setObjectName(QStringLiteral("TextLinkLimit"));
    TextLinkLimit->setGeometry(444, 100, 84, 22);
}

void FormLinkTest::buildResultFrame()
{
    auto *frame = new QGroupBox(tr("测试结果"), this);
    frame->setObjectName(QStringLiteral("FrameLinkResult"));
    frame->setGeometry(10, 176, 540, 280);
    LabelLinkVerdict = addLabel(frame, {}, QRect(12, 18, 516, 26));
    LabelLinkVerdict->setObjectName(QStringLiteral("LabelLinkVerdict"));
    QFont bold = LabelLinkVerdict->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 3);
    LabelLinkVerdict->setFont(bold);
    TextLinkFigures = new QPlainTextEdit(frame);
    TextLinkFigures->setObjectName(QStringLiteral("TextLinkFigures"));
    TextLinkFigures->setReadOnly(true);
    TextLinkFigures->setLineWrapMode(QPlainTextEdit::NoWrap);
    TextLinkFigures->setGeometry(12, 48, 516, 222);
}

void FormLinkTest::showPorts()
{
    if (m_runner.running())
        return;
    const LinkPorts ports = LinkPorts::of(m_session);
    LabelLinkPorts->setText(tr("发送端口：Com %1 %2    接收端口：Com %3 %4")
                                .arg(ports.out.port).arg(ports.out.settings)
                                .arg(ports.in.port).arg(ports.in.settings));
}

bool FormLinkTest::readSetup(LinkSetup &setup)
{
    setup.pattern = TestPattern::Kind(ComboLinkPattern->currentIndex());
    setup.userText = TextLinkUser->text();
    if (setup.pattern == TestPattern::UserBytes) {
        const qint16 format = m_session.choices().format;
        QByteArray bytes;
        try {
            if (CommandCodec::check(TextLinkUser->text(), format).problem == CommandCodec::CommandProblem::None)
                bytes = CommandCodec::sendBytes(TextLinkUser->text(), format);
        } catch (const Component::RuntimeError &) {
            bytes.clear();
        }
        if (bytes.isEmpty()) {
            ModuleFun::ShowMessage(BadUserBytes, ModuleFun::AlignCentre);
            return false;
        }
        setup.userBytes = bytes;
    }
    setup.form = ComboLinkForm->currentIndex() == 0 ? LinkChecker::Form::Framed : LinkChecker::Form::Raw;
    setup.direction = ComboLinkDirection->currentIndex() == 0 ? LinkSetup::Direction::OneWay
                                                              : LinkSetup::Direction::BothWays;
    setup.amount = LinkSetup::Amount(ComboLinkAmount->currentIndex());
    bool ok = true;
    const qint64 amount = TextLinkAmount->text().trimmed().toLongLong(&ok);
    if (setup.amount != LinkSetup::Amount::UntilStopped && (!ok || amount <= 0)) {
        ModuleFun::ShowMessage(BadAmount, ModuleFun::AlignCentre);
        return false;
    }
    if (setup.amount == LinkSetup::Amount::Seconds)
        setup.seconds = amount;
    else if (setup.amount == LinkSetup::Amount::Bytes)
        setup.bytes = amount;
    setup.pacePercent = PaceChoices[qMax(0, ComboLinkPace->currentIndex())];
    setup.payloadBytes = BlockChoices[qMax(0, ComboLinkBlock->currentIndex())];
    const double limit = TextLinkLimit->text().trimmed().toDouble(&ok);
    if (!ok || limit < 0 || limit > 1) {
        ModuleFun::ShowMessage(BadLimit, ModuleFun::AlignCentre);
        return false;
    }
    setup.bitErrorRateLimit = limit;
    return true;
}

void FormLinkTest::startClicked()
{
    if (m_runner.running()) {
        m_runner.stop();
        return;
    }
    if (m_session.running() || m_session.starting() || m_session.portsOpen()) {
        ModuleFun::ShowMessage(CommunicationRuns, ModuleFun::AlignCentre);
        return;
    }
    // The amount of the unit not chosen stays as it was kept.
    LinkSetup setup = LinkSetup::load(m_session.optionsPath());
    if (!readSetup(setup))
        return;
    showPorts();
    const LinkPorts ports = LinkPorts::of(m_session);
    for (const QString &settings : {ports.out.settings, ports.in.settings}) {
        try {
            if (LineSettings::parse(settings).dataBits != 8) {
                ModuleFun::ShowMessage(NeedsEightBits, ModuleFun::AlignCentre);
                return;
            }
        } catch (const Component::RuntimeError &error) {
            ModuleFun::ShowMessage(OpenFailed.arg(error.description()), ModuleFun::AlignCentre);
            return;
        }
    }
    if (ports.samePort() && (ports.out.settings != ports.in.settings || ports.out.handshake != ports.in.handshake)) {
        ModuleFun::ShowMessage(SamePortSettings, ModuleFun::AlignCentre);
        return;
    }
    if (!setup.save(m_session.optionsPath()) && IniFileEditor::firstFailure(m_session.optionsPath()))
        ModuleFun::ShowMessage(SetupNotSaved.arg(m_session.optionsPath()), ModuleFun::AlignCentre);
    m_report.clear();
    try {
        m_runner.start(ports, setup);
    } catch (const Component::RuntimeError &error) {
        ModuleFun::ShowMessage(OpenFailed.arg(error.description()), ModuleFun::AlignCentre);
        return;
    }
    ButtonLinkStart->setProperty(CaptionProperty, StopCaption.toString());
    emit testingChanged(true);
    showProgress();
}

void FormLinkTest::showProgress()
{
    LabelLinkVerdict->setStyleSheet(QString());
    LabelLinkVerdict->setText(Running);
    showFigures(m_runner.figures());
}

// New figures in the place the user scrolled to: a test both ways has more lines than
// the pane shows, and the second direction must stay readable while they change.
void FormLinkTest::showFigures(const LinkFigures &figures)
{
    QScrollBar *bar = TextLinkFigures->verticalScrollBar();
    const int scrolled = bar->value();
    TextLinkFigures->setPlainText(LinkReport::figuresText(figures, m_runner.setup().form));
    bar->setValue(scrolled);
}

void FormLinkTest::onFinished()
{
    const LinkFigures figures = m_runner.figures();
    const bool passed = figures.passes(m_runner.setup().bitErrorRateLimit);
    LabelLinkVerdict->setText(LinkReport::verdictText(figures, m_runner.setup().bitErrorRateLimit));
    LabelLinkVerdict->setStyleSheet(passed ? QStringLiteral("color: #00A000;") : QStringLiteral("color: #D00000;"));
    showFigures(figures);
    m_report = LinkReport::reportText(m_runner.setup(), m_runner.ports(), figures);
    ButtonLinkStart->setProperty(CaptionProperty, StartCaption.toString());
    if (m_session.capturing()) {
        const Session::Choices &c = m_session.choices();
        m_session.addCaptureBlock({CaptureModeName, c.outPortCaption, m_runner.ports().out.settings,
                                   c.inPortCaption, m_runner.ports().in.settings},
                                  m_report);
    }
    emit testingChanged(false);
    if (!figures.lossNote.isEmpty())
        ModuleFun::ShowMessage(LineLost.arg(figures.lossNote), ModuleFun::AlignCentre);
}

void FormLinkTest::saveClicked()
{
    if (m_report.isEmpty())
        return;
    const QString path = QFileDialog::getSaveFileName(this, tr("保存报告"), QStringLiteral("linktest.txt"),
                                                      tr("文本文件 (*.txt)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_report.toUtf8()) < 0 || !file.flush())
        ModuleFun::ShowMessage(ReportNotSaved.arg(path), ModuleFun::AlignCentre);
}

// Closing ends a test at once; its ports are closed.
void FormLinkTest::closeEvent(QCloseEvent *event)
{
    if (m_runner.running()) {
        m_runner.stop();
        m_runner.stop();
    }
    SkinnedWindow::closeEvent(event);
}
