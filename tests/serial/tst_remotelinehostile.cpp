// Velmora tests. Licensed under the MIT licence.
#include "commport.h"
#include "engineinview.h"
#include "hostileserver.h"
#include "portmap.h"
#include "portmapfile.h"
#include "remoteline.h"

#include <runtimeerror.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using Phase = HostileServer::Phase;
using Misdeed = HostileServer::Misdeed;

namespace {

constexpr qint16 TestPort = 15;
constexpr qint16 SecondPort = 16;
constexpr qint64 MemoryLimitBytes = 100 << 20;
// AddressSanitizer keeps freed memory in quarantine and shadows the heap: under it the
// process's resident size says nothing of what the line keeps.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool ResidentSizeTells = false;
#elif defined(__has_feature)
constexpr bool ResidentSizeTells = !__has_feature(address_sanitizer);
#else
constexpr bool ResidentSizeTells = true;
#endif

// The failure of an open, if it failed.
std::optional<Component::RuntimeError> openFailure(CommPort &port)
{
    try {
        port.setPortOpen(true);
    } catch (const Component::RuntimeError &error) {
        return error;
    }
    return std::nullopt;
}

// How long a flood runs against the cut-off line; VELMORA_HOSTILE_SECONDS=60 makes the
// memory bound hold for a minute of flooding.
int floodMilliseconds()
{
    const int seconds = qEnvironmentVariableIntValue("VELMORA_HOSTILE_SECONDS");
    return seconds > 0 ? seconds * 1000 : 1000;
}

// A listener on 127.0.0.1 whose queue of connections is full: the system drops the SYN of
// any further client until the queue is taken, as a lossy path drops it.
class FullListener
{
public:
    FullListener()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), size);
        ::listen(m_listener, 0);
        ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &size);
        m_port = ntohs(address.sin_port);
        for (int k = 0; k < 2; ++k) {
            const int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr *>(&address), size);
            m_sockets.push_back(filler);
        }
        QTest::qWait(100);
    }
    ~FullListener()
    {
        for (int socket : m_sockets)
            ::close(socket);
        ::close(m_listener);
    }
    quint16 port() const { return m_port; }
    // Takes every queued connection, so that the next SYN gets through.
    void drain()
    {
        int accepted = -1;
        while ((accepted = ::accept(m_listener, nullptr, nullptr)) >= 0)
            m_sockets.push_back(accepted);
    }

private:
    int m_listener = -1;
    quint16 m_port = 0;
    std::vector<int> m_sockets;
};

} // namespace

// Ports mapped to an RFC 2217 server that misbehaves: the line stays bounded in memory,
// tells every loss once and as what it is, and never blocks the event loop.
class TestRemoteLineHostile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void floodsCutTheServerOff_data();
    void floodsCutTheServerOff();
    void refusalsWaitingForAServerAreNotUserData();
    void lossDuringAStartFailsItAsLost_data();
    void lossDuringAStartFailsItAsLost();
    void lossDuringAWaitOfTheRunIsOneLoss();
    void nothingSentAfterALoss();
    void answersAroundTheirLimit_data();
    void answersAroundTheirLimit();
    void closeCallsAWaitingOpenOff_data();
    void closeCallsAWaitingOpenOff();
    void oneLimitForTheWholeStart();
    void slowConnect_data();
    void slowConnect();

private:
    void mapPorts(const QString &first, const QString &second = {});

    QTemporaryDir m_folder;
};

void TestRemoteLineHostile::initTestCase()
{
    QVERIFY(m_folder.isValid());
    PortMap::setFolder(m_folder.path());
}

void TestRemoteLineHostile::mapPorts(const QString &first, const QString &second)
{
    QList<std::pair<int, QString>> ports{{TestPort, first}};
    if (!second.isEmpty())
        ports.append({SecondPort, second});
    QVERIFY(writePortMap(m_folder.path(), ports));
}

void TestRemoteLineHostile::floodsCutTheServerOff_data()
{
    QTest::addColumn<Misdeed>("misdeed");
    QTest::addColumn<Phase>("phase");
    QTest::addColumn<int>("number");   // of the failed start
    const struct
    {
        Misdeed misdeed;
        int number;
    } floods[] = {
        {Misdeed::EndlessSubnegotiation, CommPort::ErrorDeviceIo},
        {Misdeed::AnswerFlood, CommPort::ErrorDeviceIo},
        // Its offers come instead of the answer to ours: the option counts as refused.
        {Misdeed::OptionFlood, CommPort::ErrorLineSetting},
    };
    for (const auto &flood : floods) {
        const char *name = QMetaEnum::fromType<Misdeed>().valueToKey(int(flood.misdeed));
        QTest::addRow("%s in the start", name) << flood.misdeed << Phase::Connect << flood.number;
        QTest::addRow("%s in the run", name) << flood.misdeed << Phase::Data << 0;
    }
}

// A flood in the start fails it, one in the run ends it as a loss; both name the server.
void TestRemoteLineHostile::floodsCutTheServerOff()
{
    QFETCH(Misdeed, misdeed);
    QFETCH(Phase, phase);
    QFETCH(int, number);
    HostileServer server(phase, misdeed);
    mapPorts(server.address());
    const QString named = QStringLiteral("127.0.0.1:%1").arg(server.port());
    CommPort port;
    port.setCommPort(TestPort);
    port.setRThreshold(1);
    int losses = 0;
    connect(&port, &CommPort::OnComm, this, [&] { losses += port.CommEvent() == CommPort::EventDeviceLost; });
    const std::optional<Component::RuntimeError> failure = openFailure(port);
    if (phase == Phase::Connect) {
        QVERIFY(failure);
        QCOMPARE(failure->number(), number);
        QVERIFY2(failure->description().contains(named), qPrintable(failure->description()));
        QVERIFY(!port.PortOpen());
    } else {
        QVERIFY2(!failure, failure ? qPrintable(failure->description()) : "");
        port.setOutput(QByteArray("go"));
        QTRY_VERIFY_WITH_TIMEOUT(!port.PortOpen(), floodMilliseconds() + 10000);
        QCOMPARE(port.CommEvent(), qint16(CommPort::EventDeviceLost));
        QVERIFY2(port.LossReason().contains(named), qPrintable(port.LossReason()));
    }
    // The server goes on flooding what no longer listens; nothing more reaches the port.
    QTest::qWait(floodMilliseconds());
    QCOMPARE(losses, phase == Phase::Connect ? 0 : 1);
    QVERIFY2(server.flooded() > 0, "the server never flooded");
    qInfo("flooded %lld bytes; peak resident memory %lld MiB", server.flooded(), peakResidentBytes() >> 20);
    if (ResidentSizeTells)
        QVERIFY2(peakResidentBytes() < MemoryLimitBytes, qPrintable(QString::number(peakResidentBytes())));
}

// Refusals the server never reads wait in front of it; the user's line is not behind.
void TestRemoteLineHostile::refusalsWaitingForAServerAreNotUserData()
{
    HostileServer server(Phase::Data, Misdeed::OptionFlood);
    mapPorts(server.address());
    CommPort port;
    port.setCommPort(TestPort);
    port.setPortOpen(true);
    port.setOutput(QByteArray("go"));
    QTRY_VERIFY_WITH_TIMEOUT(server.flooded() > 0, 5000);
    // Watched from an event loop that turns freely (QTest::qWait sleeps between turns).
    qint64 mostPending = 0;
    QEventLoop watching;
    QTimer sample;
    connect(&sample, &QTimer::timeout, &watching, [&] {
        mostPending = qMax(mostPending, port.OutputPending());
        if (!port.PortOpen())
            watching.quit();
    });
    sample.start(10);
    QTimer::singleShot(20000, &watching, &QEventLoop::quit);
    watching.exec();
    QCOMPARE(mostPending, qint64(0));
    // Cut off for the refusals it left unread, not for offering too many at once.
    QVERIFY(!port.PortOpen());
    QVERIFY2(port.LossReason().contains(QStringLiteral("不读取协议应答")), qPrintable(port.LossReason()));
}

void TestRemoteLineHostile::lossDuringAStartFailsItAsLost_data()
{
    QTest::addColumn<Phase>("phase");
    QTest::addColumn<Misdeed>("misdeed");
    for (const Phase phase : {Phase::Connect, Phase::Offers, Phase::Settings, Phase::Handshake, Phase::ModemControl}) {
        for (const Misdeed misdeed : {Misdeed::Close, Misdeed::Reset}) {
            QTest::addRow("%s at %s", QMetaEnum::fromType<Misdeed>().valueToKey(int(misdeed)),
                          QMetaEnum::fromType<Phase>().valueToKey(int(phase)))
                << phase << misdeed;
        }
    }
}

// The start fails as a lost server, naming it, never as a setting it refused; nothing
// of the failed open is told afterwards, and the next start finds the port as new.
void TestRemoteLineHostile::lossDuringAStartFailsItAsLost()
{
    QFETCH(Phase, phase);
    QFETCH(Misdeed, misdeed);
    HostileServer server(phase, misdeed);
    mapPorts(server.address());
    CommPort port;
    port.setCommPort(TestPort);
    port.setRThreshold(1);
    QSignalSpy events(&port, &CommPort::OnComm);
    QSignalSpy notices(&port, &CommPort::notice);
    const std::optional<Component::RuntimeError> failure = openFailure(port);
    QVERIFY(failure);
    QCOMPARE(failure->number(), int(CommPort::ErrorPortNotFound));
    QVERIFY2(failure->description().contains(QStringLiteral("127.0.0.1:%1").arg(server.port())),
             qPrintable(failure->description()));
    // Qt sees a reset right at the accept as a connection that never comes.
    const QString said = phase == Phase::Connect && misdeed == Misdeed::Reset ? QStringLiteral("没有建立连接")
                                                                               : QStringLiteral("断开");
    QVERIFY2(failure->description().contains(said), qPrintable(failure->description()));
    QTest::qWait(300);
    QVERIFY(!port.PortOpen());
    QCOMPARE(events.size(), 0);
    QCOMPARE(notices.size(), 0);

    HostileServer sound;
    mapPorts(sound.address());
    port.setPortOpen(true);
    QVERIFY(port.PortOpen());
}

// A server that goes away while the line waits for its answer to DTR: one loss, told
// when the wait ends, and no word of missing modem lines.
void TestRemoteLineHostile::lossDuringAWaitOfTheRunIsOneLoss()
{
    HostileServer server(Phase::ModemControl, Misdeed::Close, 0, 3);
    mapPorts(server.address());
    CommPort port;
    port.setCommPort(TestPort);
    port.setRThreshold(1);
    port.setPortOpen(true);
    QSignalSpy events(&port, &CommPort::OnComm);
    QSignalSpy notices(&port, &CommPort::notice);
    port.setDTREnable(false);
    QTRY_VERIFY_WITH_TIMEOUT(!port.PortOpen(), 3000);
    QTest::qWait(300);
    QCOMPARE(events.size(), 1);
    QCOMPARE(port.CommEvent(), qint16(CommPort::EventDeviceLost));
    QCOMPARE(notices.size(), 0);
}

// Sending every 200 ms when the server goes away at a DTR change: the loss stops the
// run, and no send is shown or captured after it.
void TestRemoteLineHostile::nothingSentAfterALoss()
{
    HostileServer server(Phase::ModemControl, Misdeed::Close, 0, 3);
    mapPorts(server.address());
    EngineInView engine;
    engine.setSamePort(true);
    engine.openInPort({TestPort, QStringLiteral("9600,N,8,1"), 0}, 1, 0);
    TransferEngine::Run run;
    run.mode = TransferEngine::ModeSendReceive;
    run.repeat = true;
    run.period = 200;
    run.outCommand = QStringLiteral("AT");
    run.outData = QStringLiteral("AT");
    QSignalSpy sent(&engine, &TransferEngine::sent);
    QSignalSpy lost(&engine, &TransferEngine::deviceLost);
    QSignalSpy failed(&engine, &TransferEngine::failed);
    int sentAtLoss = -1;
    connect(&engine, &TransferEngine::deviceLost, this, [&] { sentAtLoss = int(sent.size()); });
    engine.begin(run, {});
    QTRY_VERIFY_WITH_TIMEOUT(sent.size() >= 2, 3000);
    engine.inPort().setDTREnable(false);
    QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 3000);
    QTest::qWait(1000);
    QCOMPARE(lost.size(), 1);
    QCOMPARE(int(sent.size()), sentAtLoss);
    QCOMPARE(failed.size(), 0);
    QVERIFY(!engine.sending());
}

void TestRemoteLineHostile::answersAroundTheirLimit_data()
{
    QTest::addColumn<Phase>("phase");
    QTest::addColumn<int>("late");
    QTest::addColumn<int>("number");   // 0: the open goes through
    QTest::addColumn<bool>("noticed");
    const int answer = RemoteLine::AnswerMilliseconds;
    const int modem = RemoteLine::ModemAnswerMilliseconds;
    QTest::addRow("option just in time") << Phase::Offers << answer - 300 << 0 << false;
    QTest::addRow("option too late") << Phase::Offers << answer + 300 << int(CommPort::ErrorLineSetting) << false;
    QTest::addRow("settings just in time") << Phase::Settings << answer - 300 << 0 << false;
    QTest::addRow("settings too late") << Phase::Settings << answer + 300 << int(CommPort::ErrorBaudRate) << false;
    QTest::addRow("handshake just in time") << Phase::Handshake << answer - 300 << 0 << false;
    QTest::addRow("handshake too late") << Phase::Handshake << answer + 300 << int(CommPort::ErrorLineSetting)
                                        << false;
    QTest::addRow("DTR just in time") << Phase::ModemControl << modem - 150 << 0 << false;
    QTest::addRow("DTR too late") << Phase::ModemControl << modem + 300 << 0 << true;
}

// A late answer counts as given within the phase's limit and as refused after it.
void TestRemoteLineHostile::answersAroundTheirLimit()
{
    QFETCH(Phase, phase);
    QFETCH(int, late);
    QFETCH(int, number);
    QFETCH(bool, noticed);
    HostileServer server(phase, Misdeed::Late, late);
    mapPorts(server.address());
    CommPort port;
    port.setCommPort(TestPort);
    QSignalSpy notices(&port, &CommPort::notice);
    const std::optional<Component::RuntimeError> failure = openFailure(port);
    QCOMPARE(failure ? failure->number() : 0, number);
    QTest::qWait(50);
    QCOMPARE(!notices.isEmpty(), noticed);
}

void TestRemoteLineHostile::closeCallsAWaitingOpenOff_data()
{
    QTest::addColumn<Phase>("phase");
    QTest::addRow("waiting for the option") << Phase::Offers;
    QTest::addRow("waiting for the settings") << Phase::Settings;
    QTest::addRow("waiting for the handshake") << Phase::Handshake;
    QTest::addRow("waiting for DTR") << Phase::ModemControl;
}

// A close from the event loop (the start button, the window's close) ends the open at
// once; it fails as called off and leaves nothing behind.
void TestRemoteLineHostile::closeCallsAWaitingOpenOff()
{
    QFETCH(Phase, phase);
    HostileServer server(phase, Misdeed::Silence);
    mapPorts(server.address());
    CommPort port;
    port.setCommPort(TestPort);
    port.setRThreshold(1);
    port.setOpenDeadline(QDeadlineTimer(TransferEngine::StartMilliseconds));
    QSignalSpy events(&port, &CommPort::OnComm);
    QSignalSpy connecting(&port, &CommPort::Connecting);
    bool busyWhenClosed = false;
    QTimer::singleShot(100, &port, [&] {
        busyWhenClosed = port.Busy();
        port.setPortOpen(false);
    });
    QElapsedTimer took;
    took.start();
    const std::optional<Component::RuntimeError> failure = openFailure(port);
    QVERIFY(failure);
    QCOMPARE(failure->number(), int(CommPort::ErrorOpenCancelled));
    QVERIFY2(took.elapsed() < RemoteLine::ModemAnswerMilliseconds, qPrintable(QString::number(took.elapsed())));
    QVERIFY(busyWhenClosed);
    QVERIFY(!port.Busy());
    QCOMPARE(connecting.size(), 1);
    QTest::qWait(200);
    QVERIFY(!port.PortOpen());
    QCOMPARE(events.size(), 0);
    QTRY_VERIFY(!server.connected());
}

// Two servers that answer each phase late within its limit: the start runs out of its
// one limit rather than adding the phases up, and the event loop turns meanwhile.
void TestRemoteLineHostile::oneLimitForTheWholeStart()
{
    HostileServer first(Phase::Offers, Misdeed::LateEveryAnswer, 900);
    HostileServer second(Phase::Offers, Misdeed::LateEveryAnswer, 900);
    mapPorts(first.address(), second.address());
    EngineInView engine;
    QElapsedTimer ticking;
    qint64 longestGap = 0;
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, this, [&] {
        longestGap = qMax(longestGap, ticking.restart());
    });
    ticks.start(10);
    ticking.start();
    QElapsedTimer took;
    took.start();
    std::optional<Component::RuntimeError> failure;
    try {
        engine.openOutPort({TestPort, QStringLiteral("9600,N,8,1"), 0});
        engine.openInPort({SecondPort, QStringLiteral("9600,N,8,1"), 0}, 1, 0);
    } catch (const Component::RuntimeError &error) {
        failure = error;
    }
    const qint64 elapsed = took.elapsed();
    ticks.stop();
    QVERIFY(failure);
    QVERIFY(!engine.inPort().PortOpen());
    QVERIFY2(elapsed < TransferEngine::StartMilliseconds + 500, qPrintable(QString::number(elapsed)));
    // No wait held the loop for a late answer (900 ms); the benchmark measures the stalls.
    QVERIFY2(longestGap < 500, qPrintable(QString::number(longestGap)));
    engine.closePorts();
}

void TestRemoteLineHostile::slowConnect_data()
{
    QTest::addColumn<int>("drainAfter");   // -1: never
    QTest::addRow("first SYN dropped") << 300;
    QTest::addRow("every SYN dropped") << -1;
}

// A connection that comes after a dropped SYN is a connection; one that never comes is
// told as not established in time, with host and port, never as a missing device.
void TestRemoteLineHostile::slowConnect()
{
    QFETCH(int, drainAfter);
    FullListener listener;
    mapPorts(QStringLiteral("tcp://127.0.0.1:%1").arg(listener.port()));
    CommPort port;
    port.setCommPort(TestPort);
    // Drained from then on: the fillers' own SYNs come back as ours does.
    QTimer draining;
    connect(&draining, &QTimer::timeout, &port, [&listener] { listener.drain(); });
    if (drainAfter >= 0)
        QTimer::singleShot(drainAfter, &draining, [&draining] { draining.start(50); });
    QElapsedTimer took;
    took.start();
    const std::optional<Component::RuntimeError> failure = openFailure(port);
    if (drainAfter >= 0) {
        QVERIFY2(!failure, failure ? qPrintable(failure->description()) : "");
        QVERIFY2(took.elapsed() > drainAfter, "the SYN was not dropped");
        return;
    }
    QVERIFY(failure);
    QCOMPARE(failure->number(), int(CommPort::ErrorPortNotFound));
    QVERIFY2(failure->description().contains(QStringLiteral("127.0.0.1:%1").arg(listener.port())),
             qPrintable(failure->description()));
    QVERIFY2(failure->description().contains(QStringLiteral("没有建立连接")), qPrintable(failure->description()));
}

QTEST_MAIN(TestRemoteLineHostile)
#include "tst_remotelinehostile.moc"
