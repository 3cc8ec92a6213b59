// Velmora tests. Licensed under the MIT licence.
#include "portmap.h"
#include "session.h"

#include <portmapfile.h>
#include <pseudoterminal.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>

namespace {

constexpr qint16 HighestPort = PortMap::LastPort;
const QString Settings = QStringLiteral("9600,N,8,1");

// A session on every port of a port map of its own: the present ones are far ends
// under fixed names, so that an unplugged one comes back as the same port; the others
// name devices that do not exist.
class SessionBench
{
public:
    explicit SessionBench(const QList<int> &presentPorts)
    {
        PortMap::setFolder(m_folder.path());
        PortMap::setUserFolder(m_folder.path());
        QList<std::pair<int, QString>> ports;
        for (int n = 1; n <= HighestPort; ++n) {
            const QString device = m_folder.filePath(QStringLiteral("com%1").arg(n));
            if (presentPorts.contains(n))
                m_farEnds[n] = std::make_unique<PseudoTerminal>(device);
            ports.append({n, device});
        }
        writePortMap(m_folder.path(), ports);
        session.loadOptions(m_folder.filePath(QStringLiteral("velmora.ini")));
        session.scanPorts({});
    }

    static Session::Choices choices(qint16 mode, qint16 outPort, qint16 inPort)
    {
        Session::Choices choices;
        choices.mode = mode;
        choices.outPort = outPort;
        choices.inPort = inPort;
        choices.outSettings = choices.inSettings = Settings;
        choices.period = 200;
        choices.repeat = true;
        choices.outCommand = QStringLiteral("AT");
        return choices;
    }

    void setReconnect(bool reconnect)
    {
        PortMapOptions options = session.portMapOptions();
        options.reconnect = reconnect;
        session.setPortMapOptions(options);
    }

    PseudoTerminal &farEnd(int port) { return *m_farEnds.at(port); }

    QTemporaryDir m_folder;
    std::map<int, std::unique_ptr<PseudoTerminal>> m_farEnds;
    Session session;
};

QList<qint16> listed(const Session &session)
{
    QList<qint16> numbers;
    for (const Session::PortEntry &port : session.ports())
        numbers << port.number;
    return numbers;
}

} // namespace

// The rules of a run without a window: what a start refuses and where the user is sent
// to correct it, one port serving both ways, a device lost mid-run, the start again once
// it is back, and the system's ports looked at again while a run holds its own.
class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void startRefuses_data();
    void startRefuses();
    void portHeldByAnotherRunIsRefused();
    void samePortServesBothWays_data();
    void samePortServesBothWays();
    void lostDeviceStopsTheRun();
    void runStartsAgainOnceTheDeviceIsBack();
    void choosingAnotherPortEndsTheWait();
    void rescanDuringRunKeepsTheRun();
};

void TestSession::startRefuses_data()
{
    using R = Session::Refusal;
    QTest::addColumn<QList<int>>("present");
    QTest::addColumn<Session::Choices>("choices");
    QTest::addColumn<int>("what");
    QTest::addColumn<int>("focus");
    QTest::addColumn<int>("port");

    const auto make = [](qint16 mode, qint16 out, qint16 in) { return SessionBench::choices(mode, out, in); };
    QTest::addRow("no port at all") << QList<int>{} << make(TransferEngine::ModeSend, 1, 1)
                                    << int(R::NoPort) << int(R::OutPortChoice) << 1;
    QTest::addRow("sending port missing") << QList<int>{1} << make(TransferEngine::ModeSend, 3, 1)
                                          << int(R::PortMissing) << int(R::OutPortChoice) << 3;
    QTest::addRow("receiving port missing") << QList<int>{1} << make(TransferEngine::ModeReceive, 1, 4)
                                            << int(R::PortMissing) << int(R::InPortChoice) << 4;
    QTest::addRow("second port missing") << QList<int>{1} << make(TransferEngine::ModeSendReceive, 1, 5)
                                         << int(R::PortMissing) << int(R::InPortChoice) << 5;

    Session::Choices settings = make(TransferEngine::ModeSendReceive, 1, 1);
    settings.inSettings = QStringLiteral("19200,N,8,1");
    QTest::addRow("same port, two rates") << QList<int>{1} << settings
                                          << int(R::SamePortSettings) << int(R::OutSettingsChoice) << 0;
    Session::Choices handshakes = make(TransferEngine::ModeAnswer, 2, 2);
    handshakes.inCommand = QStringLiteral("AT");
    handshakes.inHandshake = 1;
    QTest::addRow("same port, two handshakes") << QList<int>{2} << handshakes
                                               << int(R::SamePortSettings) << int(R::OutSettingsChoice) << 0;

    Session::Choices hex = make(TransferEngine::ModeSend, 1, 1);
    hex.format = CommandCodec::FormatHex;
    hex.outCommand = QStringLiteral("0G");
    QTest::addRow("send command not hex") << QList<int>{1} << hex
                                          << int(R::BadCommand) << int(R::OutCommandChoice) << 0;
    Session::Choices overflow = hex;
    overflow.outCommand = QString(2 * 32768, QLatin1Char('0'));
    QTest::addRow("more hex pairs than a send holds") << QList<int>{1} << overflow
                                                      << int(R::Unencodable) << int(R::OutCommandChoice) << 0;
    Session::Choices answer = make(TransferEngine::ModeAnswer, 1, 2);
    answer.format = CommandCodec::FormatHex;
    answer.outCommand = QStringLiteral("4F4B");
    answer.inCommand = QStringLiteral("414");
    QTest::addRow("expected command odd") << QList<int>{1, 2} << answer
                                          << int(R::BadCommand) << int(R::InCommandChoice) << 0;
    // The command is looked at before any port: the receiving mode sends none.
    Session::Choices receiving = make(TransferEngine::ModeReceive, 1, 2);
    receiving.format = CommandCodec::FormatHex;
    receiving.outCommand = QStringLiteral("0G");
    QTest::addRow("receiving ignores the send command") << QList<int>{1} << receiving
                                                        << int(R::PortMissing) << int(R::InPortChoice) << 2;

    Session::Choices unopenable = make(TransferEngine::ModeSend, 1, 1);
    unopenable.outSettings = QStringLiteral("9600,Q,8,1");
    QTest::addRow("settings the line refuses") << QList<int>{1} << unopenable
                                               << int(R::OpenFailed) << int(R::NoFocus) << 1;
}

void TestSession::startRefuses()
{
    QFETCH(QList<int>, present);
    QFETCH(Session::Choices, choices);
    SessionBench bench(present);
    QSignalSpy running(&bench.session, &Session::runningChanged);

    const Session::Refusal refusal = bench.session.start(choices);

    QTEST(int(refusal.what), "what");
    QTEST(int(refusal.focus), "focus");
    QTEST(int(refusal.port), "port");
    QVERIFY(!bench.session.running());
    QVERIFY(!bench.session.portsOpen());
    QCOMPARE(running.size(), 0);
}

// A port this program already holds is refused before the open, as one another holds.
void TestSession::portHeldByAnotherRunIsRefused()
{
    SessionBench bench({1});
    QVERIFY(!bench.session.start(SessionBench::choices(TransferEngine::ModeReceive, 1, 1)).refused());
    Session second;
    second.scanPorts({});

    const Session::Refusal refusal = second.start(SessionBench::choices(TransferEngine::ModeSend, 1, 1));

    QCOMPARE(refusal.what, Session::Refusal::PortBusy);
    QCOMPARE(refusal.port, qint16(1));
    QVERIFY(bench.session.running());
    QVERIFY(!second.portsOpen());
}

void TestSession::samePortServesBothWays_data()
{
    QTest::addColumn<QString>("outRate");
    QTest::addColumn<QString>("inRate");
    QTest::addRow("same lists") << QString() << QString();
    // A custom rate of the receiving side serves the one port both ways.
    QTest::addRow("custom rate evens the lists") << QString() << QStringLiteral("19200");
}

void TestSession::samePortServesBothWays()
{
    QFETCH(QString, inRate);
    SessionBench bench({2});
    LineOptions options = bench.session.lineOptions();
    options.inBaud = inRate;
    bench.session.setLineOptions(options);
    Session::Choices choices = SessionBench::choices(TransferEngine::ModeSendReceive, 2, 2);
    if (!inRate.isEmpty())
        choices.inSettings = QStringLiteral("4800,N,8,1");
    QSignalSpy sent(&bench.session, &Session::sent);
    QSignalSpy received(&bench.session, &Session::received);

    QVERIFY(!bench.session.start(choices).refused());
    QVERIFY(bench.session.running());
    QCOMPARE(bench.farEnd(2).read(1000, 2), QByteArray("AT"));
    QCOMPARE(sent.first().first().toString(), QStringLiteral("AT"));
    bench.farEnd(2).write("OK");
    QTRY_VERIFY(!received.isEmpty());
    QCOMPARE(received.first().first().toString(), QStringLiteral("OK"));

    bench.session.stop();
    QVERIFY(!bench.session.running());
    QVERIFY(!bench.session.portsOpen());
}

void TestSession::lostDeviceStopsTheRun()
{
    SessionBench bench({1, 2});
    QSignalSpy lost(&bench.session, &Session::deviceLost);
    QSignalSpy running(&bench.session, &Session::runningChanged);
    QVERIFY(!bench.session.start(SessionBench::choices(TransferEngine::ModeSendReceive, 1, 2)).refused());

    bench.farEnd(2).unplug();

    QTRY_COMPARE(lost.size(), 1);
    QCOMPARE(lost.first().at(0).value<qint16>(), qint16(2));
    QCOMPARE(lost.first().at(1).toBool(), false);
    QCOMPARE(running.size(), 2);
    QCOMPARE(running.last().first().toBool(), false);
    QVERIFY(!bench.session.portsOpen());
    QVERIFY(!bench.session.awaitingReconnect());
}

// The run starts again on its own ports once the device is back, with its settings and
// command; a device that comes and goes again is told of once.
void TestSession::runStartsAgainOnceTheDeviceIsBack()
{
    SessionBench bench({1});
    bench.setReconnect(true);
    QSignalSpy lost(&bench.session, &Session::deviceLost);
    QSignalSpy listsDue(&bench.session, &Session::portsChanged);
    QVERIFY(!bench.session.start(SessionBench::choices(TransferEngine::ModeSend, 1, 1)).refused());
    QCOMPARE(bench.farEnd(1).read(1000, 2), QByteArray("AT"));

    bench.farEnd(1).unplug();
    QTRY_COMPARE(lost.size(), 1);
    QCOMPARE(lost.first().at(1).toBool(), true);
    QVERIFY(bench.session.awaitingReconnect());
    QTest::qWait(3 * Session::ReconnectLookMilliseconds);
    QVERIFY(!bench.session.running());

    bench.farEnd(1).plugIn();
    QTRY_VERIFY_WITH_TIMEOUT(bench.session.running(), 5000);
    QVERIFY(!listsDue.isEmpty());
    QCOMPARE(bench.farEnd(1).read(1000, 2), QByteArray("AT"));

    bench.farEnd(1).unplug();
    QTRY_VERIFY(!bench.session.running());
    bench.farEnd(1).plugIn();
    QTRY_VERIFY_WITH_TIMEOUT(bench.session.running(), 5000);
    QCOMPARE(lost.size(), 1);
}

void TestSession::choosingAnotherPortEndsTheWait()
{
    SessionBench bench({1, 2});
    bench.setReconnect(true);
    QSignalSpy lost(&bench.session, &Session::deviceLost);
    Session::Choices choices = SessionBench::choices(TransferEngine::ModeSend, 1, 1);
    QVERIFY(!bench.session.start(choices).refused());
    bench.farEnd(1).unplug();
    QTRY_COMPARE(lost.size(), 1);

    choices.outPort = 2;
    bench.session.setChoices(choices);
    bench.farEnd(1).plugIn();
    QTRY_VERIFY_WITH_TIMEOUT(!bench.session.awaitingReconnect(), 2000);
    QTest::qWait(3 * Session::ReconnectLookMilliseconds);
    QVERIFY(!bench.session.running());
    QVERIFY(!bench.session.portsOpen());
}

// A device plugged in during a run is listed by a scan without touching the run's ports;
// the watch tells of it only once the run has stopped.
void TestSession::rescanDuringRunKeepsTheRun()
{
    SessionBench bench({1});
    bench.session.watchPorts();
    QSignalSpy portsChanged(&bench.session, &Session::portsChanged);
    QVERIFY(!bench.session.start(SessionBench::choices(TransferEngine::ModeSend, 1, 1)).refused());
    QCOMPARE(listed(bench.session), QList<qint16>{1});

    bench.m_farEnds[3] = std::make_unique<PseudoTerminal>(bench.m_folder.filePath(QStringLiteral("com3")));
    QTest::qWait(PortWatcher::PollMilliseconds + 500);
    QCOMPARE(portsChanged.size(), 0);
    bench.session.scanPorts({});
    QCOMPARE(listed(bench.session), (QList<qint16>{1, 3}));
    QVERIFY(bench.session.running());
    QCOMPARE(bench.farEnd(1).read(1000, 2), QByteArray("AT"));

    bench.session.stop();
    bench.m_farEnds[4] = std::make_unique<PseudoTerminal>(bench.m_folder.filePath(QStringLiteral("com4")));
    QTRY_VERIFY_WITH_TIMEOUT(!portsChanged.isEmpty(), 3 * PortWatcher::PollMilliseconds);
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
