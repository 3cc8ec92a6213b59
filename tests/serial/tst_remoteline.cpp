// Velmora tests. Licensed under the MIT licence.
#include "arrivalbatcher.h"
#include "commport.h"
#include "connectioncounter.h"
#include <runtimeerror.h>
#include "portmap.h"
#include "portmapfile.h"
#include "portprobe.h"
#include "pseudoterminal.h"
#include "rfc2217peer.h"
#include "ser2netserver.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr qint16 TestPort = 15;

QByteArray everyByteValue(qsizetype size)
{
    QByteArray bytes(size, '\0');
    for (qsizetype k = 0; k < size; ++k)
        bytes[k] = char((k * 7 + k / 256) & 0xff);
    return bytes;
}

// An RFC 2217 server on a thread of its own whose line keeps 8 data bits, no parity and
// no flow control whatever it is asked, and says so in its answers.
class StubbornServer
{
public:
    StubbornServer()
    {
        m_listener = Rfc2217Peer::listenOnLoopback(m_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~StubbornServer()
    {
        ::shutdown(m_listener, SHUT_RDWR);
        ::close(m_listener);
        m_thread.join();
    }
    quint16 port() const { return m_port; }

private:
    void serve()
    {
        const int client = ::accept(m_listener, nullptr, nullptr);
        if (client < 0)
            return;
        const QByteArray welcome("\xff\xfd\x2c", 3);
        ::write(client, welcome.constData(), size_t(welcome.size()));
        QByteArray stream;
        char buffer[256];
        ssize_t got = 0;
        while ((got = ::read(client, buffer, sizeof buffer)) > 0) {
            stream.append(buffer, got);
            answerFrames(client, stream);
        }
        ::close(client);
    }
    static void answerFrames(int client, QByteArray &stream)
    {
        const QByteArray start("\xff\xfa\x2c", 3);
        const QByteArray end("\xff\xf0", 2);
        qsizetype at = 0;
        while ((at = stream.indexOf(start)) >= 0) {
            const qsizetype close = stream.indexOf(end, at);
            if (close < 0)
                return;
            QByteArray frame = stream.mid(at, close + end.size() - at);
            stream.remove(0, close + end.size());
            const quint8 command = quint8(frame.at(3));
            frame[3] = char(command + 100);
            if (command == 2)
                frame[4] = 8;
            if (command == 3 || command == 5)
                frame[4] = 1;
            ::write(client, frame.constData(), size_t(frame.size()));
        }
    }

    int m_listener = -1;
    quint16 m_port = 0;
    std::thread m_thread;
};

} // namespace

// Ports mapped to lines ser2net serves, raw and with RFC 2217, with the test playing the
// device on the far end of the pseudo-terminal ser2net opens.
class TestRemoteLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void roundTripUnchanged_data();
    void roundTripUnchanged();
    void settingsReachTheServedLine();
    void refusedSettingFailsTheStart();
    void otherValueAnsweredFailsTheStart_data();
    void otherValueAnsweredFailsTheStart();
    void missingModemLinesToldOncePerRun();
    void unreachableServerIsMissingDevice();
    void serverKilledWhileSendingGivesOneLoss();
    void probeNeverConnects();
    void arrivalsGatheredWhileStreaming();

private:
    bool serve(bool rfc2217);
    void mapPort(const QString &device);
    QByteArray receiveAtPort(CommPort &port, qsizetype count);

    QTemporaryDir m_folder;
    std::unique_ptr<PseudoTerminal> m_line;
    std::unique_ptr<Ser2netServer> m_server;
};

void TestRemoteLine::initTestCase()
{
    if (!Ser2netServer::available())
        QSKIP("ser2net is not installed (scripts/setup-debian.sh installs it)");
    QVERIFY(m_folder.isValid());
    PortMap::setFolder(m_folder.path());
}

void TestRemoteLine::init()
{
    m_line = std::make_unique<PseudoTerminal>();
    QVERIFY(m_line->isValid());
}

void TestRemoteLine::cleanup()
{
    m_server.reset();
    m_line.reset();
}

bool TestRemoteLine::serve(bool rfc2217)
{
    m_server = std::make_unique<Ser2netServer>(m_line->slavePath(), rfc2217);
    mapPort(m_server->address());
    return m_server->listening();
}

void TestRemoteLine::mapPort(const QString &device)
{
    QVERIFY(writePortMap(m_folder.path(), {{TestPort, device}}));
}

QByteArray TestRemoteLine::receiveAtPort(CommPort &port, qsizetype count)
{
    QByteArray received;
    QDeadlineTimer deadline(30000);
    while (received.size() < count && !deadline.hasExpired()) {
        QTest::qWait(5);
        received += port.Input().toByteArray();
    }
    return received;
}

void TestRemoteLine::roundTripUnchanged_data()
{
    QTest::addColumn<bool>("rfc2217");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray iacs("\xff\xff\x01\xff", 4);
    QTest::addRow("raw, IAC bytes") << false << iacs;
    QTest::addRow("rfc2217, IAC bytes") << true << iacs;
    QTest::addRow("raw, 1 MiB binary") << false << everyByteValue(1 << 20);
    QTest::addRow("rfc2217, 1 MiB binary") << true << everyByteValue(1 << 20);
}

void TestRemoteLine::roundTripUnchanged()
{
    QFETCH(bool, rfc2217);
    QFETCH(QByteArray, bytes);
    QVERIFY(serve(rfc2217));
    CommPort port;
    port.setCommPort(TestPort);
    port.setInputMode(CommPort::InputModeBinary);
    port.setRThreshold(1);
    QSignalSpy events(&port, &CommPort::OnComm);
    port.setPortOpen(true);

    port.setOutput(bytes);
    QCOMPARE(m_line->read(2000, bytes.size()), bytes);

    QVERIFY(m_line->write(bytes));
    QCOMPARE(receiveAtPort(port, bytes.size()), bytes);
    QVERIFY(!events.isEmpty());
    QCOMPARE(port.CommEvent(), qint16(CommPort::EvReceive));
}

// The pseudo-terminal's line settings are the ones the start asked the server for.
void TestRemoteLine::settingsReachTheServedLine()
{
    QVERIFY(serve(true));
    CommPort port;
    port.setCommPort(TestPort);
    port.setSettings(QStringLiteral("115200,N,8,2"));
    port.setPortOpen(true);
    termios tio {};
    QCOMPARE(::tcgetattr(m_line->master(), &tio), 0);
    QCOMPARE(::cfgetospeed(&tio), speed_t(B115200));
    QCOMPARE(tio.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8 | CSTOPB));
}

// ser2net gives no answer to 1.5 stop bits: the start fails and names the setting.
void TestRemoteLine::refusedSettingFailsTheStart()
{
    QVERIFY(serve(true));
    CommPort port;
    port.setCommPort(TestPort);
    port.setSettings(QStringLiteral("9600,N,5,1.5"));
    try {
        port.setPortOpen(true);
        QFAIL("the start went through");
    } catch (const Component::RuntimeError &error) {
        QCOMPARE(error.number(), int(CommPort::ErrorLineSetting));
        QVERIFY2(error.description().contains(QStringLiteral("停止位")), qPrintable(error.description()));
    }
    QVERIFY(!port.PortOpen());
    // The refused start leaves nothing behind: the next one goes through.
    port.setSettings(QStringLiteral("9600,N,8,1"));
    port.setPortOpen(true);
    QVERIFY(port.PortOpen());
}

// ser2net answers every value as asked; a server that answers what its line keeps instead
// (a pseudo-terminal keeps 8 bits and no parity) fails the start with the port's refusal.
void TestRemoteLine::otherValueAnsweredFailsTheStart_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("handshake");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("named");
    QTest::addRow("7 data bits") << "9600,N,7,1" << 0 << int(CommPort::ErrorDataBits) << QStringLiteral("7");
    QTest::addRow("even parity") << "9600,E,8,1" << 0 << int(CommPort::ErrorLineSetting) << QStringLiteral("E");
    QTest::addRow("XON/XOFF") << "9600,N,8,1" << 1 << int(CommPort::ErrorLineSetting) << QStringLiteral("握手");
}

void TestRemoteLine::otherValueAnsweredFailsTheStart()
{
    QFETCH(QString, settings);
    QFETCH(int, handshake);
    QFETCH(int, number);
    QFETCH(QString, named);
    StubbornServer server;
    mapPort(QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.port()));
    CommPort port;
    port.setCommPort(TestPort);
    port.setSettings(settings);
    port.setHandshaking(handshake);
    try {
        port.setPortOpen(true);
        QFAIL("the start went through");
    } catch (const Component::RuntimeError &error) {
        QCOMPARE(error.number(), number);
        QVERIFY2(error.description().contains(named), qPrintable(error.description()));
    }
    QVERIFY(!port.PortOpen());
}

// A pseudo-terminal has no modem lines, so ser2net never answers DTR and RTS: told once
// in a run, and again in the next, which may be the user's next look at the message.
void TestRemoteLine::missingModemLinesToldOncePerRun()
{
    QVERIFY(serve(true));
    CommPort port;
    port.setCommPort(TestPort);
    QSignalSpy notices(&port, &CommPort::notice);
    port.setPortOpen(true);
    QVERIFY(notices.wait(2000));
    port.setDTREnable(false);
    port.setRTSEnable(false);
    QVERIFY(!port.sendBreak());
    QTest::qWait(100);
    QCOMPARE(notices.size(), 1);
    QVERIFY(notices.first().first().toString().contains(QStringLiteral("DTR")));
    QVERIFY(!port.ModemInputs());
    port.setPortOpen(false);
    port.setPortOpen(true);
    QVERIFY(notices.wait(2000));
    port.setDTREnable(true);
    QTest::qWait(100);
    QCOMPARE(notices.size(), 2);
}

void TestRemoteLine::unreachableServerIsMissingDevice()
{
    const quint16 closedPort = Ser2netServer::freePort();
    mapPort(QStringLiteral("rfc2217://127.0.0.1:%1").arg(closedPort));
    CommPort port;
    port.setCommPort(TestPort);
    try {
        port.setPortOpen(true);
        QFAIL("the start went through");
    } catch (const Component::RuntimeError &error) {
        QCOMPARE(error.number(), int(CommPort::ErrorPortNotFound));
        QVERIFY2(error.description().contains(QStringLiteral("127.0.0.1:%1").arg(closedPort)),
                 qPrintable(error.description()));
    }
}

void TestRemoteLine::serverKilledWhileSendingGivesOneLoss()
{
    QVERIFY(serve(true));
    CommPort port;
    port.setCommPort(TestPort);
    port.setPortOpen(true);
    QSignalSpy events(&port, &CommPort::OnComm);
    QTimer sends;
    // As the transfer engine sends: a send that meets the loss fails on its own.
    connect(&sends, &QTimer::timeout, &port, [&port] {
        try {
            port.setOutput(QByteArray("ping\r\n"));
        } catch (const Component::RuntimeError &) {
        }
    });
    sends.start(10);
    QTest::qWait(100);
    m_server->kill();
    QTRY_VERIFY_WITH_TIMEOUT(!port.PortOpen(), 5000);
    QTest::qWait(200);
    QCOMPARE(events.size(), 1);
    QCOMPARE(port.CommEvent(), qint16(CommPort::EventDeviceLost));
}

// Listing never connects: a ser2net opens its serial device, raising DTR, for every
// connection. A network line is listed unchecked, one this program holds is busy; only
// the open connects.
void TestRemoteLine::probeNeverConnects()
{
    ConnectionCounter server;
    PortMap map;
    map.applyOverrides(QStringLiteral("COM3=%1\nCOM4=tcp://127.0.0.1:%2\nCOM%3=%4\n")
                           .arg(server.address("rfc2217"))
                           .arg(Ser2netServer::freePort())
                           .arg(TestPort)
                           .arg(server.address()));
    const PortProbe probe(map);
    QCOMPARE(probe.state(3), PortProbe::State::Remote);
    QCOMPARE(probe.state(4), PortProbe::State::Remote);
    QVERIFY(PortProbe::isListed(PortProbe::State::Remote));
    QTest::qWait(50);
    QCOMPARE(server.connections(), 0);

    mapPort(server.address());
    CommPort port;
    port.setCommPort(TestPort);
    port.setPortOpen(true);
    QCOMPARE(probe.state(TestPort), PortProbe::State::Busy);
    QTRY_COMPARE(server.connections(), 1);
}

// A server forwards a stream in small pieces; the line tells of them as one arrival an
// interval, and of a lone piece after quiet at once.
void TestRemoteLine::arrivalsGatheredWhileStreaming()
{
    ArrivalBatcher arrivals;
    QSignalSpy due(&arrivals, &ArrivalBatcher::due);
    arrivals.arrived();
    QCOMPARE(due.size(), 1);
    for (int piece = 0; piece < 50; ++piece)
        arrivals.arrived();
    QCOMPARE(due.size(), 1);
    QTRY_COMPARE(due.size(), 2);
    QTest::qWait(4 * ArrivalBatcher::IntervalMilliseconds);
    QCOMPARE(due.size(), 2);
    arrivals.arrived();
    QCOMPARE(due.size(), 3);
}

QTEST_MAIN(TestRemoteLine)
#include "tst_remoteline.moc"
