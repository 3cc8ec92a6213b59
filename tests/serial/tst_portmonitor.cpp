// Velmora tests. Licensed under the MIT licence.
#include "csvtable.h"
#include "portmap.h"
#include "portmonitor.h"
#include "systemcodepage.h"

#include <portmapfile.h>
#include <pseudoterminal.h>

#include <runtimeerror.h>

#include <QDateTime>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr qint16 PortA = 15;
constexpr qint16 PortB = 16;
const QString Settings = QStringLiteral("9600,N,8,1");

// A Y-tap: device 1 is heard on Com 15, device 2 on Com 16.
class TapBench
{
public:
    TapBench()
    {
        PortMap::setFolder(m_folder.path());
        writePortMap(m_folder.path(), {{PortA, device1.slavePath()}, {PortB, device2.slavePath()}});
    }

    void start(const FrameRule &rule = {})
    {
        monitor.start({PortA, Settings, 0}, {PortB, Settings, 0}, rule);
    }

    QTemporaryDir m_folder;
    PseudoTerminal device1;
    PseudoTerminal device2;
    PortMonitor monitor;
};

} // namespace

// Listening to both directions of a link: one timeline in arrival order, nothing written.
class TestPortMonitor : public QObject
{
    Q_OBJECT

private slots:
    void alternateWritesKeepTheirOrder();
    void framesByRuleOnEachPort();
    void csvRoundTrip();
    void framesCarryTheirVerdict();
    void failedOpenLeavesBothClosed();
};

void TestPortMonitor::alternateWritesKeepTheirOrder()
{
    TapBench bench;
    bench.start();
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    QList<qint16> expectedPorts;
    QList<QByteArray> expectedBytes;
    for (int k = 0; k < 6; ++k) {
        const bool first = k % 2 == 0;
        const QByteArray bytes = QByteArray(first ? "req" : "ans") + QByteArray::number(k);
        (first ? bench.device1 : bench.device2).write(bytes);
        expectedPorts.append(first ? PortA : PortB);
        expectedBytes.append(bytes);
        QTest::qWait(40);
    }
    bench.monitor.stop();

    QList<qint16> ports;
    QList<QByteArray> bytes;
    qint64 last = before;
    for (const PortMonitor::Entry &e : bench.monitor.log()) {
        QVERIFY(e.starts);
        QVERIFY2(e.arrival >= last, "arrival times go back");
        last = e.arrival;
        ports.append(e.port);
        bytes.append(e.bytes);
    }
    QCOMPARE(ports, expectedPorts);
    QCOMPARE(bytes, expectedBytes);
    // Only listening: neither device hears a byte.
    QCOMPARE(bench.device1.read(50), QByteArray());
    QCOMPARE(bench.device2.read(50), QByteArray());
    QVERIFY(!bench.monitor.running());
}

void TestPortMonitor::framesByRuleOnEachPort()
{
    TapBench bench;
    FrameRule rule;
    rule.kind = FrameRule::Terminator;
    rule.terminator = "\x7e";
    bench.start(rule);
    bench.device1.write("a\x7e" "b");
    QTest::qWait(30);
    bench.device2.write("x\x7e");
    QTest::qWait(30);
    bench.device1.write("c\x7e");
    QTest::qWait(30);
    QStringList shown;
    for (const PortMonitor::Entry &e : bench.monitor.log())
        shown.append(PortMonitor::shown(e, false, false).mid(15));   // without the stamp
    // The rest of device 1's frame, after device 2's, is a line of its own.
    QCOMPARE(shown, (QStringList{"Com 15> a\x7e", "Com 15> b", "Com 16> x\x7e", "Com 15> c\x7e"}));
    QCOMPARE(bench.monitor.log().last().starts, false);
}

// The monitor's log as a spreadsheet reads it: Chinese text and every byte value.
void TestPortMonitor::csvRoundTrip()
{
    TapBench bench;
    bench.start();
    const QByteArray chinese = SystemCodePage::fromUnicode(QStringLiteral("温度,\"正常\""));
    QByteArray binary;
    for (int b = 0; b < 256; ++b)
        binary += char(b);
    bench.device1.write(chinese);
    QTest::qWait(40);
    bench.device2.write(binary);
    QTest::qWait(40);
    bench.monitor.stop();

    const QByteArray csv = bench.monitor.csv();
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> rows = CsvTable::read(csv);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).size(), 5);
    QCOMPARE(rows.at(1).at(1), QStringLiteral("Com 15"));
    QCOMPARE(rows.at(1).at(3), QStringLiteral("温度,\"正常\""));
    QCOMPARE(rows.at(2).at(1), QStringLiteral("Com 16"));
    QCOMPARE(QByteArray::fromHex(rows.at(2).at(2).toLatin1()), binary);
    QCOMPARE(rows.at(2).at(4), QString());
}

// With a checksum chosen, each port's frame is followed by its verdict, also a frame
// whose bytes came around the other port's; the CSV has it in the checksum column.
void TestPortMonitor::framesCarryTheirVerdict()
{
    const QByteArray good = QByteArray::fromHex("010302002A399B");
    const QByteArray bad = QByteArray::fromHex("010303002A399B");
    TapBench bench;
    Checksum modbus;
    modbus.algorithm = Checksum::Algorithm::Crc16Modbus;
    modbus.order = Checksum::ByteOrder::LittleEndian;
    bench.monitor.setChecksum(modbus);
    FrameRule rule;
    rule.kind = FrameRule::Terminator;
    rule.terminator = "\r\n";
    bench.start(rule);
    bench.device1.write(good.left(3));
    QTest::qWait(100);
    bench.device2.write(bad + "\r\n");
    QTest::qWait(100);
    bench.device1.write(good.mid(3) + "\r\n");
    QTest::qWait(100);
    bench.device2.write("\x7e");
    QTest::qWait(100);
    bench.monitor.stop();

    QStringList shown;
    for (const PortMonitor::Entry &e : bench.monitor.log()) {
        const QString text = PortMonitor::shown(e, true, false);
        shown.append(e.newLine ? text.mid(15) : text);   // without the stamp
    }
    QCOMPARE(shown, (QStringList{"Com 15> 01 03 02", "Com 16> 01 03 03 00 2A 39 9B 0D 0A",
                                 " 〔校验错误，应为 68 5B〕", "Com 15> 00 2A 39 9B 0D 0A", " 〔校验正确〕",
                                 "Com 16> 7E"}));

    const QList<QStringList> rows = CsvTable::read(bench.monitor.csv());
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.at(1).at(2), QStringLiteral("01 03 02 00 2A 39 9B 0D 0A"));
    QCOMPARE(rows.at(1).at(4), QStringLiteral("正确"));
    QCOMPARE(rows.at(2).at(4), QStringLiteral("错误，应为 68 5B"));
    QCOMPARE(rows.at(3).at(2), QStringLiteral("7E"));
    QCOMPARE(rows.at(3).at(4), QString());
}

void TestPortMonitor::failedOpenLeavesBothClosed()
{
    TapBench bench;
    bench.device2.unplug();
    QVERIFY_THROWS_EXCEPTION(Component::RuntimeError, bench.start());
    QVERIFY(!bench.monitor.running());
}

QTEST_GUILESS_MAIN(TestPortMonitor)
#include "tst_portmonitor.moc"
