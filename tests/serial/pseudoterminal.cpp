// Velmora tests. Licensed under the MIT licence.
#include "pseudoterminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return;
    const char *name = nullptr;
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 || !(name = ::ptsname(m_master))) {
        closeMaster();
        return;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    termios tio {};
    ::tcgetattr(m_master, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_master, TCSANOW, &tio);
}

PseudoTerminal::~PseudoTerminal()
{
    closeMaster();
}

bool PseudoTerminal::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray PseudoTerminal::read(int waitMs, qsizetype limit)
{
    QByteArray bytes;
    char chunk[4096];
    pollfd pfd {m_master, POLLIN, 0};
    while (bytes.size() < limit && ::poll(&pfd, 1, waitMs) > 0 && (pfd.revents & POLLIN)) {
        const ssize_t n = ::read(m_master, chunk, sizeof chunk);
        if (n <= 0)
            break;
        bytes.append(chunk, n);
    }
    return bytes;
}

termios PseudoTerminal::slaveTermios() const
{
    termios tio {};
    ::tcgetattr(m_master, &tio);
    return tio;
}

void PseudoTerminal::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}
