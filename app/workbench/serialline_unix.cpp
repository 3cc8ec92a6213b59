// Velmora workbench. Licensed under the MIT licence.
#include "serialline.h"

#include "commport.h"
#include "linesettings.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

namespace SerialLine {

namespace {

// Ports 1 to 14 by default; 15 and 16 are left for the user's own devices.
struct DeviceRange
{
    int firstPort;
    int lastPort;
    const char *stem;
};
constexpr DeviceRange BuiltInRanges[] = {
    {1, 4, "/dev/ttyS"},
    {5, 10, "/dev/ttyUSB"},
    {11, 14, "/dev/ttyACM"},
};

} // namespace

QString builtInDevice(int port)
{
    for (const DeviceRange &range : BuiltInRanges) {
        if (port >= range.firstPort && port <= range.lastPort)
            return QLatin1String(range.stem) + QString::number(port - range.firstPort);
    }
    return {};
}

bool usesPortFile()
{
    return true;
}

QString canonicalDevice(const QString &device)
{
    const QString canonical = QFileInfo(device).canonicalFilePath();
    return canonical.isEmpty() ? device : canonical;
}

bool deviceExists(const QString &device)
{
    return QFileInfo::exists(device);
}

int openErrorNumber(const QString &device, QSerialPort::SerialPortError error)
{
    // QSerialPort reports a lock held by another program and a device node the user
    // may not open alike; only the file's access rights tell them apart.
    if (error == QSerialPort::PermissionError)
        return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0 ? CommPort::ErrorPortInUse
                                                                       : CommPort::ErrorPermission;
    return CommPort::ErrorPortNotFound;
}

QString permissionHint()
{
    return QStringLiteral("当前用户不在 dialout 组中，无权使用串口设备。"
                          "请执行“sudo usermod -aG dialout 用户名”后重新登录。");
}

bool holdExclusively(QSerialPort &port)
{
    // Terminal programs such as picocom lock the device with flock, not with lock files.
    return ::flock(port.handle(), LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
}

QSerialPort::StopBits oneAndHalfStopBits()
{
    // A UART set to two stop bits sends 1.5 of them when a character has 5 data bits.
    return QSerialPort::TwoStop;
}

bool addXonXoffToHardwareFlow(QSerialPort &port)
{
    termios tio {};
    if (::tcgetattr(port.handle(), &tio) != 0)
        return false;
    tio.c_iflag |= IXON | IXOFF;
    tio.c_cflag |= CRTSCTS;
    return ::tcsetattr(port.handle(), TCSANOW, &tio) == 0;
}

LineSetting unappliedSetting(QSerialPort &port, const LineSettings &line)
{
    termios tio {};
    if (::tcgetattr(port.handle(), &tio) != 0)
        return LineSetting::None; // nothing to read back; the setters reported their failures
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    if ((tio.c_cflag & CSIZE) != sizes[qBound(5, line.dataBits, 8) - 5])
        return LineSetting::DataBits;

    const bool wantParity = line.parity != QSerialPort::NoParity;
    const bool wantOdd = line.parity == QSerialPort::OddParity || line.parity == QSerialPort::MarkParity;
    if (bool(tio.c_cflag & PARENB) != wantParity || (wantParity && bool(tio.c_cflag & PARODD) != wantOdd))
        return LineSetting::Parity;
#ifdef CMSPAR
    const bool wantSticky = line.parity == QSerialPort::MarkParity || line.parity == QSerialPort::SpaceParity;
    if (wantParity && bool(tio.c_cflag & CMSPAR) != wantSticky)
        return LineSetting::Parity;
#endif
    const bool wantTwo = line.stopBits != LineSettings::StopBits::One;
    if (bool(tio.c_cflag & CSTOPB) != wantTwo)
        return LineSetting::StopBits;
    return LineSetting::None;
}

bool lineStillThere(QSerialPort &port)
{
    pollfd line {port.handle(), POLLOUT, 0};
    if (::poll(&line, 1, 0) < 0 || (line.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return false;
    termios tio {};
    return ::tcgetattr(port.handle(), &tio) == 0;
}

bool updateLineErrors(QSerialPort &port, LineErrorCounts &counts)
{
#ifdef TIOCGICOUNT
    serial_icounter_struct totals {};
    if (::ioctl(port.handle(), TIOCGICOUNT, &totals) != 0)
        return false;
    counts.frame = quint32(totals.frame);
    counts.parity = quint32(totals.parity);
    counts.overrun = quint32(totals.overrun);
    counts.bufferOverrun = quint32(totals.buf_overrun);
    counts.breaks = quint32(totals.brk);
    return true;
#else
    Q_UNUSED(port)
    Q_UNUSED(counts)
    return false;
#endif
}

} // namespace SerialLine
