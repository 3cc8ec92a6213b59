// Velmora tests. Licensed under the MIT licence.
#include "commport.h"
#include <runtimeerror.h>
#include "portmap.h"

#include <fakemodemline.h>
#include <portmapfile.h>
#include <pseudoterminal.h>

#include <QTemporaryDir>
#include <QTest>

#include <sys/ioctl.h>
#include <termios.h>

#if defined(__linux__) && defined(TCGETS2)
// The kernel's termios2, read on the master side to see the rate the slave holds.
struct termios2
{
    tcflag_t c_iflag, c_oflag, c_cflag, c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed, c_ospeed;
};
#endif

namespace {

constexpr qint16 TestPort = 15;
constexpr int HandshakeRtsCts = 2;

// Com 15 mapped to a far end, the port on it.
class LineBench
{
public:
    LineBench()
    {
        PortMap::setFolder(m_folder.path());
        writePortMap(m_folder.path(), {{TestPort, far.slavePath()}});
        port.setCommPort(TestPort);
    }

    QTemporaryDir m_folder;
    PseudoTerminal far;
    CommPort port;
};

qint64 rateHeldBy(const PseudoTerminal &far)
{
#if defined(__linux__) && defined(TCGETS2)
    termios2 tio {};
    return ::ioctl(far.master(), TCGETS2, &tio) == 0 ? qint64(tio.c_ospeed) : -1;
#else
    Q_UNUSED(far)
    return -1;
#endif
}

} // namespace

// The modem lines of the port layer: DTR and RTS as set, the inputs, the break, and
// baud rates beyond the standard ones.
class TestModemLines : public QObject
{
    Q_OBJECT

private slots:
    void outputsFollowTheSettings_data();
    void outputsFollowTheSettings();
    void outputsApplyWhileOpenAndAtEveryOpen();
    void inputsShowTheLineWhileOpen();
    void breakEndsByItselfWithoutBlocking();
    void closingEndsABreak();
    void pseudoTerminalHasNoModemLines();
    void anyBaudRateOpens_data();
    void anyBaudRateOpens();
};

void TestModemLines::outputsFollowTheSettings_data()
{
    QTest::addColumn<bool>("dtr");
    QTest::addColumn<bool>("rts");
    QTest::addColumn<int>("handshake");
    QTest::addColumn<bool>("lineDtr");
    QTest::addColumn<bool>("lineRts");
    // The line's RTS starts raised, so that a value left alone shows.
    QTest::addRow("defaults raise both") << true << true << 0 << true << true;
    QTest::addRow("DTR off") << false << true << 0 << false << true;
    QTest::addRow("RTS off under XON/XOFF") << true << false << 1 << true << false;
    QTest::addRow("RTS/CTS leaves RTS to the driver") << true << false << HandshakeRtsCts << true << true;
}

void TestModemLines::outputsFollowTheSettings()
{
    QFETCH(bool, dtr);
    QFETCH(bool, rts);
    QFETCH(int, handshake);
    QFETCH(bool, lineDtr);
    QFETCH(bool, lineRts);
    FakeModemLine fake;
    LineBench bench;
    fake.line(bench.far.slavePath()).rts = true;
    bench.port.setDTREnable(dtr);
    bench.port.setRTSEnable(rts);
    bench.port.setHandshaking(handshake);
    bench.port.setPortOpen(true);
    QCOMPARE(fake.line(bench.far.slavePath()).dtr, lineDtr);
    QCOMPARE(fake.line(bench.far.slavePath()).rts, lineRts);
}

void TestModemLines::outputsApplyWhileOpenAndAtEveryOpen()
{
    FakeModemLine fake;
    LineBench bench;
    FakeModemLine::Line &line = fake.line(bench.far.slavePath());
    bench.port.setPortOpen(true);
    bench.port.setDTREnable(false);
    QCOMPARE(line.dtr, false);
    bench.port.setRTSEnable(false);
    QCOMPARE(line.rts, false);

    bench.port.setPortOpen(false);
    line.dtr = line.rts = true;  // another program raised them meanwhile
    bench.port.setPortOpen(true);
    QCOMPARE(line.dtr, false);
    QCOMPARE(line.rts, false);
}

void TestModemLines::inputsShowTheLineWhileOpen()
{
    FakeModemLine fake;
    LineBench bench;
    QVERIFY(!bench.port.ModemInputs().has_value());
    bench.port.setPortOpen(true);
    const ModemLines::Inputs raised {true, false, true, false};
    fake.line(bench.far.slavePath()).inputs = raised;
    QCOMPARE(bench.port.ModemInputs().value_or(ModemLines::Inputs {}), raised);
    bench.port.setPortOpen(false);
    QVERIFY(!bench.port.ModemInputs().has_value());
}

void TestModemLines::breakEndsByItselfWithoutBlocking()
{
    FakeModemLine fake;
    LineBench bench;
    FakeModemLine::Line &line = fake.line(bench.far.slavePath());
    bench.port.setPortOpen(true);
    QVERIFY(bench.port.sendBreak());
    // Back in the caller's hands with the break still on: the event loop ends it.
    QVERIFY(line.breaking);
    QVERIFY(bench.port.Break());
    QTRY_VERIFY(!line.breaking);
    QVERIFY(!bench.port.Break());
    QCOMPARE(line.breaks, 1);
}

void TestModemLines::closingEndsABreak()
{
    FakeModemLine fake;
    LineBench bench;
    bench.port.setPortOpen(true);
    QVERIFY(bench.port.sendBreak());
    bench.port.setPortOpen(false);
    QVERIFY(!fake.line(bench.far.slavePath()).breaking);
    QVERIFY(!bench.port.Break());
    try {
        bench.port.sendBreak();
        QFAIL("a closed port sent a break");
    } catch (const Component::RuntimeError &error) {
        QCOMPARE(error.number(), int(CommPort::ErrorNotOpen));
    }
}

void TestModemLines::pseudoTerminalHasNoModemLines()
{
    LineBench bench;
    bench.port.setDTREnable(false);
    bench.port.setPortOpen(true);
    QVERIFY(!bench.port.ModemInputs().has_value());
    bench.port.sendBreak();  // a break where there is none is no failure
    bench.port.setRTSEnable(false);
    QVERIFY(bench.port.PortOpen());
}

void TestModemLines::anyBaudRateOpens_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<qint64>("rate");
    QTest::addRow("standard 57600") << "57600,N,8,1" << qint64(57600);
    QTest::addRow("list's 128000") << "128000,N,8,1" << qint64(128000);
    QTest::addRow("3D printers' 250000") << "250000,N,8,1" << qint64(250000);
    QTest::addRow("921600") << "921600,N,8,1" << qint64(921600);
    QTest::addRow("1000000") << "1000000,N,8,1" << qint64(1000000);
    QTest::addRow("odd 12345") << "12345,N,8,1" << qint64(12345);
}

void TestModemLines::anyBaudRateOpens()
{
    QFETCH(QString, settings);
    QFETCH(qint64, rate);
    LineBench bench;
    bench.port.setSettings(settings);
    bench.port.setPortOpen(true);
    if (rateHeldBy(bench.far) < 0)
        QSKIP("this system does not tell a line's rate");
    QCOMPARE(rateHeldBy(bench.far), rate);
}

QTEST_GUILESS_MAIN(TestModemLines)
#include "tst_modemlines.moc"
