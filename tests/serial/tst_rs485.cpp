// Velmora tests. Licensed under the MIT licence.
#include "commport.h"
#include "echofilter.h"
#include "portmap.h"
#include "portmapfile.h"
#include "pseudoterminal.h"
#include "rs485options.h"
#include "syscalldouble.h"
#include "transferengine.h"
#include "turnaroundtimes.h"

#include <runtimeerror.h>

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace {

constexpr qint16 TestPort = 15;
const QString Settings = QStringLiteral("9600,N,8,1");
// How much later than asked a delay may end on a loaded machine; never earlier.
constexpr qint64 DelayToleranceNs = 5'000'000;
constexpr qint64 NsPerMs = 1'000'000;

using Call = SyscallDouble::Call;

Rs485Settings driverMode(bool rtsHigh, int before, int after, bool receive = false)
{
    Rs485Settings settings;
    settings.direction = Rs485Settings::Direction::Driver;
    settings.rtsHighWhileSending = rtsHigh;
    settings.delayBeforeMs = before;
    settings.delayAfterMs = after;
    settings.receiveWhileSending = receive;
    return settings;
}

Rs485Settings programMode(bool rtsHigh, int before, int after)
{
    Rs485Settings settings = driverMode(rtsHigh, before, after);
    settings.direction = Rs485Settings::Direction::Program;
    return settings;
}

serial_rs485 mode(quint32 flags, quint32 before, quint32 after)
{
    serial_rs485 m {};
    m.flags = flags;
    m.delay_rts_before_send = before;
    m.delay_rts_after_send = after;
    return m;
}

bool sameMode(const serial_rs485 &a, const serial_rs485 &b)
{
    return a.flags == b.flags && a.delay_rts_before_send == b.delay_rts_before_send
        && a.delay_rts_after_send == b.delay_rts_after_send;
}

// What an operation threw; number 0 when it threw nothing.
Component::RuntimeError failureOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const Component::RuntimeError &error) {
        return error;
    }
    return Component::RuntimeError(0, QString());
}

std::vector<Call> callsOf(const std::vector<Call> &calls, Call::Kind kind)
{
    std::vector<Call> found;
    for (const Call &call : calls) {
        if (call.kind == kind)
            found.push_back(call);
    }
    return found;
}

} // namespace

using Rewrite = std::function<serial_rs485(serial_rs485)>;
Q_DECLARE_METATYPE(Rs485Settings)
Q_DECLARE_METATYPE(serial_rs485)
Q_DECLARE_METATYPE(Rewrite)
Q_DECLARE_METATYPE(Rs485Options)

// RS-485 direction control of a port, against a driver played at the system-call
// boundary on a pseudo-terminal, and echo suppression against a far end that hears itself.
class TestRs485 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void driverTakesWhatItIsGiven_data();
    void driverTakesWhatItIsGiven();
    void driverWithoutModeIsRefused_data();
    void driverWithoutModeIsRefused();
    void stateComesBackAtStopAndExit_data();
    void stateComesBackAtStopAndExit();
    void programSwitchesAroundEachWrite_data();
    void programSwitchesAroundEachWrite();
    void programSwitchingTime();
    void programNeedsRts();
    void handshakeOnRtsIsRefused();
    void optionsKeepToTheirFile_data();
    void optionsKeepToTheirFile();
    void networkLinesHaveNone_data();
    void networkLinesHaveNone();
    void turnaroundCountsEachReplyOnce_data();
    void turnaroundCountsEachReplyOnce();
    void echoFilterCutAnywhere();
    void alteredEchoCountsOneCollision_data();
    void alteredEchoCountsOneCollision();
    void echoesNeverReachPaneOrCapture();

private:
    void mapPort(const QString &device);
    std::unique_ptr<CommPort> openPort(PseudoTerminal &pty, const Rs485Settings &settings,
                                       const SyscallDouble::Driver &driver);

    QTemporaryDir m_folder;
};

void TestRs485::initTestCase()
{
    QVERIFY(m_folder.isValid());
    PortMap::setFolder(m_folder.path());
}

void TestRs485::cleanup()
{
    SyscallDouble::watch(QString());
}

void TestRs485::mapPort(const QString &device)
{
    QVERIFY(writePortMap(m_folder.path(), {{TestPort, device}}));
}

std::unique_ptr<CommPort> TestRs485::openPort(PseudoTerminal &pty, const Rs485Settings &settings,
                                              const SyscallDouble::Driver &driver)
{
    mapPort(pty.slavePath());
    SyscallDouble::watch(pty.slavePath(), driver);
    auto port = std::make_unique<CommPort>();
    port->setCommPort(TestPort);
    port->setSettings(Settings);
    port->setRs485(settings);
    port->setPortOpen(true);
    return port;
}

void TestRs485::driverTakesWhatItIsGiven_data()
{
    QTest::addColumn<Rs485Settings>("settings");
    QTest::addColumn<Rewrite>("rewrite");
    QTest::addColumn<serial_rs485>("asked");
    QTest::addColumn<QStringList>("differing");

    const Rewrite none;
    QTest::addRow("RTS on send, delays as asked") << driverMode(true, 5, 3) << none
        << mode(SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND, 5, 3) << QStringList();
    QTest::addRow("RTS after send, receiving while sending") << driverMode(false, 0, 20, true) << none
        << mode(SER_RS485_ENABLED | SER_RS485_RTS_AFTER_SEND | SER_RS485_RX_DURING_TX, 0, 20) << QStringList();
    QTest::addRow("driver forces RTS after send")
        << driverMode(true, 1, 1)
        << Rewrite([](serial_rs485 m) {
               m.flags = (m.flags & ~SER_RS485_RTS_ON_SEND) | SER_RS485_RTS_AFTER_SEND;
               return m;
           })
        << mode(SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND, 1, 1)
        << QStringList {QStringLiteral("发送时 RTS 为高：设置为开，实际为关"),
                        QStringLiteral("发送后 RTS 为高：设置为关，实际为开")};
    QTest::addRow("driver caps the delays")
        << driverMode(true, 50, 100)
        << Rewrite([](serial_rs485 m) {
               m.delay_rts_before_send = qMin(m.delay_rts_before_send, 30u);
               m.delay_rts_after_send = qMin(m.delay_rts_after_send, 30u);
               return m;
           })
        << mode(SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND, 50, 100)
        << QStringList {QStringLiteral("发送前延时：设置为50 毫秒，实际为30 毫秒"),
                        QStringLiteral("发送后延时：设置为100 毫秒，实际为30 毫秒")};
    QTest::addRow("asked delays beyond 100 ms reach the driver as 100")
        << driverMode(true, 250, 0) << none << mode(SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND, 100, 0)
        << QStringList();
}

void TestRs485::driverTakesWhatItIsGiven()
{
    QFETCH(Rs485Settings, settings);
    QFETCH(Rewrite, rewrite);
    QFETCH(serial_rs485, asked);
    QFETCH(QStringList, differing);

    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    SyscallDouble::Driver driver;
    driver.rewrite = rewrite;
    const std::unique_ptr<CommPort> port = openPort(pty, settings, driver);
    const std::vector<Call> sets = callsOf(SyscallDouble::calls(), Call::SetRs485);
    QCOMPARE(sets.size(), size_t(1));
    QVERIFY(sameMode(sets.front().mode, asked));
    QCOMPARE(port->Rs485Differences(), differing);
}

void TestRs485::driverWithoutModeIsRefused_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("says");
    QTest::addRow("ENOTTY: no RS-485 mode") << ENOTTY << QStringLiteral("没有 RS-485 模式");
    QTest::addRow("EINVAL: settings refused") << EINVAL << QStringLiteral("拒绝了这组 RS-485 设置");
}

void TestRs485::driverWithoutModeIsRefused()
{
    QFETCH(int, error);
    QFETCH(QString, says);

    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    SyscallDouble::Driver driver;
    driver.rs485Error = error;
    std::unique_ptr<CommPort> port;
    const Component::RuntimeError failure = failureOf([&] { port = openPort(pty, driverMode(true, 0, 0), driver); });
    QCOMPARE(failure.number(), int(CommErrors::ErrorLineSetting));
    QVERIFY2(failure.description().contains(says), qPrintable(failure.description()));
    QVERIFY2(failure.description().contains(QStringLiteral("由程序切换")), qPrintable(failure.description()));
    // The device is free again: the same port opens without RS-485.
    CommPort plain;
    plain.setCommPort(TestPort);
    QCOMPARE(failureOf([&] { plain.setPortOpen(true); }).number(), 0);
}

void TestRs485::stateComesBackAtStopAndExit_data()
{
    QTest::addColumn<bool>("exit");
    QTest::addRow("stop") << false;
    QTest::addRow("exit") << true;
}

void TestRs485::stateComesBackAtStopAndExit()
{
    QFETCH(bool, exit);

    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    SyscallDouble::Driver driver;
    const serial_rs485 before = mode(SER_RS485_ENABLED | SER_RS485_RTS_AFTER_SEND, 7, 9);
    driver.held = before;
    std::unique_ptr<CommPort> port = openPort(pty, driverMode(true, 2, 2), driver);
    QVERIFY(!sameMode(SyscallDouble::held(), before));
    if (exit)
        port.reset();
    else
        port->setPortOpen(false);
    QVERIFY(sameMode(SyscallDouble::held(), before));

    // By the program, RTS rests at its receiving level after the last send.
    port = openPort(pty, programMode(true, 0, 0), {});
    port->setOutput(QByteArray("AT"));
    port->setRTSEnable(true);   // the user's RTS does not apply while the program switches
    QVERIFY(!SyscallDouble::rtsUp());
    if (exit)
        port.reset();
    else
        port->setPortOpen(false);
    QVERIFY(!SyscallDouble::rtsUp());
}

void TestRs485::programSwitchesAroundEachWrite_data()
{
    QTest::addColumn<bool>("rtsHigh");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::addRow("RTS high, no delays") << true << 0 << 0;
    QTest::addRow("RTS high, 5 ms before, 3 after") << true << 5 << 3;
    QTest::addRow("RTS low while sending, 20 ms before, 10 after") << false << 20 << 10;
}

void TestRs485::programSwitchesAroundEachWrite()
{
    QFETCH(bool, rtsHigh);
    QFETCH(int, before);
    QFETCH(int, after);

    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    SyscallDouble::Driver driver;
    driver.busyLineStatusReads = 2;
    const std::unique_ptr<CommPort> port = openPort(pty, programMode(rtsHigh, before, after), driver);
    QCOMPARE(SyscallDouble::rtsUp(), !rtsHigh);
    SyscallDouble::clearCalls();
    const QList<QByteArray> sends {"01 03", QByteArray(300, 'x'), "AT\r"};
    for (const QByteArray &bytes : sends)
        port->setOutput(bytes);
    QCOMPARE(pty.read(100), sends.join());

    const Call::Kind up = rtsHigh ? Call::RtsUp : Call::RtsDown;
    const Call::Kind down = rtsHigh ? Call::RtsDown : Call::RtsUp;
    const std::vector<Call> calls = SyscallDouble::calls();
    size_t k = 0;
    for (const QByteArray &bytes : sends) {
        QVERIFY(k < calls.size());
        QCOMPARE(calls[k].kind, up);
        const qint64 switchedOn = calls[k++].at;
        QByteArray written;
        QVERIFY(k < calls.size() && calls[k].kind == Call::Write);
        const qint64 firstWrite = calls[k].at;
        while (k < calls.size() && calls[k].kind == Call::Write) {
            QCOMPARE(calls[k].rtsUp, rtsHigh);   // nothing goes out at the receiving level
            written += calls[k++].bytes;
        }
        QCOMPARE(written, bytes);
        QVERIFY(k < calls.size());
        QCOMPARE(calls[k++].kind, Call::Drain);
        for (int busy = 0; busy < 3; ++busy) {   // two reads busy, the third empty
            QVERIFY(k < calls.size());
            QCOMPARE(calls[k++].kind, Call::LineStatus);
        }
        const qint64 emptied = calls[k - 1].at;
        QVERIFY(k < calls.size());
        QCOMPARE(calls[k].kind, down);
        const qint64 switchedOff = calls[k++].at;

        const qint64 waitedBefore = firstWrite - switchedOn;
        const qint64 waitedAfter = switchedOff - emptied;
        QVERIFY2(waitedBefore >= before * NsPerMs && waitedBefore <= before * NsPerMs + DelayToleranceNs,
                 qPrintable(QStringLiteral("before: %1 ns").arg(waitedBefore)));
        QVERIFY2(waitedAfter >= after * NsPerMs && waitedAfter <= after * NsPerMs + DelayToleranceNs,
                 qPrintable(QStringLiteral("after: %1 ns").arg(waitedAfter)));
        // The turnaround counts from the transmitter emptied, not from RTS switched back.
        QVERIFY(port->LastSentAt() >= emptied);
    }
    QCOMPARE(k, calls.size());
}

// What switching by the program costs on a pseudo-terminal, told rather than judged:
// from the last byte handed to the driver to RTS back at its receiving level, without
// delays (tcdrain is the pseudo-terminal's own; RTS and the line status the double's).
void TestRs485::programSwitchingTime()
{
    constexpr int Writes = 500;
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    const std::unique_ptr<CommPort> port = openPort(pty, programMode(true, 0, 0), {});
    SyscallDouble::clearCalls();
    for (int k = 0; k < Writes; ++k)
        port->setOutput(QByteArray("01030000000AC5CD"));
    QCOMPARE(pty.read(100).size(), Writes * 16);
    std::vector<qint64> released;
    qint64 lastWrite = 0;
    for (const Call &call : SyscallDouble::calls()) {
        if (call.kind == Call::Write)
            lastWrite = call.at;
        else if (call.kind == Call::RtsDown)
            released.push_back(call.at - lastWrite);
    }
    QCOMPARE(int(released.size()), Writes);
    std::sort(released.begin(), released.end());
    qInfo("RTS back after the last byte was handed over: median %lld us, at most %lld us (%d writes)",
          released[released.size() / 2] / 1000, released.back() / 1000, Writes);
}

void TestRs485::programNeedsRts()
{
    // A pseudo-terminal without the double has no RTS to switch.
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    mapPort(pty.slavePath());
    CommPort port;
    port.setCommPort(TestPort);
    port.setRs485(programMode(true, 0, 0));
    const Component::RuntimeError failure = failureOf([&] { port.setPortOpen(true); });
    QCOMPARE(failure.number(), int(CommErrors::ErrorLineSetting));
    QVERIFY2(failure.description().contains(QStringLiteral("RTS")), qPrintable(failure.description()));
    QVERIFY(!port.PortOpen());
}

void TestRs485::handshakeOnRtsIsRefused()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    mapPort(pty.slavePath());
    SyscallDouble::watch(pty.slavePath());
    CommPort port;
    port.setCommPort(TestPort);
    port.setHandshaking(2);
    port.setRs485(programMode(true, 0, 0));
    const Component::RuntimeError failure = failureOf([&] { port.setPortOpen(true); });
    QCOMPARE(failure.number(), int(CommErrors::ErrorLineSetting));
    QVERIFY(SyscallDouble::calls().empty());   // refused before the device was touched
}

// The options in velmora.ini: what the file holds comes back, values out of range keep
// their defaults, and a save writes only what changed, next to lines it does not know.
void TestRs485::optionsKeepToTheirFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<Rs485Options>("read");

    Rs485Options driverOut;
    driverOut.out = driverMode(false, 12, 100, true);
    driverOut.out.suppressEcho = true;
    QTest::addRow("empty file: defaults") << QByteArray() << Rs485Options();
    QTest::addRow("every key of one port")
        << QByteArray("[RS485Out]\nDirection=1\nRtsHighWhileSending=0\nDelayBeforeMs=12\nDelayAfterMs=100\n"
                      "ReceiveWhileSending=1\nSuppressEcho=1\n")
        << driverOut;
    QTest::addRow("out of range keeps defaults")
        << QByteArray("[RS485In]\nDirection=3\nDelayBeforeMs=101\nDelayAfterMs=-1\n") << Rs485Options();
}

void TestRs485::optionsKeepToTheirFile()
{
    QFETCH(QByteArray, file);
    QFETCH(Rs485Options, read);
    const QString path = m_folder.filePath(QStringLiteral("velmora.ini"));
    QFile ini(path);
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write("; kept\n[Display]\nTimeStamp=1\n" + file);
    ini.close();
    QCOMPARE(Rs485Options::load(path), read);

    Rs485Options changed = read;
    changed.in.direction = Rs485Settings::Direction::Program;
    QVERIFY(changed.save(path));
    QCOMPARE(Rs485Options::load(path), changed);
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray saved = ini.readAll();
    QVERIFY(saved.startsWith("; kept\n[Display]\nTimeStamp=1\n"));
    QCOMPARE(saved.count("Direction="), file.count("Direction=") + (file.contains("[RS485In]") ? 0 : 1));
}

void TestRs485::networkLinesHaveNone_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<Rs485Settings>("settings");
    QTest::addRow("rfc2217, by the driver") << QStringLiteral("rfc2217://127.0.0.1:9") << driverMode(true, 0, 0);
    QTest::addRow("tcp, by the program") << QStringLiteral("tcp://127.0.0.1:9") << programMode(true, 0, 0);
}

void TestRs485::networkLinesHaveNone()
{
    QFETCH(QString, address);
    QFETCH(Rs485Settings, settings);
    mapPort(address);
    CommPort port;
    port.setCommPort(TestPort);
    port.setRs485(settings);
    // Refused before any connection is tried (nothing listens on port 9 anyway).
    const Component::RuntimeError failure = failureOf([&] { port.setPortOpen(true); });
    QCOMPARE(failure.number(), int(CommErrors::ErrorLineSetting));
    QVERIFY2(failure.description().contains(QStringLiteral("RFC 2217")), qPrintable(failure.description()));
}

// Events as (sent, at) pairs: a send stamped `at`, or an arrival stamped `at`; 0 is
// the ports' "no stamp", never a moment.
using Stamps = QList<QPair<bool, qint64>>;
Q_DECLARE_METATYPE(Stamps)

void TestRs485::turnaroundCountsEachReplyOnce_data()
{
    QTest::addColumn<Stamps>("events");
    QTest::addColumn<QList<qint64>>("figures");   // exchanges, minimum, median, maximum

    QTest::addRow("none") << Stamps {{false, 5}} << QList<qint64> {0, 0, 0, 0};
    QTest::addRow("odd count")
        << Stamps {{true, 100}, {false, 130}, {true, 200}, {false, 210}, {true, 300}, {false, 350}}
        << QList<qint64> {3, 10, 30, 50};
    QTest::addRow("even count: the middle two averaged")
        << Stamps {{true, 1}, {false, 11}, {true, 100}, {false, 140}} << QList<qint64> {2, 10, 25, 40};
    QTest::addRow("only the first byte of a reply counts")
        << Stamps {{true, 1}, {false, 11}, {false, 90}} << QList<qint64> {1, 10, 10, 10};
    QTest::addRow("a send without reply counts nothing")
        << Stamps {{true, 1}, {true, 100}, {false, 105}} << QList<qint64> {1, 5, 5, 5};
    QTest::addRow("an arrival stamped before its send is an earlier reply's")
        << Stamps {{true, 100}, {false, 90}, {false, 120}} << QList<qint64> {1, 20, 20, 20};
}

void TestRs485::turnaroundCountsEachReplyOnce()
{
    QFETCH(Stamps, events);
    QFETCH(QList<qint64>, figures);
    TurnaroundTimes times;
    for (const auto &[sent, at] : events)
        sent ? times.sent(at) : times.arrived(at);
    const TurnaroundTimes::Figures got = times.figures();
    QCOMPARE((QList<qint64> {got.exchanges, got.minimumNs, got.medianNs, got.maximumNs}), figures);
}

// Exchanges of a send, its echo and an answer, the received stream cut at every
// position: the pieces give what the whole gives, every answer and no echo.
void TestRs485::echoFilterCutAnywhere()
{
    QRandomGenerator random(485);
    QList<QByteArray> sends;
    QList<QByteArray> heard;   // each exchange's echo and answer
    QByteArray answers;
    for (int exchange = 0; exchange < 20; ++exchange) {
        QByteArray send(1 + random.bounded(8), Qt::Uninitialized);
        for (char &c : send)
            c = char(random.bounded(256));
        const QByteArray answer = "A" + QByteArray::number(exchange);
        sends.append(send);
        heard.append(send + answer);
        answers += answer;
    }
    const qsizetype total = heard.join().size();
    for (qsizetype cut = 0; cut <= total; ++cut) {
        EchoFilter filter;
        QByteArray kept;
        qsizetype start = 0;
        for (int exchange = 0; exchange < sends.size(); ++exchange) {
            const QByteArray &piece = heard.at(exchange);
            const qsizetype at = qBound(qsizetype(0), cut - start, piece.size());
            filter.expect(sends.at(exchange));
            kept += filter.filter(piece.left(at));
            kept += filter.filter(piece.mid(at));
            start += piece.size();
        }
        QCOMPARE(kept, answers);
        QCOMPARE(filter.collisions(), quint64(0));
        QCOMPARE(filter.echoBytes(), quint64(sends.join().size()));
    }
}

void TestRs485::alteredEchoCountsOneCollision_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("heard");
    QTest::addColumn<QByteArray>("kept");
    QTest::addColumn<int>("collisions");
    QTest::addRow("first byte altered") << QByteArray("01030000") << QByteArray("x1030000OK") << QByteArray("x1030000OK") << 1;
    QTest::addRow("last byte altered") << QByteArray("01030000") << QByteArray("0103000xOK") << QByteArray("xOK") << 1;
    QTest::addRow("middle byte altered") << QByteArray("ABCDEF") << QByteArray("ABCxEFOK") << QByteArray("xEFOK") << 1;
    QTest::addRow("two bytes of one echo altered") << QByteArray("ABCDEF") << QByteArray("AxCxEFOK") << QByteArray("xCxEFOK") << 1;
    QTest::addRow("whole echo") << QByteArray("ABCDEF") << QByteArray("ABCDEFOK") << QByteArray("OK") << 0;
}

void TestRs485::alteredEchoCountsOneCollision()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, heard);
    QFETCH(QByteArray, kept);
    QFETCH(int, collisions);
    EchoFilter filter;
    filter.expect(sent);
    QCOMPARE(filter.filter(heard), kept);
    QCOMPARE(filter.collisions(), quint64(collisions));
}

// A far end on a pseudo-terminal that hears every request and then answers it, over
// 1,000 exchanges of the engine on one port with capture on: the pane and the capture
// get every answer and no echo; one echo altered in one byte counts one collision and
// shows. Every exchange gives a turnaround, and the capture's block ends with them.
void TestRs485::echoesNeverReachPaneOrCapture()
{
    constexpr int Exchanges = 1000;
    constexpr int Altered = 617;
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    mapPort(pty.slavePath());
    TransferEngine engine;
    engine.capture().setFile(m_folder.path(), QStringLiteral("capture.txt"));
    engine.setCapturing(true);
    Rs485Settings settings;
    settings.suppressEcho = true;
    engine.setRs485(settings, settings);
    engine.setSamePort(true);
    engine.openInPort({TestPort, Settings, 0}, 1, 0);
    TransferEngine::Run run;
    run.mode = TransferEngine::ModeSendReceive;
    run.outCommand = QStringLiteral("REQ");
    run.outData = QByteArray("REQ\r");
    engine.begin(run, {});
    engine.stopSending();   // the test sends, not the timer

    QString shown;
    connect(&engine, &TransferEngine::received, this, [&](const QString &text) { shown += text; });
    QString expected;
    for (int exchange = 0; exchange < Exchanges; ++exchange) {
        const QByteArray answer = "ANS" + QByteArray::number(exchange) + ";";
        QVERIFY(engine.send());
        QCOMPARE(pty.read(200, 4), QByteArray("REQ\r"));
        const QByteArray echo = exchange == Altered ? QByteArray("RxQ\r") : QByteArray("REQ\r");
        QVERIFY(pty.write(echo + answer));
        expected += QString::fromLatin1(exchange == Altered ? echo.mid(1) + answer : answer);
        QTRY_COMPARE_WITH_TIMEOUT(shown.size(), expected.size(), 2000);
    }
    QCOMPARE(shown, expected);
    QCOMPARE(engine.echoCollisions(), quint64(1));
    QCOMPARE(engine.echoBytes(), quint64(Exchanges * 4 - 3));
    QCOMPARE(engine.turnaround().exchanges, Exchanges);
    QVERIFY(engine.turnaround().minimumNs > 0);
    engine.stop();

    QFile capture(m_folder.filePath(QStringLiteral("capture.txt")));
    QVERIFY(capture.open(QIODevice::ReadOnly));
    const QString captured = QString::fromUtf8(capture.readAll());
    QString received;
    for (const QString &line : captured.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QStringLiteral("接收数据：")))
            received += line.mid(5);
    }
    QCOMPARE(received, expected);
    QVERIFY2(captured.contains(QStringLiteral("应答时间：最短 ")), qPrintable(captured.right(200)));
    QVERIFY(captured.contains(QStringLiteral("（%1 次）").arg(Exchanges)));
}

QTEST_GUILESS_MAIN(TestRs485)
#include "tst_rs485.moc"
