// Velmora workbench. Licensed under the MIT licence.
#include "formmonitor.h"

#include "csvtable.h"
#include "session.h"
#include "systemcodepage.h"
#include "timelinepane.h"

#include <modulefun.h>

#include <control.h>
#include <controlsite.h>
#include <runtimeerror.h>
#include <uitext.h>

#include <QCheckBox>
#include <QDate>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>

namespace {

// The capture names the mode in Chinese in every language, as the main window's do.
const UiText Caption("FormMonitor", QT_TRANSLATE_NOOP("FormMonitor", "双向监听"));
const UiText StartCaption("FormMonitor", QT_TRANSLATE_NOOP("FormMonitor", "开始监听"));
const UiText StopCaption("FormMonitor", QT_TRANSLATE_NOOP("FormMonitor", "停止监听"));
const UiText RunRefusal("FormMonitor", QT_TRANSLATE_NOOP("FormMonitor",
    "对不起！\r\n\r\n请先停止通讯，再开始监听！"));
const UiText SamePortRefusal("FormMonitor", QT_TRANSLATE_NOOP("FormMonitor",
    "对不起！\r\n\r\n监听需要两个不同的端口：发送端口和接收端口！"));
const UiText OpenFailed("FormMonitor", QT_TRANSLATE_NOOP("FormMonitor",
    "错误提示：请检查两个端口的通讯参数设置是否正确！"));
const UiText LostDevice("FormMonitor", QT_TRANSLATE_NOOP("FormMonitor",
    "对不起！\r\n\r\n端口Com %1的设备已断开，监听已停止！"));
const UiText ExportFailed("FormMonitor", QT_TRANSLATE_NOOP("FormMonitor",
    "对不起！\r\n\r\n无法写入文件：\r\n%1"));
const UiText ReadFailed("FormMonitor", QT_TRANSLATE_NOOP("FormMonitor",
    "对不起！\r\n\r\n无法读取文件：\r\n%1"));
const UiText CaptureTooLarge("FormMonitor", QT_TRANSLATE_NOOP("FormMonitor",
    "对不起！\r\n\r\n捕获文件超过 %1 MB，无法导出！"));
constexpr qint64 CaptureExportBytes = qint64(64) * 1024 * 1024;
const QSize WindowSize(560, 420);
const char CaptionKey[] = "Caption";

} // namespace

FormMonitor::FormMonitor(Session &session, QWidget *parent)
    : SkinnedWindow(QStringLiteral("FormMonitor"), Caption, WindowSize, parent),
      m_session(session)
{
    addTitleStrip(Caption);
    addCloseButton();

    LabelMonitorPorts = new QLabel(this);
    LabelMonitorPorts->setObjectName(QStringLiteral("LabelMonitorPorts"));
    LabelMonitorPorts->setGeometry(10, 34, 420, 16);
    CheckMonitorHex = new QCheckBox(tr("16进制显示"), this);
    CheckMonitorHex->setObjectName(QStringLiteral("CheckMonitorHex"));
    CheckMonitorHex->setGeometry(440, 32, 110, 20);
    CheckMonitorHex->setChecked(true);

    TextMonitor = new TimelinePane(this);
    TextMonitor->setObjectName(QStringLiteral("TextMonitor"));
    TextMonitor->setGeometry(10, 56, 540, 318);

    m_startButton = placeButton(QStringLiteral("ButtonMonitorStart"), QRect(10, 384, 90, 25),
                                StartCaption, tr("两个端口都只接收，不发送任何数据"),
                                [this] { startClicked(); })->control();
    placeButton(QStringLiteral("ButtonMonitorClear"), QRect(110, 384, 90, 25), tr("清空"),
                tr("清空显示和待导出的记录"), [this] { clearClicked(); });
    placeButton(QStringLiteral("ButtonMonitorExport"), QRect(210, 384, 90, 25), tr("导出 CSV"),
                tr("时间、端口、16进制、文本，UTF-8 编码"), [this] { exportClicked(); });
    placeButton(QStringLiteral("ButtonCaptureExport"), QRect(310, 384, 130, 25), tr("捕获文件转 CSV"),
                tr("把一个捕获文件导出为 CSV：时间、方向、16进制、文本"), [this] { exportCaptureClicked(); });

    connect(&m_monitor, &PortMonitor::entry, this, &FormMonitor::showEntry);
    connect(&m_monitor, &PortMonitor::deviceLost, this, [this](qint16 port) {
        stop();
        ModuleFun::ShowMessage(LostDevice.arg(port), ModuleFun::AlignCentre);
    });
    // The ports follow the main window's choices while the monitor is stopped.
    m_portsRefresh.setInterval(500);
    connect(&m_portsRefresh, &QTimer::timeout, this, [this] {
        if (!m_monitor.running())
            showPorts();
    });
    m_portsRefresh.start();
    showPorts();
}

FormMonitor::~FormMonitor()
{
    stop();
}

void FormMonitor::showPorts()
{
    const Session::Choices &choices = m_session.choices();
    LabelMonitorPorts->setText(tr("A：Com %1（%2）    B：Com %3（%4）")
                                   .arg(choices.outPort).arg(m_session.outSettings())
                                   .arg(choices.inPort).arg(m_session.inSettings()));
}

void FormMonitor::setCaption(const QString &caption)
{
    m_startButton->setProperty(CaptionKey, caption);
}

void FormMonitor::startClicked()
{
    if (m_monitor.running())
        stop();
    else
        start();
}

void FormMonitor::start()
{
    showPorts();
    const Session::Choices &choices = m_session.choices();
    if (m_session.running() || m_session.portsOpen()) {
        ModuleFun::ShowMessage(RunRefusal, ModuleFun::AlignCentre);
        return;
    }
    if (choices.samePort()) {
        ModuleFun::ShowMessage(SamePortRefusal, ModuleFun::AlignCentre);
        return;
    }
    m_monitor.setChecksum(m_session.receiveChecksum());
    try {
        m_monitor.start({choices.outPort, m_session.outSettings(), choices.outHandshake},
                        {choices.inPort, m_session.inSettings(), choices.inHandshake},
                        m_session.lineOptions().frames);
    } catch (const Component::RuntimeError &error) {
        ModuleFun::ShowMessage(ModuleFun::ErrorReport(error.number(), error.description(), OpenFailed),
                               ModuleFun::AlignLeft);
        return;
    }
    // The day's capture file of the main window, under a header of its own.
    m_monitor.setCapture(nullptr);
    if (m_session.capturing()) {
        const QFileInfo file(m_session.capture().filePath());
        m_capture.setFile(file.path(), CaptureLog::fileNameFor(QDate::currentDate()));
        CaptureHeader header = m_session.captureHeader();
        header.modeName = Caption.source();
        m_capture.addHeader(header, QDateTime::currentDateTime());
        m_monitor.setCapture(&m_capture);
    }
    setCaption(StopCaption);
}

void FormMonitor::stop()
{
    if (!m_monitor.running())
        return;
    m_monitor.stop();
    m_monitor.setCapture(nullptr);
    if (m_capture.flush() == CaptureLog::WriteStatus::Failed)
        ModuleFun::ShowMessage(m_capture.failureHint(), ModuleFun::AlignLeft);
    setCaption(StartCaption);
}

void FormMonitor::clearClicked()
{
    TextMonitor->clear();
    m_monitor.clearLog();
}

void FormMonitor::exportClicked()
{
    saveCsv(m_monitor.csv(), QString());
}

// A capture is read whole for this: one larger than the bound is refused.
void FormMonitor::exportCaptureClicked()
{
    const QString folder = QFileInfo(m_session.capture().filePath()).path();
    const QString path = QFileDialog::getOpenFileName(this, tr("捕获文件转 CSV"), folder,
                                                      tr("捕获文件 (*.txt)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (file.size() > CaptureExportBytes) {
        ModuleFun::ShowMessage(CaptureTooLarge.arg(CaptureExportBytes / (1024 * 1024)), ModuleFun::AlignCentre);
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        ModuleFun::ShowMessage(ReadFailed.arg(path), ModuleFun::AlignCentre);
        return;
    }
    const QFileInfo info(path);
    saveCsv(CsvTable::write(CaptureLog::tableOf(SystemCodePage::toUnicode(file.readAll()))),
            info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".csv"));
}

void FormMonitor::saveCsv(const QByteArray &csv, const QString &suggested)
{
    const QString path = QFileDialog::getSaveFileName(this, tr("导出 CSV"), suggested,
                                                      tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(csv) < 0 || !file.flush())
        ModuleFun::ShowMessage(ExportFailed.arg(path), ModuleFun::AlignCentre);
}

void FormMonitor::showEntry(const PortMonitor::Entry &entry)
{
    TextMonitor->appendEntry(PortMonitor::shown(entry, CheckMonitorHex->isChecked(),
                                                m_session.lineOptions().frames.showGap),
                             entry.newLine);
}
