// Velmora workbench. Licensed under the MIT licence.
#include "rs485box.h"

#include "session.h"

#include <modulefun.h>
#include <uitext.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QSpinBox>

namespace {

const char *const SideNames[] = {"Out", "In"};
const UiText ColumnTitles[] = {{"Rs485Box", QT_TRANSLATE_NOOP("Rs485Box", "发送端口")},
                               {"Rs485Box", QT_TRANSLATE_NOOP("Rs485Box", "接收端口")}};
const UiText SharedTitle("Rs485Box", QT_TRANSLATE_NOOP("Rs485Box", "收发端口"));
const UiText NetworkLine("Rs485Box", QT_TRANSLATE_NOOP("Rs485Box",
    "网络线路：RFC 2217 没有 RS-485 控制，请在服务器端（ser2net）设置。"));
const UiText NotSaved("Rs485Box", QT_TRANSLATE_NOOP("Rs485Box", "对不起！\r\n\r\nRS-485 设置无法保存！\r\n\r\n%1"));

// The rows' labels, top to bottom, beside the two ports' columns.
const char *const RowLabels[] = {
    QT_TRANSLATE_NOOP("Rs485Box", "方向切换："),
    QT_TRANSLATE_NOOP("Rs485Box", "发送时 RTS："),
    QT_TRANSLATE_NOOP("Rs485Box", "发送前延时："),
    QT_TRANSLATE_NOOP("Rs485Box", "发送后延时："),
    QT_TRANSLATE_NOOP("Rs485Box", "发送时接收："),
    QT_TRANSLATE_NOOP("Rs485Box", "去除回波："),
};
constexpr int TopRow = 40;
constexpr int RowHeight = 22;
// The status is drawn smaller rather than cut when the driver differs in much.
constexpr qreal SmallestStatusPoints = 7.0;
constexpr int LabelWidth = 84;
constexpr int ColumnWidth = 112;

QString nameOf(const char *kind, int side, const char *role)
{
    return QLatin1String(kind) + QLatin1String(SideNames[side]) + QLatin1String(role);
}

int rowY(int row)
{
    return TopRow + row * RowHeight;
}

} // namespace

Rs485Box::Rs485Box(Session &session, QWidget *parent, const QRect &geometry)
    : QGroupBox(tr("RS-485"), parent), m_session(session), m_options(session.rs485Options())
{
    setObjectName(QStringLiteral("FrameRs485"));
    setGeometry(geometry);
    for (int row = 0; row < int(std::size(RowLabels)); ++row) {
        auto *label = new QLabel(tr(RowLabels[row]), this);
        label->setObjectName(QStringLiteral("LabelRs485Row%1").arg(row));
        label->setGeometry(10, rowY(row) + 3, LabelWidth, 16);
    }
    buildColumn(Out, 10 + LabelWidth);
    buildColumn(In, 10 + LabelWidth + ColumnWidth);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("LabelRs485Status"));
    const int statusTop = rowY(int(std::size(RowLabels))) + 4;
    m_status->setGeometry(10, statusTop, LabelWidth + 2 * ColumnWidth - 4, height() - statusTop - 6);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_status->setWordWrap(true);
    showOptions();
}

void Rs485Box::buildColumn(Side side, int x)
{
    PortControls &port = m_ports[side];
    const int width = ColumnWidth - 8;
    port.title = new QLabel(ColumnTitles[side], this);
    port.title->setObjectName(nameOf("LabelRs485", side, "Port"));
    port.title->setGeometry(x, 20, width, 16);

    port.direction = new QComboBox(this);
    port.direction->setObjectName(nameOf("ComboRs485", side, "Direction"));
    port.direction->addItems(Rs485Options::directionNames());
    port.direction->setGeometry(x, rowY(0), width, 22);
    port.direction->setToolTip(tr("由驱动程序切换：Linux 的 RS-485 模式（TIOCSRS485），Windows 的 RTS 自动切换；"
                                  "由程序切换：每次发送前升起 RTS，最后一位发出后放下。下次开始通讯时生效"));
    port.rtsLevel = new QComboBox(this);
    port.rtsLevel->setObjectName(nameOf("ComboRs485", side, "Rts"));
    port.rtsLevel->addItems({tr("高"), tr("低")});
    port.rtsLevel->setGeometry(x, rowY(1), width, 22);
    port.before = new QSpinBox(this);
    port.before->setObjectName(nameOf("SpinRs485", side, "Before"));
    port.after = new QSpinBox(this);
    port.after->setObjectName(nameOf("SpinRs485", side, "After"));
    int row = 2;
    for (QSpinBox *box : {port.before, port.after}) {
        box->setRange(0, Rs485Settings::LongestDelayMs);
        box->setSuffix(tr(" 毫秒"));
        box->setGeometry(x, rowY(row++), width, 22);
        box->setToolTip(tr("单位是毫秒，不是微秒；驱动程序最多 %1 毫秒").arg(Rs485Settings::LongestDelayMs));
        connect(box, &QSpinBox::valueChanged, this, [this, side] { edited(side); });
    }
    port.receive = new QCheckBox(this);
    port.receive->setObjectName(nameOf("CheckRs485", side, "Receive"));
    port.receive->setGeometry(x, rowY(4), 20, 20);
    port.echo = new QCheckBox(this);
    port.echo->setObjectName(nameOf("CheckRs485", side, "Echo"));
    port.echo->setGeometry(x, rowY(5), 20, 20);
    port.echo->setToolTip(tr("转换器听到自己发送的数据时：与刚发送的相同的字节不显示、不记录、不参与应答比较，只计数；"
                             "不同的计为冲突并显示"));
    for (QComboBox *box : {port.direction, port.rtsLevel})
        connect(box, &QComboBox::activated, this, [this, side] { edited(side); });
    for (QCheckBox *box : {port.receive, port.echo})
        connect(box, &QCheckBox::clicked, this, [this, side] { edited(side); });
}

void Rs485Box::showOptions()
{
    for (Side side : {Out, In}) {
        const PortControls &port = m_ports[side];
        const Rs485Settings &settings = side == Out ? m_options.out : m_options.in;
        const QSignalBlocker blockBefore(port.before);
        const QSignalBlocker blockAfter(port.after);
        port.direction->setCurrentIndex(int(settings.direction));
        port.rtsLevel->setCurrentIndex(settings.rtsHighWhileSending ? 0 : 1);
        port.before->setValue(settings.delayBeforeMs);
        port.after->setValue(settings.delayAfterMs);
        port.receive->setChecked(settings.receiveWhileSending);
        port.echo->setChecked(settings.suppressEcho);
    }
}

void Rs485Box::edited(Side side)
{
    const PortControls &port = m_ports[side];
    Rs485Settings &settings = side == Out ? m_options.out : m_options.in;
    settings.direction = Rs485Settings::Direction(qMax(0, port.direction->currentIndex()));
    settings.rtsHighWhileSending = port.rtsLevel->currentIndex() == 0;
    settings.delayBeforeMs = port.before->value();
    settings.delayAfterMs = port.after->value();
    settings.receiveWhileSending = port.receive->isChecked();
    settings.suppressEcho = port.echo->isChecked();
    if (m_options == m_session.rs485Options())
        return;
    if (!m_session.setRs485Options(m_options))
        ModuleFun::ShowMessage(NotSaved.arg(m_session.optionsPath()), ModuleFun::AlignCentre);
}

void Rs485Box::refresh()
{
    const Session::Choices &choices = m_session.choices();
    const bool samePort = choices.samePort();
    m_ports[In].title->setText(samePort ? SharedTitle : ColumnTitles[In]);
    const qint16 ports[] = {choices.outPort, choices.inPort};
    for (Side side : {Out, In}) {
        // The port map is read again only when another port is chosen.
        if (m_shownPorts[side] != ports[side]) {
            m_shownPorts[side] = ports[side];
            m_network[side] = Session::networkLine(ports[side]);
        }
        enableColumn(side, m_network[side]);
    }
    // One port serving both ways takes the receiving port's column.
    if (samePort)
        enableColumn(Out, true);
    showStatus(statusText());
}

void Rs485Box::showStatus(const QString &text)
{
    if (text == m_status->text())
        return;
    QFont font = this->font();
    const QRect area(QPoint(), m_status->size());
    while (font.pointSizeF() > SmallestStatusPoints
           && QFontMetrics(font).boundingRect(area, Qt::TextWordWrap, text).height() > area.height())
        font.setPointSizeF(font.pointSizeF() - 0.5);
    m_status->setFont(font);
    m_status->setText(text);
}

// A network line offers only "off"; the note below says why.
void Rs485Box::enableColumn(Side side, bool off)
{
    const PortControls &port = m_ports[side];
    const bool switched = port.direction->currentIndex() != int(Rs485Settings::Direction::Off);
    port.direction->setEnabled(!off);
    const bool timed = !off && switched;
    for (QWidget *control : std::initializer_list<QWidget *> {port.rtsLevel, port.before, port.after, port.receive})
        control->setEnabled(timed);
    port.echo->setEnabled(!off);
}

QString Rs485Box::statusText() const
{
    QStringList lines;
    const bool samePort = m_session.choices().samePort();
    if (m_network[In] || (!samePort && m_network[Out]))
        lines.append(NetworkLine);
    const Session::Rs485Status status = m_session.rs485Status();
    if (!status.differences.isEmpty())
        lines.append(tr("驱动程序未按设置：") + status.differences.join(tr("；")));
    if (status.echoBytes > 0 || status.collisions > 0)
        lines.append(tr("回波 %1 字节，冲突 %2 次").arg(status.echoBytes).arg(status.collisions));
    const QString turnaround = TurnaroundTimes::text(status.turnaround);
    lines.append(tr("应答时间：") + (turnaround.isEmpty() ? tr("无") : turnaround));
    return lines.join(QLatin1Char('\n'));
}
