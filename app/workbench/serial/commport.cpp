// Velmora workbench. Licensed under the MIT licence.
#include "commport.h"

#include <runtimeerror.h>
#include "echofilter.h"
#include "linesettings.h"
#include "localline.h"
#include "portmap.h"
#include "remoteaddress.h"
#include "remoteline.h"
#include "serialline.h"
#include "steadyclock.h"
#include "systemcodepage.h"

#include <uitext.h>

#include <QSet>
#include <QTimer>

#include <limits>
#include <utility>

namespace {

const QString DefaultSettings = QStringLiteral("9600,N,8,1");

constexpr int UnsupportedDataBits = 4;
constexpr int OneAndHalfStopDataBits = 5;

// Refusals more than one step of setting the line up gives.
const UiText DataBitsUnsupported("CommPort", QT_TRANSLATE_NOOP("CommPort", "%1不支持 %2 个数据位"));
const UiText StopBitsUnset("CommPort", QT_TRANSLATE_NOOP("CommPort", "%1无法设置停止位"));

enum Handshake : int { HandshakeNone = 0, HandshakeXonXoff = 1, HandshakeRtsCts = 2, HandshakeBoth = 3 };

// A device is never open twice in this process, whichever CommPort asks.
QSet<QString> &devicesInUse()
{
    static QSet<QString> devices;
    return devices;
}

// What an echo-filtered port nobody reads (the sending port) may pile up, as a line's
// own read buffer bounds it.
constexpr qsizetype KeptBytes = 1 << 20;

qint16 clampedCount(qint64 count)
{
    return qint16(qMin<qint64>(count, std::numeric_limits<qint16>::max()));
}

} // namespace

struct CommPort::Private
{
    std::unique_ptr<CommLine> port;   // while open
    qint16 number = 1;
    QString settingsText = DefaultSettings;
    LineSettings line;
    int handshaking = HandshakeNone;
    qint16 threshold = 0;
    int inputMode = InputModeText;
    qint16 event = 0;
    SystemCodePage::StreamDecoder decoder;
    QString device;          // canonical name of the device while open
    bool hasLineCounters = false;
    LineErrorCounts lineErrors;
    bool thresholdCheckQueued = false;
    bool deviceLostQueued = false;
    bool dtr = true;
    bool rts = true;
    QTimer breakTimer;
    CommLine *opening = nullptr;   // the line of an open until it is set up
    std::optional<QDeadlineTimer> openDeadline;
    int lineCalls = 0;             // calls into the line that may wait, nested
    bool closeAfterCalls = false;
    QString lossReason;
    Rs485Settings rs485;      // of the open line
    Rs485Settings nextRs485;  // for the next open
    QStringList rs485Differences;
    EchoFilter echo;
    QByteArray kept;         // received and not an echo, while echoes are taken out
    qint64 sentAt = 0;
    qint64 arrivalAt = 0;
};

// A call into the line that may wait for its server inside the event loop. A close asked
// for meanwhile cancels the wait and takes effect when the outermost call returns: the
// line is still on the stack until then.
class CommPort::LineCall
{
public:
    explicit LineCall(CommPort &port) : m_port(port) { ++m_port.d->lineCalls; }
    ~LineCall()
    {
        if (--m_port.d->lineCalls == 0 && std::exchange(m_port.d->closeAfterCalls, false))
            m_port.closePort();
    }
    LineCall(const LineCall &) = delete;
    LineCall &operator=(const LineCall &) = delete;

private:
    CommPort &m_port;
};

CommPort::CommPort(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    d->breakTimer.setSingleShot(true);
    d->breakTimer.setInterval(BreakMilliseconds);
    connect(&d->breakTimer, &QTimer::timeout, this, &CommPort::endBreak);
}

CommPort::~CommPort()
{
    closePort();
}

qint16 CommPort::CommPortNumber() const
{
    return d->number;
}

void CommPort::setCommPort(qint16 port)
{
    if (PortOpen())
        fail(ErrorInvalidSetting, tr("%1已经打开，不能更改端口号").arg(portText()));
    d->number = port;
}

bool CommPort::PortOpen() const
{
    return d->port != nullptr;
}

// A close also calls off an open that waits for its server.
void CommPort::setPortOpen(bool open)
{
    if (!open)
        closePort();
    else if (!PortOpen())
        openPort();
}

QString CommPort::Settings() const
{
    return d->settingsText;
}

void CommPort::setSettings(const QString &settings)
{
    const LineSettings previous = d->line;
    d->line = LineSettings::parse(settings);
    if (PortOpen()) {
        const LineCall call(*this);
        try {
            applyLine();
        } catch (const Component::RuntimeError &) {
            d->line = previous;
            applyLine();
            throw;
        }
    }
    d->settingsText = settings;
}

int CommPort::Handshaking() const
{
    return d->handshaking;
}

void CommPort::setHandshaking(int handshaking)
{
    if (handshaking < HandshakeNone || handshaking > HandshakeBoth)
        fail(ErrorInvalidSetting, tr("握手方式 %1 无效：只能是 0 到 3").arg(handshaking));
    d->handshaking = handshaking;
    if (PortOpen()) {
        const LineCall call(*this);
        applyHandshake();
        applyControlLines();
    }
}

qint16 CommPort::RThreshold() const
{
    return d->threshold;
}

void CommPort::setRThreshold(qint16 threshold)
{
    if (threshold < 0)
        fail(ErrorInvalidSetting, tr("接收阈值 %1 无效：不能为负数").arg(threshold));
    d->threshold = threshold;
    // Reported later, never from inside this call: the engine lowers the threshold,
    // writes and restores it within one routine of its own.
    if (PortOpen() && threshold > 0)
        queueThresholdCheck();
}

int CommPort::InputMode() const
{
    return d->inputMode;
}

void CommPort::setInputMode(int mode)
{
    if (mode != InputModeText && mode != InputModeBinary)
        fail(ErrorInvalidSetting, tr("输入模式 %1 无效：只能是 0（文本）或 1（二进制）").arg(mode));
    d->inputMode = mode;
    d->decoder.reset();
}

qint16 CommPort::InBufferCount() const
{
    return PortOpen() ? clampedCount(available()) : 0;
}

qint64 CommPort::available() const
{
    return d->rs485.suppressEcho ? d->kept.size() : d->port->bytesAvailable();
}

void CommPort::setInBufferCount(qint16 count)
{
    requireOpen();
    if (count != 0)
        fail(ErrorInvalidSetting, tr("接收缓冲区计数只能设为 0"));
    d->port->discardInput();
    d->kept.clear();
    d->arrivalAt = 0;
    d->decoder.reset();
}

qint16 CommPort::OutBufferCount() const
{
    return PortOpen() ? clampedCount(d->port->bytesToWrite()) : 0;
}

void CommPort::setOutBufferCount(qint16 count)
{
    requireOpen();
    if (count != 0)
        fail(ErrorInvalidSetting, tr("发送缓冲区计数只能设为 0"));
    d->port->discardOutput();
}

qint64 CommPort::OutputPending() const
{
    return PortOpen() ? d->port->bytesToWrite() : 0;
}

void CommPort::setOutput(const QVariant &data)
{
    requireOpen();
    QByteArray bytes;
    if (data.typeId() == QMetaType::QByteArray)
        bytes = data.toByteArray();
    else if (data.typeId() == QMetaType::QString)
        bytes = SystemCodePage::fromUnicode(data.toString());
    else
        fail(ErrorInvalidSetting, tr("发送数据只能是文本或字节数组"));
    if (bytes.isEmpty())
        return;
    if (d->rs485.suppressEcho)
        d->echo.expect(bytes);
    d->port->write(bytes);
    const qint64 lastBitGone = d->port->lastBitGone();
    d->sentAt = lastBitGone != 0 ? lastBitGone : steadyNanoseconds();
    if (d->deviceLostQueued)
        fail(ErrorDeviceIo, tr("%1发送数据失败：设备已断开").arg(portText()));
}

QVariant CommPort::Input()
{
    requireOpen();
    const QByteArray bytes = d->rs485.suppressEcho ? std::exchange(d->kept, {}) : d->port->readAll();
    d->arrivalAt = 0;
    if (d->inputMode == InputModeBinary)
        return bytes;
    return d->decoder.decode(bytes);
}

qint16 CommPort::CommEvent() const
{
    return d->event;
}

bool CommPort::DTREnable() const
{
    return d->dtr;
}

void CommPort::setDTREnable(bool enable)
{
    d->dtr = enable;
    if (PortOpen()) {
        const LineCall call(*this);
        applyControlLines();
    }
}

bool CommPort::RTSEnable() const
{
    return d->rts;
}

void CommPort::setRTSEnable(bool enable)
{
    d->rts = enable;
    if (PortOpen()) {
        const LineCall call(*this);
        applyControlLines();
    }
}

std::optional<ModemLines::Inputs> CommPort::ModemInputs() const
{
    if (!PortOpen())
        return std::nullopt;
    return d->port->modemLines().inputs();
}

bool CommPort::sendBreak()
{
    requireOpen();
    const LineCall call(*this);
    if (!d->port->modemLines().setBreak(true))
        return false;
    d->breakTimer.start();
    return true;
}

bool CommPort::Break() const
{
    return d->breakTimer.isActive();
}

void CommPort::endBreak()
{
    d->breakTimer.stop();
    if (PortOpen()) {
        const LineCall call(*this);
        d->port->modemLines().setBreak(false);
    }
}

// An open port keeps what it opened with; the direction cannot change under a send.
void CommPort::setRs485(const Rs485Settings &settings)
{
    d->nextRs485 = settings;
}

Rs485Settings CommPort::Rs485() const
{
    return d->nextRs485;
}

QStringList CommPort::Rs485Differences() const
{
    return d->rs485Differences;
}

quint64 CommPort::EchoBytes() const
{
    return d->echo.echoBytes();
}

quint64 CommPort::EchoCollisions() const
{
    return d->echo.collisions();
}

qint64 CommPort::LastSentAt() const
{
    return d->sentAt;
}

qint64 CommPort::ArrivalAt() const
{
    return d->arrivalAt;
}

bool CommPort::heldByThisProgram(const QString &device)
{
    return devicesInUse().contains(SerialLine::canonicalDevice(device));
}

void CommPort::setOpenDeadline(std::optional<QDeadlineTimer> deadline)
{
    d->openDeadline = deadline;
}

bool CommPort::Busy() const
{
    return d->lineCalls > 0;
}

bool CommPort::DeviceLost() const
{
    return d->deviceLostQueued;
}

QString CommPort::LossReason() const
{
    return d->lossReason;
}

// A failed open leaves nothing behind: no line, no queued report of a loss.
void CommPort::openPort()
{
    const LineCall call(*this);
    const QString mapped = mappedDevice();
    const QString device = SerialLine::canonicalDevice(mapped);
    if (devicesInUse().contains(device))
        fail(ErrorPortInUse, tr("%1已经被本程序打开").arg(portText()));
    checkLineSupported();
    d->rs485 = d->nextRs485;
    // Refused before connecting: the server's open would raise RTS on its line.
    if (d->rs485.switched() && RemoteAddress::looksRemote(mapped))
        failRs485(CommLine::Rs485Outcome::Kind::Unavailable);
    // Both would drive RTS: the handshake for flow, RS-485 for the direction.
    if (d->rs485.switched() && (d->handshaking == HandshakeRtsCts || d->handshaking == HandshakeBoth))
        fail(ErrorLineSetting, tr("%1的 RS-485 方向切换要用 RTS 线，不能同时使用 RTS/CTS 握手").arg(portText()));
    std::unique_ptr<CommLine> line = lineTo(mapped);
    connect(line.get(), &CommLine::readyRead, this, &CommPort::onArrival);
    connect(line.get(), &CommLine::lost, this, &CommPort::onLost);
    connect(line.get(), &CommLine::connecting, this, &CommPort::Connecting);
    // Told after the start, never from inside it.
    connect(line.get(), &CommLine::notice, this, &CommPort::notice, Qt::QueuedConnection);
    line->setStartDeadline(d->openDeadline);
    d->lossReason.clear();
    d->opening = line.get();
    try {
        line->open();
        d->port = std::move(line);
        applyLine();
        applyHandshake();
        applyControlLines();
        applyRs485();
        // A server lost while the start set its line up fails the start, not the run.
        d->port->requireConnected();
    } catch (const Component::RuntimeError &) {
        d->opening = nullptr;
        d->port.reset();
        d->deviceLostQueued = false;
        d->thresholdCheckQueued = false;
        throw;
    }
    d->opening = nullptr;
    d->port->setStartDeadline(std::nullopt);
    d->device = device;
    devicesInUse().insert(device);
    d->decoder.reset();
    d->echo.reset();
    d->kept.clear();
    d->sentAt = 0;
    d->arrivalAt = 0;
    d->event = 0;
    d->lineErrors = {};
    d->hasLineCounters = d->port->updateLineErrors(d->lineErrors);
}

QString CommPort::mappedDevice() const
{
    const QString mapped = PortMap::load().device(d->number);
    if (mapped.isEmpty())
        fail(ErrorPortNotFound, tr("%1不存在：只能使用 Com %2 到 Com %3")
                                    .arg(portText())
                                    .arg(PortMap::FirstPort)
                                    .arg(PortMap::LastPort));
    if (RemoteAddress::looksRemote(mapped)) {
        if (!RemoteAddress::parse(mapped))
            fail(ErrorPortNotFound, tr("%1的网络地址“%2”无效：应为 tcp://主机:端口 或 rfc2217://主机:端口")
                                        .arg(portText(), mapped));
    } else if (!SerialLine::deviceExists(mapped)) {
        fail(ErrorPortNotFound, tr("%1（%2）不存在").arg(portText(), mapped));
    }
    return mapped;
}

std::unique_ptr<CommLine> CommPort::lineTo(const QString &device) const
{
    if (const std::optional<RemoteAddress> address = RemoteAddress::parse(device))
        return std::make_unique<RemoteLine>(*address, portText());
    return std::make_unique<LocalLine>(device, portText());
}

void CommPort::closePort()
{
    d->thresholdCheckQueued = false;
    d->deviceLostQueued = false;
    if (d->lineCalls > 0) {
        if (CommLine *line = d->opening ? d->opening : d->port.get()) {
            line->cancel();
            d->closeAfterCalls = true;
        }
        return;
    }
    if (!d->port)
        return;
    if (Break())
        endBreak();
    d->port.reset();
    devicesInUse().remove(d->device);
    d->device.clear();
}

void CommPort::checkLineSupported() const
{
    // Refused outright: the line never runs with a value other than the one asked for.
    if (d->line.dataBits == UnsupportedDataBits)
        fail(ErrorDataBits, DataBitsUnsupported.arg(portText()).arg(UnsupportedDataBits));
    if (d->line.stopBits == LineSettings::StopBits::OneAndHalf && d->line.dataBits != OneAndHalfStopDataBits)
        fail(ErrorLineSetting, tr("%1只有在 5 个数据位时才能使用 1.5 个停止位").arg(portText()));
}

void CommPort::applyLine()
{
    checkLineSupported();
    const LineSettings &line = d->line;
    switch (d->port->applyLine(line)) {
    case CommLine::Refusal::None:
        return;
    case CommLine::Refusal::BaudRate:
        fail(ErrorBaudRate, tr("%1不支持波特率 %2").arg(portText()).arg(line.baudRate));
    case CommLine::Refusal::DataBits:
        fail(ErrorDataBits, DataBitsUnsupported.arg(portText()).arg(line.dataBits));
    case CommLine::Refusal::Parity:
        fail(ErrorLineSetting, tr("%1不支持校验方式 %2")
                                   .arg(portText())
                                   .arg(LineSettings::parityLetter(line.parity)));
    case CommLine::Refusal::StopBits:
        fail(ErrorLineSetting, StopBitsUnset.arg(portText()));
    }
}

void CommPort::applyHandshake()
{
    if (!d->port->applyHandshake(d->handshaking))
        fail(ErrorLineSetting, tr("%1无法设置握手方式 %2").arg(portText()).arg(d->handshaking));
}

void CommPort::applyControlLines()
{
    // Devices without modem lines (pseudo-terminals) refuse these; that is harmless.
    ModemLines &lines = d->port->modemLines();
    lines.setDataTerminalReady(d->dtr);
    // Under RS-485 direction control RTS switches the transmitter: it is not the user's.
    if ((d->handshaking == HandshakeNone || d->handshaking == HandshakeXonXoff) && !d->rs485.switched())
        lines.setRequestToSend(d->rts);
}

void CommPort::applyRs485()
{
    using Kind = CommLine::Rs485Outcome::Kind;
    const CommLine::Rs485Outcome outcome = d->port->applyRs485(d->rs485);
    d->rs485Differences = outcome.differences;
    failRs485(outcome.kind);
}

void CommPort::failRs485(CommLine::Rs485Outcome::Kind kind) const
{
    using Kind = CommLine::Rs485Outcome::Kind;
    const QString byProgram = tr("请在“线路控制”中把 RS-485 改为“由程序切换”。");
    switch (kind) {
    case Kind::Applied:
        return;
    case Kind::Unavailable:
        fail(ErrorLineSetting, tr("%1是网络线路，RFC 2217 没有 RS-485 控制：请在服务器端设置 RS-485，"
                                  "并在“线路控制”中把 RS-485 设为“关闭”。")
                                   .arg(portText()));
    case Kind::NoDriverMode:
        fail(ErrorLineSetting, tr("%1的驱动程序没有 RS-485 模式（USB 转换器和伪终端多半如此）。").arg(portText())
                 + byProgram);
    case Kind::DriverRefused:
        fail(ErrorLineSetting, tr("%1的驱动程序拒绝了这组 RS-485 设置（有的驱动程序要求“发送时 RTS 为高”"
                                  "或“发送后 RTS 为高”之一，延时不超过 100 毫秒）。")
                                   .arg(portText())
                 + byProgram);
    case Kind::Failed:
        fail(ErrorLineSetting, tr("%1无法读取或设置驱动程序的 RS-485 模式。").arg(portText()) + byProgram);
    case Kind::NoRts:
        fail(ErrorLineSetting, tr("%1没有可由程序控制的 RTS 线，不能由程序切换收发方向。").arg(portText()));
    }
}

void CommPort::requireOpen() const
{
    if (!PortOpen())
        fail(ErrorNotOpen, tr("%1尚未打开，不能进行此操作").arg(portText()));
}

void CommPort::onArrival()
{
    if (d->hasLineCounters) {
        LineErrorCounts now = d->lineErrors;
        if (d->port->updateLineErrors(now)) {
            const QList<qint16> events = now.eventsSince(d->lineErrors);
            d->lineErrors = now;
            for (qint16 event : events) {
                if (!PortOpen())
                    return;
                raise(event);
            }
        }
    }
    if (!PortOpen())
        return;
    if (d->rs485.suppressEcho && !takeArrival())
        return;
    if (d->arrivalAt == 0)
        d->arrivalAt = steadyNanoseconds();
    if (d->threshold > 0 && available() >= d->threshold)
        raise(EvReceive);
}

// Echoes are taken out as they arrive, so that the threshold counts only what is kept;
// false when all of it was echo.
bool CommPort::takeArrival()
{
    const QByteArray kept = d->echo.filter(d->port->readAll());
    if (kept.isEmpty())
        return false;
    d->kept += kept;
    if (d->kept.size() > KeptBytes)
        d->kept.remove(0, d->kept.size() - KeptBytes);
    return true;
}

void CommPort::onLost()
{
    // An open that meets the loss fails itself.
    if (!PortOpen() || d->opening || d->deviceLostQueued)
        return;
    d->lossReason = d->port->lossReason();
    // Closed from the event loop, not from inside the line's own notification.
    d->deviceLostQueued = true;
    QMetaObject::invokeMethod(this, &CommPort::reportDeviceLost, Qt::QueuedConnection);
}

void CommPort::queueThresholdCheck()
{
    if (d->thresholdCheckQueued)
        return;
    d->thresholdCheckQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!d->thresholdCheckQueued)
                return;
            d->thresholdCheckQueued = false;
            if (PortOpen() && d->threshold > 0 && available() >= d->threshold)
                raise(EvReceive);
        },
        Qt::QueuedConnection);
}

void CommPort::reportDeviceLost()
{
    if (!d->deviceLostQueued)
        return;
    closePort();
    raise(EventDeviceLost);
}

void CommPort::raise(qint16 event)
{
    d->event = event;
    emit OnComm();
}

void CommPort::fail(int number, const QString &description) const
{
    throw Component::RuntimeError(number, description);
}

QString CommPort::portText() const
{
    return tr("端口Com %1").arg(d->number);
}
