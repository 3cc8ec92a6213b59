// Velmora tests. Licensed under the MIT licence.
#include "pseudoterminal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int PollSliceMs = 2;
constexpr qsizetype BufferSize = 4096;

void makeRaw(int fd)
{
    termios settings {};
    if (tcgetattr(fd, &settings) != 0)
        return;
    cfmakeraw(&settings);
    tcsetattr(fd, TCSANOW, &settings);
}

// Lets the program's events run (a thread without an event loop has none), then waits
// a moment for the master to become ready.
bool ready(int fd, short events)
{
    QCoreApplication::processEvents();
    pollfd watch {fd, events, 0};
    return ::poll(&watch, 1, PollSliceMs) > 0 && (watch.revents & events);
}

} // namespace

PseudoTerminal::PseudoTerminal(const QString &linkPath) : m_linkPath(linkPath)
{
    plugIn();
}

PseudoTerminal::~PseudoTerminal()
{
    unplug();
}

void PseudoTerminal::plugIn()
{
    // Close-on-exec: a program the test starts must not hold the device open, or
    // unplugging it would never hang up the program's side.
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const char *name = nullptr;
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0 || !(name = ptsname(m_master))) {
        unplug();
        return;
    }
    m_devicePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    makeRaw(m_master);
    makeRaw(m_slave);
    if (!m_linkPath.isEmpty()) {
        QFile::remove(m_linkPath);
        QFile::link(m_devicePath, m_linkPath);
    }
}

void PseudoTerminal::unplug()
{
    // The link goes with the device, as socat's and udev's do: left behind, it would
    // reach the next pseudo-terminal another program opens under the same number.
    if (!m_linkPath.isEmpty())
        QFile::remove(m_linkPath);
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

bool PseudoTerminal::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (errno == EINTR || errno == EAGAIN)
            ready(m_master, POLLOUT);
        else
            return false;
    }
    return true;
}

QByteArray PseudoTerminal::read(int quietMs, qsizetype count)
{
    QByteArray bytes;
    QElapsedTimer quiet;
    quiet.start();
    char buffer[BufferSize];
    while (bytes.size() < count && quiet.elapsed() < quietMs) {
        if (!ready(m_master, POLLIN))
            continue;
        const ssize_t n = ::read(m_master, buffer, size_t(std::min(count - bytes.size(), BufferSize)));
        if (n > 0) {
            bytes.append(buffer, n);
            quiet.restart();
        }
    }
    return bytes;
}

int PseudoTerminal::bytesWaitingAtSlave() const
{
    int waiting = 0;
    return m_slave >= 0 && ioctl(m_slave, FIONREAD, &waiting) == 0 ? waiting : -1;
}
