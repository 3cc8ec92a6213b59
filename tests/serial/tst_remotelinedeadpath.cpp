// Velmora tests. Licensed under the MIT licence.
#include "commport.h"
#include "hostileserver.h"
#include "portmap.h"
#include "portmapfile.h"
#include "tcpkeepalive.h"

#include <runtimeerror.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr qint16 TestPort = 15;

// Takes the loopback link of this process's own network namespace up or down.
bool setLoopback(bool up)
{
    const int control = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (control < 0)
        return false;
    ifreq request {};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool done = ::ioctl(control, SIOCGIFFLAGS, &request) == 0;
    if (done) {
        request.ifr_flags = short(up ? request.ifr_flags | IFF_UP : request.ifr_flags & ~IFF_UP);
        done = ::ioctl(control, SIOCSIFFLAGS, &request) == 0;
    }
    ::close(control);
    return done;
}

} // namespace

// A path to the server that dies without a word: the loopback link of a network
// namespace of the test's own goes down, so the packets are dropped, as a pulled cable
// or a server without power drops them. A server that merely stops reading would not
// do: its system still acknowledges.
class TestRemoteLineDeadPath : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void deadPathIsALoss_data();
    void deadPathIsALoss();

private:
    QTemporaryDir m_folder;
};

void TestRemoteLineDeadPath::initTestCase()
{
    if (::unshare(CLONE_NEWNET) != 0) {
        QSKIP(qPrintable(QStringLiteral("a network namespace of its own is not allowed here (%1); "
                                        "run as root or with user namespaces to drop packets")
                             .arg(QString::fromLocal8Bit(std::strerror(errno)))));
    }
    QVERIFY(m_folder.isValid());
    PortMap::setFolder(m_folder.path());
}

void TestRemoteLineDeadPath::init()
{
    QVERIFY(setLoopback(true));
}

void TestRemoteLineDeadPath::deadPathIsALoss_data()
{
    QTest::addColumn<bool>("sending");
    QTest::addRow("idle line") << false;
    QTest::addRow("sending line") << true;
}

// Told as a lost device within the keepalive's time, whether the line sends or not.
void TestRemoteLineDeadPath::deadPathIsALoss()
{
    QFETCH(bool, sending);
    HostileServer server;
    QVERIFY(writePortMap(m_folder.path(), {{TestPort, server.address()}}));

    CommPort port;
    port.setCommPort(TestPort);
    port.setRThreshold(1);
    int losses = 0;
    connect(&port, &CommPort::OnComm, this, [&] { losses += port.CommEvent() == CommPort::EventDeviceLost; });
    port.setPortOpen(true);
    QTimer sends;
    connect(&sends, &QTimer::timeout, &port, [&port] {
        try {
            port.setOutput(QByteArray("AT\r"));
        } catch (const Component::RuntimeError &) {
        }
    });
    if (sending)
        sends.start(100);
    QTest::qWait(500);
    QVERIFY(port.PortOpen());

    QVERIFY(setLoopback(false));
    QElapsedTimer sinceDeath;
    sinceDeath.start();
    const int limit = TcpKeepAlive::DeadPathMilliseconds + 4000;
    QTRY_VERIFY_WITH_TIMEOUT(!port.PortOpen(), limit);
    qInfo("the dead path was told after %lld ms", sinceDeath.elapsed());
    QTest::qWait(300);
    QCOMPARE(losses, 1);
}

QTEST_MAIN(TestRemoteLineDeadPath)
#include "tst_remotelinedeadpath.moc"
