// Velmora tests. Licensed under the MIT licence.
#include "commport.h"
#include "portprobe.h"

#include <portmapfile.h>
#include <pseudoterminal.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int ProbedPort = 15;

// Another program holding the device with flock, as picocom does.
class FlockHolder
{
public:
    explicit FlockHolder(const QString &device)
    {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        const QByteArray path = QFile::encodeName(device);
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
            const char locked = (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ? 1 : 0;
            [[maybe_unused]] const ssize_t written = ::write(ready[1], &locked, 1);
            ::pause();
            ::_exit(0);
        }
        ::close(ready[1]);
        char locked = 0;
        m_locked = m_pid > 0 && ::read(ready[0], &locked, 1) == 1 && locked == 1;
        ::close(ready[0]);
    }
    ~FlockHolder() { release(); }

    bool locked() const { return m_locked; }
    void release()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    bool m_locked = false;
};

} // namespace

// Telling a port's state without opening its line: the device node, the user's access,
// lock files and the kernel's lock table.
class TestPortProbe : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void presentAndMissing();
    void flockOfAnotherProgramIsBusy();
    void lockFileCountsWhileItsProcessRuns_data();
    void lockFileCountsWhileItsProcessRuns();
    void portOfThisProgramIsBusy();
    void deviceTheUserMayNotOpen();

private:
    PortProbe probeOn(const QString &device) const;
    QString lockFilePath() const;

    QTemporaryDir m_folder;
    std::unique_ptr<PseudoTerminal> m_device;
};

void TestPortProbe::init()
{
    QVERIFY(m_folder.isValid());
    m_device = std::make_unique<PseudoTerminal>(m_folder.filePath(QStringLiteral("com15")));
    QVERIFY(m_device->isValid());
}

void TestPortProbe::cleanup()
{
    QFile::remove(lockFilePath());
    m_device.reset();
}

PortProbe TestPortProbe::probeOn(const QString &device) const
{
    PortMap map;
    map.applyOverrides(QStringLiteral("COM%1=%2").arg(ProbedPort).arg(device));
    return PortProbe(map, {m_folder.path()});
}

// QSerialPort and UUCP tools name the lock after the device below /dev.
QString TestPortProbe::lockFilePath() const
{
    QString name = QFileInfo(m_device->slavePath()).canonicalFilePath().mid(5);
    return m_folder.filePath(QStringLiteral("LCK..") + name.replace(QLatin1Char('/'), QLatin1Char('_')));
}

void TestPortProbe::presentAndMissing()
{
    QCOMPARE(probeOn(m_device->slavePath()).state(ProbedPort), PortProbe::State::Present);
    QCOMPARE(probeOn(m_folder.filePath(QStringLiteral("absent"))).state(ProbedPort),
             PortProbe::State::Missing);
    QCOMPARE(probeOn(m_device->slavePath()).state(16), PortProbe::State::Missing);   // Com 16 reaches nothing
    QVERIFY(PortProbe::isListed(PortProbe::State::Busy));
    QVERIFY(PortProbe::isListed(PortProbe::State::NoPermission));
    QVERIFY(!PortProbe::isListed(PortProbe::State::Missing));
}

void TestPortProbe::flockOfAnotherProgramIsBusy()
{
    FlockHolder holder(m_device->slavePath());
    QVERIFY(holder.locked());
    QCOMPARE(probeOn(m_device->slavePath()).state(ProbedPort), PortProbe::State::Busy);
    holder.release();
    QCOMPARE(probeOn(m_device->slavePath()).state(ProbedPort), PortProbe::State::Present);
}

void TestPortProbe::lockFileCountsWhileItsProcessRuns_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<PortProbe::State>("state");

    QTest::addRow("UUCP pid of a running program")
        << QByteArray::number(qint64(::getppid())).rightJustified(10, ' ') + '\n' << PortProbe::State::Busy;
    QTest::addRow("QLockFile of a running program")
        << QByteArray::number(qint64(::getppid())) + "\npicocom\nbench\n" << PortProbe::State::Busy;
    QTest::addRow("stale, its program gone") << QByteArray("4194304\n") << PortProbe::State::Present;
    QTest::addRow("left by this program") << QByteArray::number(qint64(::getpid())) + '\n'
                                          << PortProbe::State::Present;
    QTest::addRow("unreadable content") << QByteArray("junk") << PortProbe::State::Present;
}

void TestPortProbe::lockFileCountsWhileItsProcessRuns()
{
    QFETCH(QByteArray, content);
    QFile lock(lockFilePath());
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(content);
    lock.close();
    QTEST(probeOn(m_device->slavePath()).state(ProbedPort), "state");
}

// The probe never looks at a device this program has open, whichever spelling names it.
void TestPortProbe::portOfThisProgramIsBusy()
{
    QVERIFY(QFile::link(m_device->slavePath(), m_folder.filePath(QStringLiteral("other"))));
    QVERIFY(writePortMap(m_folder.path(), {{ProbedPort, m_device->slavePath()}}));
    PortMap::setFolder(m_folder.path());

    CommPort holder;
    holder.setCommPort(ProbedPort);
    holder.setPortOpen(true);
    QCOMPARE(probeOn(m_folder.filePath(QStringLiteral("other"))).state(ProbedPort), PortProbe::State::Busy);
    holder.setPortOpen(false);
    QCOMPARE(probeOn(m_folder.filePath(QStringLiteral("other"))).state(ProbedPort), PortProbe::State::Present);
}

void TestPortProbe::deviceTheUserMayNotOpen()
{
    if (::geteuid() == 0)
        QSKIP("the superuser may open every device");
    const QByteArray device = QFile::encodeName(QFileInfo(m_device->slavePath()).canonicalFilePath());
    QCOMPARE(::chmod(device.constData(), 0), 0);
    QCOMPARE(probeOn(m_device->slavePath()).state(ProbedPort), PortProbe::State::NoPermission);
}

QTEST_GUILESS_MAIN(TestPortProbe)
#include "tst_portprobe.moc"
