// Velmora workbench. Licensed under the MIT licence.
#include "serialline.h"

#include "commerrors.h"
#include "linesettings.h"
#include "steadyclock.h"

#include <QCoreApplication>
#include <QSerialPortInfo>

#include <algorithm>

#include <windows.h>

#include <iterator>

namespace SerialLine {

namespace {

constexpr int FirstDeviceSpacePort = 10;   // from COM10 on, Windows needs the device name space
constexpr char XonChar = 0x11;
constexpr char XoffChar = 0x13;

// The modem lines through EscapeCommFunction and GetCommModemStatus.
class WindowsModemLines : public ModemLines
{
public:
    explicit WindowsModemLines(HANDLE handle) : m_handle(handle) {}

    bool setDataTerminalReady(bool on) override { return escape(on ? SETDTR : CLRDTR); }
    bool setRequestToSend(bool on) override { return escape(on ? SETRTS : CLRRTS); }

    std::optional<Inputs> inputs() override
    {
        DWORD status = 0;
        if (!::GetCommModemStatus(m_handle, &status))
            return std::nullopt;
        return Inputs {bool(status & MS_CTS_ON), bool(status & MS_DSR_ON), bool(status & MS_RLSD_ON),
                       bool(status & MS_RING_ON)};
    }

    bool setBreak(bool on) override { return escape(on ? SETBREAK : CLRBREAK); }

private:
    bool escape(DWORD function) { return ::EscapeCommFunction(m_handle, function) != 0; }

    HANDLE m_handle;
};

constexpr int StalledWriteMs = 2000;

bool escapeRts(HANDLE handle, bool raised)
{
    return ::EscapeCommFunction(handle, raised ? SETRTS : CLRRTS) != 0;
}

void sleepMilliseconds(int ms)
{
    if (ms > 0)
        ::Sleep(DWORD(ms));
}

} // namespace

QString builtInDevice(int port)
{
    const QString name = QStringLiteral("COM%1").arg(port);
    return port >= FirstDeviceSpacePort ? QStringLiteral("\\\\.\\") + name : name;
}

bool usesPortFile()
{
    return false;
}

QString canonicalDevice(const QString &device)
{
    QString name = device.toUpper();
    if (name.startsWith(QLatin1String("\\\\.\\")))
        name.remove(0, 4);
    return name;
}

bool deviceExists(const QString &)
{
    // Windows has no device node to look at; the open tells.
    return true;
}

bool deviceSeen(const QString &device, const QList<QSerialPortInfo> &listed)
{
    const QString name = canonicalDevice(device);
    return std::any_of(listed.cbegin(), listed.cend(), [&name](const QSerialPortInfo &info) {
        return info.portName().compare(name, Qt::CaseInsensitive) == 0;
    });
}

QMap<QString, QString> stableNames()
{
    // A port keeps its COM name across replugs of the same adapter.
    return {};
}

DeviceState probeDevice(const QString &device, const QStringList &)
{
    // Windows lists its ports but shows no holder of one: a port the system lists is
    // opened for a moment to tell whether another program has it.
    const QString name = canonicalDevice(device);
    const QList<QSerialPortInfo> listed = QSerialPortInfo::availablePorts();
    const bool known = std::any_of(listed.cbegin(), listed.cend(), [&name](const QSerialPortInfo &info) {
        return info.portName().compare(name, Qt::CaseInsensitive) == 0;
    });
    if (!known)
        return DeviceState::Missing;
    const std::wstring path = (QStringLiteral("\\\\.\\") + name).toStdWString();
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? DeviceState::HeldElsewhere
                                                                                : DeviceState::Missing;
    }
    ::CloseHandle(handle);
    return DeviceState::Free;
}

QStringList lockFolders()
{
    return {};   // Windows serial programs keep no lock files
}

int openErrorNumber(const QString &, QSerialPort::SerialPortError error)
{
    // Windows refuses a port another program holds with "access denied".
    return error == QSerialPort::PermissionError ? CommErrors::ErrorPortInUse : CommErrors::ErrorPortNotFound;
}

QString permissionHint(const QString &)
{
    return QCoreApplication::translate("SerialLine", "系统拒绝访问此设备。");
}

bool holdExclusively(QSerialPort &)
{
    return true;   // Windows opens serial ports exclusively
}

QSerialPort::StopBits oneAndHalfStopBits()
{
    return QSerialPort::OneAndHalfStop;
}

bool addXonXoffToHardwareFlow(QSerialPort &port)
{
    DCB dcb {};
    dcb.DCBlength = sizeof(dcb);
    if (!::GetCommState(port.handle(), &dcb))
        return false;
    dcb.fOutxCtsFlow = TRUE;
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.fOutX = TRUE;
    dcb.fInX = TRUE;
    dcb.XonChar = XonChar;
    dcb.XoffChar = XoffChar;
    return ::SetCommState(port.handle(), &dcb) != 0;
}

LineSetting unappliedSetting(QSerialPort &port, const LineSettings &line)
{
    DCB dcb {};
    dcb.DCBlength = sizeof(dcb);
    if (!::GetCommState(port.handle(), &dcb))
        return LineSetting::None; // nothing to read back; the setters reported their failures
    if (dcb.ByteSize != line.dataBits)
        return LineSetting::DataBits;
    static const BYTE parities[] = {NOPARITY, NOPARITY, EVENPARITY, ODDPARITY, SPACEPARITY, MARKPARITY};
    const int index = int(line.parity);   // QSerialPort: 0 none, 2 even, 3 odd, 4 space, 5 mark
    if (index >= 0 && index < int(std::size(parities)) && dcb.Parity != parities[index])
        return LineSetting::Parity;
    const BYTE stop = line.stopBits == LineSettings::StopBits::One ? ONESTOPBIT
        : line.stopBits == LineSettings::StopBits::Two              ? TWOSTOPBITS
                                                                    : ONE5STOPBITS;
    return dcb.StopBits == stop ? LineSetting::None : LineSetting::StopBits;
}

qint32 lineBaudRate(QSerialPort &port)
{
    DCB dcb {};
    dcb.DCBlength = sizeof(dcb);
    return ::GetCommState(port.handle(), &dcb) ? qint32(dcb.BaudRate) : 0;
}

bool setArbitraryBaudRate(QSerialPort &port, qint32 rate)
{
    // The DCB carries any rate; the driver refuses one it cannot set.
    DCB dcb {};
    dcb.DCBlength = sizeof(dcb);
    if (!::GetCommState(port.handle(), &dcb))
        return false;
    dcb.BaudRate = DWORD(rate);
    return ::SetCommState(port.handle(), &dcb) != 0;
}

std::unique_ptr<ModemLines> modemLines(QSerialPort &port)
{
    return std::make_unique<WindowsModemLines>(port.handle());
}

bool lineStillThere(QSerialPort &port)
{
    DWORD errors = 0;
    return ::ClearCommError(port.handle(), &errors, nullptr) != 0;
}

bool updateLineErrors(QSerialPort &port, LineErrorCounts &counts)
{
    DWORD errors = 0;
    if (!::ClearCommError(port.handle(), &errors, nullptr))
        return false;
    counts.frame += (errors & CE_FRAME) ? 1 : 0;
    counts.parity += (errors & CE_RXPARITY) ? 1 : 0;
    counts.overrun += (errors & CE_OVERRUN) ? 1 : 0;
    counts.bufferOverrun += (errors & CE_RXOVER) ? 1 : 0;
    counts.breaks += (errors & CE_BREAK) ? 1 : 0;
    return true;
}

// Windows has no RS-485 structure; its one RS-485 mode is the DCB's RTS toggle, RTS
// raised while bytes go out, without delays and with the receiver left on.
DriverAnswer readDriverRs485(QSerialPort &port, DriverRs485 &held)
{
    DCB dcb {};
    dcb.DCBlength = sizeof(dcb);
    if (!::GetCommState(port.handle(), &dcb))
        return DriverAnswer::Failed;
    held = {};
    held.enabled = dcb.fRtsControl == RTS_CONTROL_TOGGLE;
    held.rtsOnSend = held.enabled;
    held.receiveDuringSend = held.enabled;
    return DriverAnswer::Done;
}

DriverAnswer writeDriverRs485(QSerialPort &port, const DriverRs485 &wanted)
{
    if (wanted.enabled && !wanted.rtsOnSend)
        return DriverAnswer::Refused;
    DCB dcb {};
    dcb.DCBlength = sizeof(dcb);
    if (!::GetCommState(port.handle(), &dcb))
        return DriverAnswer::Failed;
    dcb.fRtsControl = wanted.enabled ? RTS_CONTROL_TOGGLE : RTS_CONTROL_ENABLE;
    return ::SetCommState(port.handle(), &dcb) ? DriverAnswer::Done : DriverAnswer::Refused;
}

bool setRequestToSend(QSerialPort &port, bool raised)
{
    return escapeRts(port.handle(), raised);
}

bool writeSwitched(QSerialPort &port, const QByteArray &bytes, const Rs485Settings &rs485, qint64 &lastBitGone)
{
    const HANDLE handle = port.handle();
    if (!escapeRts(handle, rs485.rtsHighWhileSending))
        return false;
    sleepMilliseconds(rs485.delayBeforeMs);
    // FlushFileBuffers returns when the driver has sent everything it holds.
    const bool written = port.write(bytes) == bytes.size() && port.waitForBytesWritten(StalledWriteMs)
        && ::FlushFileBuffers(handle);
    lastBitGone = steadyNanoseconds();
    if (written)
        sleepMilliseconds(rs485.delayAfterMs);
    return escapeRts(handle, !rs485.rtsHighWhileSending) && written;
}

} // namespace SerialLine
