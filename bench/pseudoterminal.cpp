// Velmora benchmark. Licensed under the MIT licence.
#include "pseudoterminal.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return;
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        ::close(m_master);
        m_master = -1;
        return;
    }
    termios raw {};
    tcgetattr(m_master, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_master, TCSANOW, &raw);
    m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
    // Keep the terminal alive while the program has not opened it yet.
    const int slave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY);
    if (slave >= 0) {
        tcgetattr(slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
        m_slaveWatch = slave;
    }
}

PseudoTerminal::~PseudoTerminal()
{
    if (m_slaveWatch >= 0)
        ::close(m_slaveWatch);
    if (m_master >= 0)
        ::close(m_master);
}

bool PseudoTerminal::writeAll(const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_master, data, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN) {
                pollfd fd {m_master, POLLOUT, 0};
                poll(&fd, 1, 100);
                continue;
            }
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool PseudoTerminal::readExactly(char *data, qint64 size, int timeoutMs)
{
    while (size > 0) {
        pollfd fd {m_master, POLLIN, 0};
        if (poll(&fd, 1, timeoutMs) <= 0)
            return false;
        const ssize_t got = ::read(m_master, data, size_t(size));
        if (got <= 0)
            return false;
        data += got;
        size -= got;
    }
    return true;
}

QByteArray PseudoTerminal::readSome(qint64 maxSize, int timeoutMs)
{
    QByteArray result(int(maxSize), Qt::Uninitialized);
    pollfd fd {m_master, POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) <= 0)
        return {};
    const ssize_t got = ::read(m_master, result.data(), size_t(maxSize));
    result.resize(got > 0 ? int(got) : 0);
    return result;
}

bool PseudoTerminal::watchSlave()
{
    return m_slaveWatch >= 0;
}

int PseudoTerminal::bytesWaitingAtSlave() const
{
    int waiting = 0;
    if (m_slaveWatch < 0 || ioctl(m_slaveWatch, FIONREAD, &waiting) != 0)
        return -1;
    return waiting;
}
