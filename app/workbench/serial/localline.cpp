// Velmora workbench. Licensed under the MIT licence.
#include "localline.h"

#include <runtimeerror.h>
#include "commerrors.h"
#include "deviceaccess.h"
#include "serialline.h"

#include <QCoreApplication>

#include <utility>

namespace {

// Bounds what a port nobody reads (the sending port) can pile up; the engine reads
// far less than this between two receive events.
constexpr qint64 ReadBufferBytes = 1 << 20;

// A driver may round a rate to what its clock divides; a UART still works within 1%.
bool holdsRate(qint32 held, qint32 wanted)
{
    return held > 0 && qAbs(qint64(held) - wanted) * 100 <= wanted;
}

QSerialPort::DataBits dataBitsOf(int bits)
{
    return QSerialPort::DataBits(bits);   // Data5..Data8 are the bit counts themselves
}

QSerialPort::StopBits stopBitsOf(LineSettings::StopBits stop)
{
    switch (stop) {
    case LineSettings::StopBits::One: return QSerialPort::OneStop;
    case LineSettings::StopBits::Two: return QSerialPort::TwoStop;
    case LineSettings::StopBits::OneAndHalf: break;
    }
    return SerialLine::oneAndHalfStopBits();
}

CommLine::Refusal refusalOf(SerialLine::LineSetting setting)
{
    switch (setting) {
    case SerialLine::LineSetting::None: return CommLine::Refusal::None;
    case SerialLine::LineSetting::DataBits: return CommLine::Refusal::DataBits;
    case SerialLine::LineSetting::Parity: return CommLine::Refusal::Parity;
    case SerialLine::LineSetting::StopBits: break;
    }
    return CommLine::Refusal::StopBits;
}

} // namespace

LocalLine::LocalLine(const QString &device, const QString &portText, QObject *parent)
    : CommLine(parent), m_device(device), m_portText(portText)
{
    connect(&m_port, &QSerialPort::readyRead, this, &CommLine::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &LocalLine::onPortError);
}

LocalLine::~LocalLine()
{
    m_lines.reset();
    if (m_port.isOpen()) {
        restoreRs485();
        m_port.close();
    }
}

void LocalLine::open()
{
    const QString heldElsewhere =
        QCoreApplication::translate("CommPort", "%1已经打开，可能被其他应用程序占用").arg(m_portText);
    m_port.setPortName(m_device);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const int number = SerialLine::openErrorNumber(m_device, m_port.error());
        const QString reason = m_port.errorString();
        m_port.clearError();
        if (number == CommErrors::ErrorPortInUse)
            fail(number, heldElsewhere);
        if (number == CommErrors::ErrorPermission)
            fail(number, DeviceAccess::refusal(m_portText, m_device, SerialLine::permissionHint(m_device)));
        fail(number, QCoreApplication::translate("CommPort", "%1（%2）无法打开：%3").arg(m_portText, m_device, reason));
    }
    if (!SerialLine::holdExclusively(m_port)) {
        m_port.close();
        fail(CommErrors::ErrorPortInUse, heldElsewhere);
    }
    m_lines = ModemLines::of(m_port);
    m_port.setReadBufferSize(ReadBufferBytes);
}

CommLine::Refusal LocalLine::applyLine(const LineSettings &line)
{
    const Refusal refusal = setterRefusal(line);
    m_port.clearError();
    if (refusal != Refusal::None)
        return refusal;
    // A driver may keep another value without saying so (QSerialPort misses 5 data bits,
    // and a pseudo-terminal keeps 8 bits and no parity): what the line holds decides.
    return refusalOf(SerialLine::unappliedSetting(m_port, line));
}

CommLine::Refusal LocalLine::setterRefusal(const LineSettings &line)
{
    if (!applyBaudRate(line.baudRate))
        return Refusal::BaudRate;
    if (!m_port.setDataBits(dataBitsOf(line.dataBits)))
        return Refusal::DataBits;
    if (!m_port.setParity(line.parity))
        return Refusal::Parity;
    if (!m_port.setStopBits(stopBitsOf(line.stopBits)))
        return Refusal::StopBits;
    return Refusal::None;
}

// A rate the standard ones do not hold goes through the driver's interface for any
// rate; the rate the line then runs at decides, as for the other settings.
bool LocalLine::applyBaudRate(qint32 rate)
{
    if (m_port.setBaudRate(rate)) {
        const qint32 held = SerialLine::lineBaudRate(m_port);
        if (held == 0 || holdsRate(held, rate))
            return true;
    }
    m_port.clearError();
    return SerialLine::setArbitraryBaudRate(m_port, rate) && holdsRate(SerialLine::lineBaudRate(m_port), rate);
}

bool LocalLine::applyHandshake(int handshaking)
{
    static const QSerialPort::FlowControl qtFlow[] = {
        QSerialPort::NoFlowControl, QSerialPort::SoftwareControl,
        QSerialPort::HardwareControl, QSerialPort::HardwareControl,
    };
    constexpr int Both = 3;
    bool applied = m_port.setFlowControl(qtFlow[handshaking]);
    if (applied && handshaking == Both)
        applied = SerialLine::addXonXoffToHardwareFlow(m_port);
    m_port.clearError();
    return applied;
}

CommLine::Rs485Outcome LocalLine::applyRs485(const Rs485Settings &settings)
{
    using Kind = Rs485Outcome::Kind;
    switch (settings.direction) {
    case Rs485Settings::Direction::Off:
        return {};
    case Rs485Settings::Direction::Driver:
        return applyDriverRs485(settings);
    case Rs485Settings::Direction::Program:
        // Every write raises RTS itself; between writes it rests at the receiving level.
        if (!SerialLine::setRequestToSend(m_port, !settings.rtsHighWhileSending))
            return {Kind::NoRts, {}};
        m_rs485 = settings;
        return {};
    }
    return {};
}

// A driver may take other values than asked without an error (rewrite the RTS flags,
// round or cap the delays): what it reads back is what the user is shown.
CommLine::Rs485Outcome LocalLine::applyDriverRs485(const Rs485Settings &settings)
{
    using Kind = Rs485Outcome::Kind;
    auto failure = [](DriverAnswer answer) {
        switch (answer) {
        case DriverAnswer::NoMode: return Kind::NoDriverMode;
        case DriverAnswer::Refused: return Kind::DriverRefused;
        case DriverAnswer::Done:
        case DriverAnswer::Failed: break;
        }
        return Kind::Failed;
    };
    DriverRs485 before;
    DriverAnswer answer = SerialLine::readDriverRs485(m_port, before);
    if (answer != DriverAnswer::Done)
        return {failure(answer), {}};
    const DriverRs485 asked = DriverRs485::of(settings);
    answer = SerialLine::writeDriverRs485(m_port, asked);
    if (answer != DriverAnswer::Done)
        return {failure(answer), {}};
    m_driverBefore = before;
    m_rs485 = settings;
    DriverRs485 held;
    if (SerialLine::readDriverRs485(m_port, held) != DriverAnswer::Done)
        return {Kind::Failed, {}};
    return {Kind::Applied, DriverRs485::differences(asked, held)};
}

void LocalLine::restoreRs485()
{
    if (const std::optional<DriverRs485> before = std::exchange(m_driverBefore, std::nullopt))
        SerialLine::writeDriverRs485(m_port, *before);
    if (m_rs485.direction == Rs485Settings::Direction::Program)
        SerialLine::setRequestToSend(m_port, !m_rs485.rtsHighWhileSending);
    m_rs485 = {};
}

void LocalLine::write(const QByteArray &bytes)
{
    if (m_rs485.direction == Rs485Settings::Direction::Program) {
        // Synchronous, so that RTS falls right after the last bit: nothing queues.
        if (!SerialLine::writeSwitched(m_port, bytes, m_rs485, m_lastBitGone))
            fail(CommErrors::ErrorDeviceIo,
                 QCoreApplication::translate("CommPort", "%1发送数据失败：无法切换 RTS 或写入设备").arg(m_portText));
        return;
    }
    const bool queueWasEmpty = m_port.bytesToWrite() == 0;
    if (m_port.write(bytes) != bytes.size())
        fail(CommErrors::ErrorDeviceIo,
             QCoreApplication::translate("CommPort", "%1发送数据失败：%2").arg(m_portText, m_port.errorString()));
    // The far end's answer time counts: the bytes go to the driver now, not on the
    // next pass of the event loop. Behind a backlog they wait their turn anyway.
    if (queueWasEmpty)
        m_port.flush();
}

bool LocalLine::updateLineErrors(LineErrorCounts &counts)
{
    return SerialLine::updateLineErrors(m_port, counts);
}

void LocalLine::onPortError(QSerialPort::SerialPortError error)
{
    // A device that went away shows as a failing read or write (a pseudo-terminal whose
    // far end closed reads end-of-file forever); the port is given up, not polled again.
    const bool failedIo = error == QSerialPort::ResourceError || error == QSerialPort::ReadError
        || error == QSerialPort::WriteError;
    if (!failedIo || !m_port.isOpen() || m_lost)
        return;
    // A line that cannot take more just now (a slow far end fills the output buffer)
    // is still there: the queued bytes go out when it drains.
    if (SerialLine::lineStillThere(m_port)) {
        m_port.clearError();
        return;
    }
    m_lost = true;
    emit lost();
}

void LocalLine::fail(int number, const QString &description)
{
    throw Component::RuntimeError(number, description);
}
