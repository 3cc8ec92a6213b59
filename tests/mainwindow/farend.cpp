// Velmora tests. Licensed under the MIT licence.
#include "farend.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

void makeRaw(int fd)
{
    termios settings {};
    if (tcgetattr(fd, &settings) != 0)
        return;
    cfmakeraw(&settings);
    tcsetattr(fd, TCSANOW, &settings);
}

} // namespace

FarEnd::FarEnd(const QString &linkPath) : m_linkPath(linkPath)
{
    plugIn();
}

FarEnd::~FarEnd()
{
    unplug();
}

void FarEnd::plugIn()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        unplug();
        return;
    }
    const QByteArray slavePath = ptsname(m_master);
    m_slave = ::open(slavePath.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    makeRaw(m_master);
    makeRaw(m_slave);
    QFile::remove(m_linkPath);
    QFile::link(QString::fromLocal8Bit(slavePath), m_linkPath);
}

void FarEnd::unplug()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

void FarEnd::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (errno == EAGAIN)
            QTest::qWait(1);
        else
            return;
    }
}

QByteArray FarEnd::read(int waitMs)
{
    QByteArray bytes;
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < waitMs) {
        QTest::qWait(5);
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(m_master, buffer, sizeof buffer)) > 0) {
            bytes.append(buffer, n);
            quiet.restart();
        }
    }
    return bytes;
}

QByteArray FarEnd::readCount(int count, int timeoutMs)
{
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    while (bytes.size() < count && clock.elapsed() < timeoutMs) {
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0)
            bytes.append(buffer, n);
        else
            QTest::qWait(2);
    }
    return bytes;
}
