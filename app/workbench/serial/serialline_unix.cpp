// Velmora workbench. Licensed under the MIT licence.
#include "serialline.h"

#include "commerrors.h"
#include "deviceaccess.h"
#include "linesettings.h"
#include "steadyclock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>
#include <vector>
#ifdef __linux__
#include <linux/serial.h>
#endif

#if defined(__linux__) && defined(TCGETS2)
// The kernel's termios2, the one form that carries any baud rate. Its header
// (asm/termbits.h) clashes with <termios.h>, so the layout is spelled out here.
struct termios2
{
    tcflag_t c_iflag;
    tcflag_t c_oflag;
    tcflag_t c_cflag;
    tcflag_t c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed;
    speed_t c_ospeed;
};
#define VELMORA_ARBITRARY_RATE 1
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

// The folders serial programs, QSerialPort among them, write their lock files to.
const char *const LockFolders[] = {
    "/var/lock", "/run/lock", "/var/lock/lockdev", "/var/spool/locks", "/var/spool/uucp",
    "/etc/locks", "/tmp", "/var/tmp",
};
const QString KernelLockTable = QStringLiteral("/proc/locks");
const QString TtyClassFolder = QStringLiteral("/sys/class/tty/");
const QString DeviceFolder = QStringLiteral("/dev/");
// udev's links named after each adapter's maker, model and serial number.
const QString StableNameFolder = QStringLiteral("/dev/serial/by-id");

// The lock file name for a device: its path below /dev with '/' as '_', as UUCP tools
// and QSerialPort spell it.
QString lockFileName(const QString &device)
{
    QString name = device.startsWith(DeviceFolder) ? device.mid(DeviceFolder.size()) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

bool processAlive(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// A lock file counts while the process it names runs; one naming this process is left
// over from an earlier open, since this program's open devices are known without it.
bool lockedByFile(const QStringList &names, const QStringList &folders)
{
    for (const QString &folder : folders) {
        for (const QString &name : names) {
            QFile file(folder + QLatin1Char('/') + name);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const qint64 pid = file.readLine().trimmed().toLongLong();
            if (pid != ::getpid() && processAlive(pid))
                return true;
        }
    }
    return false;
}

// Lines of /proc/locks read "1: FLOCK  ADVISORY  WRITE 1234 00:05:87 0 EOF", the
// device given as hexadecimal major and minor numbers and the inode; "->" marks a waiter.
bool lockedByKernel(const struct stat &node)
{
    QFile table(KernelLockTable);
    if (!table.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QByteArray wanted = QByteArray::number(major(node.st_dev), 16).rightJustified(2, '0') + ':'
        + QByteArray::number(minor(node.st_dev), 16).rightJustified(2, '0') + ':'
        + QByteArray::number(quint64(node.st_ino));
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 5 && fields.at(1) != "->" && fields.at(5) == wanted)
            return true;
    }
    return false;
}

// A UART the kernel found no chip for still has its device node; its class says type 0.
bool uartWithoutChip(const QString &canonical)
{
    const QString name = canonical.startsWith(DeviceFolder) ? canonical.mid(DeviceFolder.size()) : QString();
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return false;
    QFile type(TtyClassFolder + name + QStringLiteral("/type"));
    return type.open(QIODevice::ReadOnly) && type.readAll().trimmed() == "0";
}

bool processHasGroup(gid_t wanted)
{
    if (::getegid() == wanted)
        return true;
    std::vector<gid_t> groups(std::max(::getgroups(0, nullptr), 0));
    const int count = ::getgroups(int(groups.size()), groups.data());
    return count > 0 && std::find(groups.begin(), groups.begin() + count, wanted) != groups.begin() + count;
}

// The groups the system would give the user at the next login, the primary one included.
bool userListedInGroup(const passwd &user, gid_t wanted)
{
    int count = 64;
    std::vector<gid_t> groups(count);
    if (::getgrouplist(user.pw_name, user.pw_gid, groups.data(), &count) < 0) {
        groups.resize(count);
        if (::getgrouplist(user.pw_name, user.pw_gid, groups.data(), &count) < 0)
            return false;
    }
    return std::find(groups.begin(), groups.begin() + count, wanted) != groups.begin() + count;
}

#ifdef VELMORA_ARBITRARY_RATE
constexpr tcflag_t ArbitraryRateFlag = 0010000; // BOTHER: the rate lies in c_ispeed and c_ospeed
constexpr int InputRateShift = 16;              // IBSHIFT: where the input rate's bits lie
#endif

// The modem lines through TIOCMGET and its kin; a pseudo-terminal answers them with
// an error, which tells that it has none.
class UnixModemLines : public ModemLines
{
public:
    explicit UnixModemLines(int descriptor) : m_descriptor(descriptor) {}

    bool setDataTerminalReady(bool on) override { return setBits(TIOCM_DTR, on); }
    bool setRequestToSend(bool on) override { return setBits(TIOCM_RTS, on); }

    std::optional<Inputs> inputs() override
    {
        int bits = 0;
        if (::ioctl(m_descriptor, TIOCMGET, &bits) != 0)
            return std::nullopt;
        return Inputs {bool(bits & TIOCM_CTS), bool(bits & TIOCM_DSR), bool(bits & TIOCM_CAR),
                       bool(bits & TIOCM_RNG)};
    }

    bool setBreak(bool on) override
    {
        return ::ioctl(m_descriptor, on ? TIOCSBRK : TIOCCBRK) == 0;
    }

private:
    bool setBits(int bits, bool on)
    {
        return ::ioctl(m_descriptor, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
    }

    int m_descriptor;
};


// How long a write may find the line full without taking a byte, and how long the
// transmitter may take to empty after tcdrain (one character at 50 baud, and some).
constexpr int StalledWriteMs = 2000;
constexpr std::chrono::milliseconds TransmitterEmptyLimit {250};
constexpr std::chrono::microseconds TransmitterPoll {20};

// Sleeps until `ns` on the monotonic clock, which steady_clock reads.
void sleepUntil(qint64 ns)
{
    const timespec until {time_t(ns / 1000000000), long(ns % 1000000000)};
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

void sleepMilliseconds(int ms)
{
    if (ms > 0)
        sleepUntil(steadyNanoseconds() + qint64(ms) * 1000000);
}

bool setRts(int descriptor, bool raised)
{
    int bits = TIOCM_RTS;
    return ::ioctl(descriptor, raised ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

// Hands every byte to the driver of a non-blocking descriptor.
bool writeWhole(int descriptor, const QByteArray &bytes)
{
    const char *next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, next, size_t(left));
        if (written > 0) {
            next += written;
            left -= written;
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        pollfd line {descriptor, POLLOUT, 0};
        if (::poll(&line, 1, StalledWriteMs) <= 0 || (line.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return false;
    }
    return true;
}

// After tcdrain the driver's buffer is empty, but the UART's shift register may still
// hold the last character; the line status register tells when it has gone too.
void waitTransmitterEmpty(int descriptor)
{
#ifdef TIOCSERGETLSR
    const auto limit = std::chrono::steady_clock::now() + TransmitterEmptyLimit;
    unsigned int status = 0;
    while (::ioctl(descriptor, TIOCSERGETLSR, &status) == 0 && !(status & TIOCSER_TEMT)
           && std::chrono::steady_clock::now() < limit)
        sleepUntil(steadyNanoseconds() + std::chrono::nanoseconds(TransmitterPoll).count());
#else
    Q_UNUSED(descriptor)
#endif
}

#if defined(TIOCSRS485) && defined(TIOCGRS485)
DriverAnswer answerOf(int error)
{
    // ENOTTY (and ENOIOCTLCMD's user-space face) where the driver has no RS-485 mode at
    // all; EINVAL or EOPNOTSUPP where it has one but not for these settings.
    switch (error) {
    case ENOTTY:
    case ENOSYS:
        return DriverAnswer::NoMode;
    case EINVAL:
    case EOPNOTSUPP:
        return DriverAnswer::Refused;
    default:
        return DriverAnswer::Failed;
    }
}
#endif

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

bool deviceSeen(const QString &device, const QList<QSerialPortInfo> &)
{
    // Pseudo-terminals and the links to them are not listed, but have their nodes.
    return QFileInfo::exists(device);
}

QMap<QString, QString> stableNames()
{
    QMap<QString, QString> names;
    const QFileInfoList links = QDir(StableNameFolder).entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &link : links) {
        const QString device = link.canonicalFilePath();
        if (!device.isEmpty() && !names.contains(device))
            names.insert(device, link.absoluteFilePath());
    }
    return names;
}

DeviceState probeDevice(const QString &device, const QStringList &lockFolders)
{
    const QString canonical = canonicalDevice(device);
    const QByteArray path = QFile::encodeName(canonical);
    struct stat node {};
    if (::stat(path.constData(), &node) != 0 || uartWithoutChip(canonical))
        return DeviceState::Missing;
    if (::access(path.constData(), R_OK | W_OK) != 0)
        return errno == EACCES ? DeviceState::Denied : DeviceState::Missing;
    QStringList lockNames {lockFileName(device), lockFileName(canonical)};
    lockNames.removeDuplicates();
    if (lockedByKernel(node) || lockedByFile(lockNames, lockFolders))
        return DeviceState::HeldElsewhere;
    return DeviceState::Free;
}

QStringList lockFolders()
{
    QStringList folders;
    for (const char *folder : LockFolders)
        folders.append(QLatin1String(folder));
    return folders;
}

int openErrorNumber(const QString &device, QSerialPort::SerialPortError error)
{
    // QSerialPort reports a lock held by another program and a device node the user
    // may not open alike; only the file's access rights tell them apart.
    if (error == QSerialPort::PermissionError)
        return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0 ? CommErrors::ErrorPortInUse
                                                                       : CommErrors::ErrorPermission;
    return CommErrors::ErrorPortNotFound;
}

QString permissionHint(const QString &device)
{
    DeviceAccess access;
    const uid_t userId = ::getuid();
    const passwd *user = ::getpwuid(userId);
    access.user = user ? QString::fromLocal8Bit(user->pw_name) : QString::number(userId);
    struct stat node {};
    if (::stat(QFile::encodeName(canonicalDevice(device)).constData(), &node) != 0)
        return access.hint();
    const passwd *owner = ::getpwuid(node.st_uid);
    access.owner = owner ? QString::fromLocal8Bit(owner->pw_name) : QString::number(node.st_uid);
    const group *deviceGroup = ::getgrgid(node.st_gid);
    access.group = deviceGroup ? QString::fromLocal8Bit(deviceGroup->gr_name) : QString::number(node.st_gid);
    access.groupMayReadWrite = (node.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    access.processHasGroup = processHasGroup(node.st_gid);
    access.userListedInGroup = user && userListedInGroup(*user, node.st_gid);
    return access.hint();
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

qint32 lineBaudRate(QSerialPort &port)
{
#ifdef VELMORA_ARBITRARY_RATE
    termios2 tio {};
    if (::ioctl(port.handle(), TCGETS2, &tio) != 0)
        return 0;
    return qint32(tio.c_ospeed);
#else
    termios tio {};
    if (::tcgetattr(port.handle(), &tio) != 0)
        return 0;
    return qint32(::cfgetospeed(&tio)); // the BSDs and macOS keep the rate itself
#endif
}

bool setArbitraryBaudRate(QSerialPort &port, qint32 rate)
{
#ifdef VELMORA_ARBITRARY_RATE
    termios2 tio {};
    if (::ioctl(port.handle(), TCGETS2, &tio) != 0)
        return false;
    tio.c_cflag &= ~tcflag_t(CBAUD | (CBAUD << InputRateShift));
    tio.c_cflag |= ArbitraryRateFlag | (ArbitraryRateFlag << InputRateShift);
    tio.c_ispeed = speed_t(rate);
    tio.c_ospeed = speed_t(rate);
    return ::ioctl(port.handle(), TCSETS2, &tio) == 0;
#else
    termios tio {};
    return ::tcgetattr(port.handle(), &tio) == 0 && ::cfsetspeed(&tio, speed_t(rate)) == 0
        && ::tcsetattr(port.handle(), TCSANOW, &tio) == 0;
#endif
}

std::unique_ptr<ModemLines> modemLines(QSerialPort &port)
{
    return std::make_unique<UnixModemLines>(port.handle());
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

DriverAnswer readDriverRs485(QSerialPort &port, DriverRs485 &held)
{
#if defined(TIOCSRS485) && defined(TIOCGRS485)
    serial_rs485 mode {};
    if (::ioctl(port.handle(), TIOCGRS485, &mode) != 0)
        return answerOf(errno);
    held.enabled = mode.flags & SER_RS485_ENABLED;
    held.rtsOnSend = mode.flags & SER_RS485_RTS_ON_SEND;
    held.rtsAfterSend = mode.flags & SER_RS485_RTS_AFTER_SEND;
    held.receiveDuringSend = mode.flags & SER_RS485_RX_DURING_TX;
    held.delayBeforeMs = mode.delay_rts_before_send;
    held.delayAfterMs = mode.delay_rts_after_send;
    return DriverAnswer::Done;
#else
    Q_UNUSED(port)
    Q_UNUSED(held)
    return DriverAnswer::NoMode;
#endif
}

DriverAnswer writeDriverRs485(QSerialPort &port, const DriverRs485 &wanted)
{
#if defined(TIOCSRS485) && defined(TIOCGRS485)
    serial_rs485 mode {};
    mode.flags = (wanted.enabled ? SER_RS485_ENABLED : 0) | (wanted.rtsOnSend ? SER_RS485_RTS_ON_SEND : 0)
        | (wanted.rtsAfterSend ? SER_RS485_RTS_AFTER_SEND : 0)
        | (wanted.receiveDuringSend ? SER_RS485_RX_DURING_TX : 0);
    mode.delay_rts_before_send = wanted.delayBeforeMs;
    mode.delay_rts_after_send = wanted.delayAfterMs;
    if (::ioctl(port.handle(), TIOCSRS485, &mode) != 0)
        return answerOf(errno);
    return DriverAnswer::Done;
#else
    Q_UNUSED(port)
    Q_UNUSED(wanted)
    return DriverAnswer::NoMode;
#endif
}

bool setRequestToSend(QSerialPort &port, bool raised)
{
    return setRts(port.handle(), raised);
}

bool writeSwitched(QSerialPort &port, const QByteArray &bytes, const Rs485Settings &rs485, qint64 &lastBitGone)
{
    const int descriptor = port.handle();
    if (!setRts(descriptor, rs485.rtsHighWhileSending))
        return false;
    sleepMilliseconds(rs485.delayBeforeMs);
    const bool written = writeWhole(descriptor, bytes) && ::tcdrain(descriptor) == 0;
    if (written)
        waitTransmitterEmpty(descriptor);
    lastBitGone = steadyNanoseconds();
    if (written)
        sleepMilliseconds(rs485.delayAfterMs);
    return setRts(descriptor, !rs485.rtsHighWhileSending) && written;
}

} // namespace SerialLine
