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
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    const char *name = nullptr;
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0 || !(name = ptsname(m_master))) {
        unplug();
        return;
    }
    m_devicePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    makeRaw(m_master);
    makeRaw(m_slave);
    if (!m_linkPath.isEmpty()) {
        QFile::remove(m_linkPath);
        QFile::link(m_devicePath, m_linkPath);
    }
}

void PseudoTerminal::unplug()
{
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
        if (n > 0) {
            done += n;
            continue;
        }
        if (errno != EINTR && errno != EAGAIN)
            return false;
        QCoreApplication::processEvents();
        pollfd watch {m_master, POLLOUT, 0};
        ::poll(&watch, 1, PollSliceMs);
    }
    return true;
}

QByteArray PseudoTerminal::readAvailable(qsizetype limit)
{
    QCoreApplication::processEvents();
    pollfd watch {m_master, POLLIN, 0};
    if (::poll(&watch, 1, PollSliceMs) <= 0 || !(watch.revents & POLLIN))
        return {};
    char buffer[BufferSize];
    const ssize_t n = ::read(m_master, buffer, size_t(std::min<qsizetype>(limit, sizeof buffer)));
    return n > 0 ? QByteArray(buffer, n) : QByteArray();
}

QByteArray PseudoTerminal::read(int quietMs)
{
    QByteArray bytes;
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < quietMs) {
        const QByteArray part = readAvailable(BufferSize);
        if (!part.isEmpty())
            quiet.restart();
        bytes += part;
    }
    return bytes;
}

QByteArray PseudoTerminal::readCount(qsizetype count, int timeoutMs)
{
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    while (bytes.size() < count && clock.elapsed() < timeoutMs)
        bytes += readAvailable(count - bytes.size());
    return bytes;
}

termios PseudoTerminal::slaveTermios() const
{
    termios settings {};
    tcgetattr(m_master, &settings);
    return settings;
}

int PseudoTerminal::bytesWaitingAtSlave() const
{
    int waiting = 0;
    return m_slave >= 0 && ioctl(m_slave, FIONREAD, &waiting) == 0 ? waiting : -1;
}
