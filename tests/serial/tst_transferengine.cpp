// Velmora tests. Licensed under the MIT licence.
#include "commandcodec.h"
#include "portmap.h"
#include "systemcodepage.h"
#include "engineinview.h"

#include <portmapfile.h>
#include <pseudoterminal.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr qint16 OutPort = 15;
constexpr qint16 InPort = 16;
const QString Settings = QStringLiteral("9600,N,8,1");

// The engine on two far ends mapped as Com 15 and Com 16, with a clock the test sets.
class EngineBench
{
public:
    EngineBench()
    {
        PortMap::setFolder(m_folder.path());
        writePortMap(m_folder.path(), {{OutPort, out.slavePath()}, {InPort, in.slavePath()}});
        engine.setTickClock([this] { return now; });
        engine.capture().setFile(m_folder.path(), QStringLiteral("capture.txt"));
    }

    // Opens what the mode needs and begins; with one port, Com 16 serves both ways.
    void start(TransferEngine::Run run, bool samePort = false, qint16 format = 0)
    {
        engine.setSamePort(samePort);
        if (!samePort && run.mode != TransferEngine::ModeReceive)
            engine.openOutPort({OutPort, Settings, 0});
        if (samePort || run.mode != TransferEngine::ModeSend)
            engine.openInPort({InPort, Settings, 0},
                              TransferEngine::receiveThreshold(run.mode, run.inCommand, format),
                              format);
        engine.begin(run, {});
    }

    QByteArray captured() const
    {
        QFile file(m_folder.filePath(QStringLiteral("capture.txt")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_folder;
    PseudoTerminal out;
    PseudoTerminal in;
    qint32 now = 1000;
    EngineInView engine;
};

TransferEngine::Run receiving()
{
    TransferEngine::Run run;
    run.mode = TransferEngine::ModeReceive;
    return run;
}

TransferEngine::Run answering(const QString &expected, const QVariant &answer)
{
    TransferEngine::Run run;
    run.mode = TransferEngine::ModeAnswer;
    run.inCommand = expected;
    run.outCommand = answer.toString();
    run.outData = answer;
    return run;
}

} // namespace

// The engine's rules without a window: line breaks by time, the discarded input, the
// answer match, the threshold swap, format changes, slow lines and the capture.
class TestTransferEngine : public QObject
{
    Q_OBJECT

private slots:
    void pauseBeginsNewLine_data();
    void pauseBeginsNewLine();
    void inputWaitingBeforeStartIsDiscarded();
    void answerWaitsForEveryByte_data();
    void answerWaitsForEveryByte();
    void samePortThresholdComesBackAfterFailedWrite();
    void formatChangeAppliesToOpenPort();
    void slowLineQueuesThenSkips();
    void captureSwitchedOffKeepsGatheredRecords();
};

void TestTransferEngine::pauseBeginsNewLine_data()
{
    QTest::addColumn<int>("gap");
    QTest::addColumn<bool>("newLine");
    QTest::addRow("24 ms") << 24 << false;
    QTest::addRow("25 ms") << 25 << false;
    QTest::addRow("26 ms") << 26 << true;
    QTest::addRow("tick count wrapped") << -1 << true;
}

void TestTransferEngine::pauseBeginsNewLine()
{
    QFETCH(int, gap);
    EngineBench bench;
    bench.start(receiving());
    QSignalSpy received(&bench.engine, &TransferEngine::received);

    bench.in.write("A");
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received.at(0).at(1).toBool(), false); // the first data of a run after a clear
    if (gap < 0)
        bench.now = std::numeric_limits<qint32>::min() + 5;
    else
        bench.now += gap;
    bench.in.write("B");
    QTRY_COMPARE(received.size(), 2);
    QCOMPARE(received.at(1).at(0).toString(), QStringLiteral("B"));
    QTEST(received.at(1).at(1).toBool(), "newLine");
}

void TestTransferEngine::inputWaitingBeforeStartIsDiscarded()
{
    EngineBench bench;
    bench.in.write("stale");
    QTest::qWait(50);
    bench.start(receiving());
    QSignalSpy received(&bench.engine, &TransferEngine::received);
    bench.in.write("new");
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("new"));
}

void TestTransferEngine::answerWaitsForEveryByte_data()
{
    QTest::addColumn<QString>("expected");
    QTest::addColumn<qint16>("format");
    QTest::addColumn<QByteArray>("arriving");
    QTest::addRow("text of multi-byte characters") << QStringLiteral("中文") << qint16(0)
                                                  << SystemCodePage::fromUnicode(QStringLiteral("中文"));
    QTest::addRow("hex pairs") << QStringLiteral("0102FF") << qint16(1) << QByteArray("\x01\x02\xFF", 3);
}

// Byte by byte, the answer goes out once the last byte of the command is in.
void TestTransferEngine::answerWaitsForEveryByte()
{
    QFETCH(QString, expected);
    QFETCH(qint16, format);
    QFETCH(QByteArray, arriving);
    EngineBench bench;
    bench.start(answering(expected, QByteArray("OK")), false, format);
    QCOMPARE(bench.engine.inPort().RThreshold(), qint16(arriving.size()));
    QSignalSpy sent(&bench.engine, &TransferEngine::sent);
    for (char byte : arriving) {
        bench.in.write(QByteArray(1, byte));
        QTest::qWait(15);
    }
    QCOMPARE(bench.out.read(500, 2), QByteArray("OK"));
    QCOMPARE(sent.size(), 1);
}

// A write that fails on the port serving both ways leaves the answer threshold as it
// was, and the same failure is reported once in a run.
void TestTransferEngine::samePortThresholdComesBackAfterFailedWrite()
{
    EngineBench bench;
    TransferEngine::Run run = answering(QStringLiteral("AT"), QVariant(42)); // nothing a port can send
    bench.start(run, true);
    QSignalSpy failed(&bench.engine, &TransferEngine::failed);
    QSignalSpy sent(&bench.engine, &TransferEngine::sent);
    QVERIFY(!bench.engine.send());
    QVERIFY(!bench.engine.send());
    QCOMPARE(bench.engine.inPort().RThreshold(), qint16(2));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(sent.size(), 2); // a send is shown even when its write failed

    bench.in.write("AT");
    QTRY_COMPARE(sent.size(), 3);
    QCOMPARE(failed.size(), 1);
}

// After a single send the receiving port stays open; a format chosen then shows the
// data that arrives from then on, with no report.
void TestTransferEngine::formatChangeAppliesToOpenPort()
{
    EngineBench bench;
    bench.start(receiving());
    QSignalSpy received(&bench.engine, &TransferEngine::received);
    QSignalSpy failed(&bench.engine, &TransferEngine::failed);
    bench.in.write("A");
    QTRY_COMPARE(received.size(), 1);
    bench.engine.setFormat(CommandCodec::FormatHex);
    bench.in.write("B\xFF");
    QTRY_COMPARE(received.size(), 2);
    QCOMPARE(received.at(1).at(0).toString(), QStringLiteral("42FF"));
    QCOMPARE(failed.size(), 0);
}

// A far end that does not keep up: the sends queue up to the bound, then are skipped
// with one notice; nothing counts as a lost device, and every queued byte goes out.
void TestTransferEngine::slowLineQueuesThenSkips()
{
    EngineBench bench;
    QByteArray command(64 * 1024, '\0');
    for (int i = 0; i < command.size(); ++i)
        command[i] = char('a' + i % 26);
    TransferEngine::Run run;
    run.mode = TransferEngine::ModeSend;
    run.repeat = true;
    run.period = 5000;
    run.outCommand = QStringLiteral("…");
    run.outData = command;
    bench.start(run);
    QSignalSpy skipped(&bench.engine, &TransferEngine::sendsSkipped);
    QSignalSpy failed(&bench.engine, &TransferEngine::failed);
    QSignalSpy lost(&bench.engine, &TransferEngine::deviceLost);

    int written = 0;
    while (bench.engine.send() && written < 100) {
        ++written;
        QTest::qWait(5);
    }
    QVERIFY2(written > 0 && written < 100, "the backlog never filled");
    QVERIFY(!bench.engine.send());
    QCOMPARE(skipped.size(), 1);
    QCOMPARE(skipped.at(0).at(0).value<qint16>(), OutPort);

    const qsizetype expected = qsizetype(written) * command.size();
    const QByteArray arrived = bench.out.read(2000, expected);
    QCOMPARE(arrived.size(), expected);
    QCOMPARE(arrived.left(command.size()), command);
    QCOMPARE(arrived.right(command.size()), command);
    QCOMPARE(failed.size(), 0);
    QCOMPARE(lost.size(), 0);
    QVERIFY(bench.engine.outPort().PortOpen());
}

void TestTransferEngine::captureSwitchedOffKeepsGatheredRecords()
{
    EngineBench bench;
    bench.engine.setCapturing(true);
    bench.engine.addCaptureRecord(CaptureLog::RecordSent, QStringLiteral("AT"));
    bench.engine.addCaptureRecord(CaptureLog::RecordReceived, QStringLiteral("OK"));
    QCOMPARE(bench.captured(), QByteArray());
    bench.engine.setCapturing(false);
    QCOMPARE(bench.captured(), SystemCodePage::fromUnicode(QStringLiteral("\r\n发送数据：AT\r\n接收数据：OK")));
    bench.engine.addCaptureRecord(CaptureLog::RecordSent, QStringLiteral("late"));
    bench.engine.writeCapture();
    QVERIFY(!bench.captured().contains("late"));
}

QTEST_GUILESS_MAIN(TestTransferEngine)
#include "tst_transferengine.moc"
