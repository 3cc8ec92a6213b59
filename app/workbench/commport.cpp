// Velmora workbench. Licensed under the MIT licence.
#include "commport.h"

#include <runtimeerror.h>
#include "linesettings.h"
#include "portmap.h"
#include "serialline.h"
#include "systemcodepage.h"

#include <uitext.h>

#include <QSet>
#include <QTimer>

#include <limits>

namespace {

const QString DefaultSettings = QStringLiteral("9600,N,8,1");

// Bounds what a port nobody reads (the sending port) can pile up; the engine reads
// far less than this between two receive events.
constexpr qint64 ReadBufferBytes = 1 << 20;

constexpr int UnsupportedDataBits = 4;
constexpr int OneAndHalfStopDataBits = 5;

// Refusals more than one step of setting the line up gives.
const UiText DataBitsUnsupported("CommPort", QT_TRANSLATE_NOOP("CommPort", "%1不支持 %2 个数据位"));
const UiText StopBitsUnset("CommPort", QT_TRANSLATE_NOOP("CommPort", "%1无法设置停止位"));

enum Handshake : int { HandshakeNone = 0, HandshakeXonXoff = 1, HandshakeRtsCts = 2, HandshakeBoth = 3 };

// A driver may round a rate to what its clock divides; a UART still works within 1%.
bool holdsRate(qint32 held, qint32 wanted)
{
    return held > 0 && qAbs(qint64(held) - wanted) * 100 <= wanted;
}

// A device is never open twice in this process, whichever CommPort asks.
QSet<QString> &devicesInUse()
{
    static QSet<QString> devices;
    return devices;
}

qint16 clampedCount(qint64 count)
{
    return qint16(qMin<qint64>(count, std::numeric_limits<qint16>::max()));
}

QSerialPort::DataBits dataBitsOf(int bits)
{
    return QSerialPort::DataBits(bits);   // Data5..Data8 are the bit counts themselves
}

} // namespace

struct CommPort::Private
{
    QSerialPort port;
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
    std::unique_ptr<ModemLines> lines;   // while open
    QTimer breakTimer;
};

CommPort::CommPort(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    connect(&d->port, &QSerialPort::readyRead, this, &CommPort::onArrival);
    connect(&d->port, &QSerialPort::errorOccurred, this, &CommPort::onPortError);
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
    return d->port.isOpen();
}

void CommPort::setPortOpen(bool open)
{
    if (open == PortOpen())
        return;
    if (open)
        openPort();
    else
        closePort();
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
    return PortOpen() ? clampedCount(d->port.bytesAvailable()) : 0;
}

void CommPort::setInBufferCount(qint16 count)
{
    requireOpen();
    if (count != 0)
        fail(ErrorInvalidSetting, tr("接收缓冲区计数只能设为 0"));
    d->port.clear(QSerialPort::Input);
    d->decoder.reset();
}

qint16 CommPort::OutBufferCount() const
{
    return PortOpen() ? clampedCount(d->port.bytesToWrite()) : 0;
}

void CommPort::setOutBufferCount(qint16 count)
{
    requireOpen();
    if (count != 0)
        fail(ErrorInvalidSetting, tr("发送缓冲区计数只能设为 0"));
    d->port.clear(QSerialPort::Output);
}

qint64 CommPort::OutputPending() const
{
    return PortOpen() ? d->port.bytesToWrite() : 0;
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
    const bool queueWasEmpty = d->port.bytesToWrite() == 0;
    if (d->port.write(bytes) != bytes.size())
        fail(ErrorDeviceIo, tr("%1发送数据失败：%2").arg(portText(), d->port.errorString()));
    // The far end's answer time counts: the bytes go to the driver now, not on the
    // next pass of the event loop. Behind a backlog they wait their turn anyway.
    if (queueWasEmpty)
        d->port.flush();
    if (d->deviceLostQueued)
        fail(ErrorDeviceIo, tr("%1发送数据失败：设备已断开").arg(portText()));
}

QVariant CommPort::Input()
{
    requireOpen();
    const QByteArray bytes = d->port.readAll();
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
    if (PortOpen())
        applyControlLines();
}

bool CommPort::RTSEnable() const
{
    return d->rts;
}

void CommPort::setRTSEnable(bool enable)
{
    d->rts = enable;
    if (PortOpen())
        applyControlLines();
}

std::optional<ModemLines::Inputs> CommPort::ModemInputs() const
{
    if (!PortOpen())
        return std::nullopt;
    return d->lines->inputs();
}

bool CommPort::sendBreak()
{
    requireOpen();
    if (!d->lines->setBreak(true))
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
    if (PortOpen())
        d->lines->setBreak(false);
}

bool CommPort::heldByThisProgram(const QString &device)
{
    return devicesInUse().contains(SerialLine::canonicalDevice(device));
}

void CommPort::openPort()
{
    const QString mapped = mappedDevice();
    const QString device = SerialLine::canonicalDevice(mapped);
    if (devicesInUse().contains(device))
        fail(ErrorPortInUse, tr("%1已经被本程序打开").arg(portText()));
    checkLineSupported();
    openDevice(mapped);
    d->lines = ModemLines::of(d->port);
    try {
        applyLine();
        applyHandshake();
    } catch (const Component::RuntimeError &) {
        d->lines.reset();
        d->port.close();
        throw;
    }
    applyControlLines();
    d->port.setReadBufferSize(ReadBufferBytes);
    d->device = device;
    devicesInUse().insert(device);
    d->decoder.reset();
    d->event = 0;
    d->lineErrors = {};
    d->hasLineCounters = SerialLine::updateLineErrors(d->port, d->lineErrors);
}

QString CommPort::mappedDevice() const
{
    const QString mapped = PortMap::load().device(d->number);
    if (mapped.isEmpty())
        fail(ErrorPortNotFound, tr("%1不存在：只能使用 Com %2 到 Com %3")
                                    .arg(portText())
                                    .arg(PortMap::FirstPort)
                                    .arg(PortMap::LastPort));
    if (!SerialLine::deviceExists(mapped))
        fail(ErrorPortNotFound, tr("%1（%2）不存在").arg(portText(), mapped));
    return mapped;
}

void CommPort::openDevice(const QString &device)
{
    const QString heldElsewhere = tr("%1已经打开，可能被其他应用程序占用").arg(portText());
    d->port.setPortName(device);
    if (!d->port.open(QIODevice::ReadWrite)) {
        const int number = SerialLine::openErrorNumber(device, d->port.error());
        const QString reason = d->port.errorString();
        d->port.clearError();
        if (number == ErrorPortInUse)
            fail(number, heldElsewhere);
        if (number == ErrorPermission)
            fail(number, tr("没有权限打开%1（%2）。%3").arg(portText(), device, SerialLine::permissionHint()));
        fail(number, tr("%1（%2）无法打开：%3").arg(portText(), device, reason));
    }
    if (!SerialLine::holdExclusively(d->port)) {
        d->port.close();
        fail(ErrorPortInUse, heldElsewhere);
    }
}

void CommPort::closePort()
{
    d->thresholdCheckQueued = false;
    d->deviceLostQueued = false;
    if (!d->port.isOpen())
        return;
    if (Break())
        endBreak();
    d->lines.reset();
    d->port.close();
    d->port.clearError();
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
    if (!applyBaudRate(line.baudRate))
        fail(ErrorBaudRate, tr("%1不支持波特率 %2").arg(portText()).arg(line.baudRate));
    if (!d->port.setDataBits(dataBitsOf(line.dataBits)))
        fail(ErrorDataBits, DataBitsUnsupported.arg(portText()).arg(line.dataBits));
    if (!d->port.setParity(line.parity))
        fail(ErrorLineSetting, tr("%1无法设置校验方式").arg(portText()));
    const QSerialPort::StopBits stop = line.stopBits == LineSettings::StopBits::One ? QSerialPort::OneStop
        : line.stopBits == LineSettings::StopBits::Two                              ? QSerialPort::TwoStop
                                                                                    : SerialLine::oneAndHalfStopBits();
    if (!d->port.setStopBits(stop))
        fail(ErrorLineSetting, StopBitsUnset.arg(portText()));
    d->port.clearError();
    verifyLine();
}

// A rate the standard ones do not hold goes through the driver's interface for any
// rate; the rate the line then runs at decides, as for the other settings.
bool CommPort::applyBaudRate(qint32 rate)
{
    if (d->port.setBaudRate(rate)) {
        const qint32 held = SerialLine::lineBaudRate(d->port);
        if (held == 0 || holdsRate(held, rate))
            return true;
    }
    d->port.clearError();
    return SerialLine::setArbitraryBaudRate(d->port, rate)
        && holdsRate(SerialLine::lineBaudRate(d->port), rate);
}

// A driver may keep another value without saying so (QSerialPort misses 5 data bits,
// and a pseudo-terminal keeps 8 bits and no parity): what the line holds decides.
void CommPort::verifyLine()
{
    switch (SerialLine::unappliedSetting(d->port, d->line)) {
    case SerialLine::LineSetting::None:
        return;
    case SerialLine::LineSetting::DataBits:
        fail(ErrorDataBits, DataBitsUnsupported.arg(portText()).arg(d->line.dataBits));
    case SerialLine::LineSetting::Parity:
        fail(ErrorLineSetting, tr("%1不支持校验方式 %2")
                                   .arg(portText())
                                   .arg(LineSettings::parityLetter(d->line.parity)));
    case SerialLine::LineSetting::StopBits:
        fail(ErrorLineSetting, StopBitsUnset.arg(portText()));
    }
}

void CommPort::applyHandshake()
{
    static const QSerialPort::FlowControl qtFlow[] = {
        QSerialPort::NoFlowControl, QSerialPort::SoftwareControl,
        QSerialPort::HardwareControl, QSerialPort::HardwareControl,
    };
    bool applied = d->port.setFlowControl(qtFlow[d->handshaking]);
    if (applied && d->handshaking == HandshakeBoth)
        applied = SerialLine::addXonXoffToHardwareFlow(d->port);
    d->port.clearError();
    if (!applied)
        fail(ErrorLineSetting, tr("%1无法设置握手方式 %2").arg(portText()).arg(d->handshaking));
}

void CommPort::applyControlLines()
{
    // Devices without modem lines (pseudo-terminals) refuse these; that is harmless.
    d->lines->setDataTerminalReady(d->dtr);
    if (d->handshaking == HandshakeNone || d->handshaking == HandshakeXonXoff)
        d->lines->setRequestToSend(d->rts);
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
        if (SerialLine::updateLineErrors(d->port, now)) {
            const QList<qint16> events = now.eventsSince(d->lineErrors);
            d->lineErrors = now;
            for (qint16 event : events) {
                if (!PortOpen())
                    return;
                raise(event);
            }
        }
    }
    if (PortOpen() && d->threshold > 0 && d->port.bytesAvailable() >= d->threshold)
        raise(EvReceive);
}

void CommPort::onPortError(QSerialPort::SerialPortError error)
{
    // A device that went away shows as a failing read or write (a pseudo-terminal whose
    // far end closed reads end-of-file forever); the port is given up, not polled again.
    const bool failedIo = error == QSerialPort::ResourceError || error == QSerialPort::ReadError
        || error == QSerialPort::WriteError;
    if (!failedIo || !PortOpen() || d->deviceLostQueued)
        return;
    // A line that cannot take more just now (a slow far end fills the output buffer)
    // is still there: the queued bytes go out when it drains.
    if (SerialLine::lineStillThere(d->port)) {
        d->port.clearError();
        return;
    }
    // Closed from the event loop, not from inside QSerialPort's own notification.
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
            if (PortOpen() && d->threshold > 0 && d->port.bytesAvailable() >= d->threshold)
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
