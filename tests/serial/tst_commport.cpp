// Velmora tests. Licensed under the MIT licence.
#include "commport.h"
#include <runtimeerror.h>
#include "portmap.h"
#include "portmapfile.h"
#include "pseudoterminal.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdio>
#include <functional>
#include <termios.h>
#include <thread>

namespace {

constexpr qint16 TestPort = 15;
constexpr qint16 OtherTestPort = 16;
const char HoldOption[] = "--hold";
constexpr int SettleMs = 100;

using Operation = std::function<void(CommPort &)>;
const Operation Open = [](CommPort &port) { port.setPortOpen(true); };

// What `operation` threw; number 0 when it threw nothing.
Component::RuntimeError failureOf(CommPort &port, const Operation &operation)
{
    try {
        operation(port);
    } catch (const Component::RuntimeError &error) {
        return error;
    }
    return Component::RuntimeError(0, QString());
}

// Another program holding the device the way QSerialPort programs do.
int holdDevice(const char *device)
{
    QSerialPort port(QString::fromLocal8Bit(device));
    if (!port.open(QIODevice::ReadWrite))
        return 1;
    std::puts("held");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 0;
}

} // namespace

Q_DECLARE_METATYPE(Operation)

// The serial port layer against pseudo-terminals mapped into the port map.
class TestCommPort : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void openRefused_data();
    void openRefused();
    void closedPortRefuses_data();
    void closedPortRefuses();
    void inUse();
    void lineAppliedToDevice_data();
    void lineAppliedToDevice();
    void thresholds();
    void textInputKeepsSplitCharacter();
    void binaryInputAndDiscard();
    void output_data();
    void output();
    void floodArrivesWhole();
    void deviceLost();

private:
    void mapPorts(const QString &device, const QString &otherDevice = QString());
    bool openOn(CommPort &port, PseudoTerminal &pty);

    QTemporaryDir m_folder;
};

void TestCommPort::initTestCase()
{
    QVERIFY(m_folder.isValid());
    PortMap::setFolder(m_folder.path());
}

void TestCommPort::mapPorts(const QString &device, const QString &otherDevice)
{
    QList<std::pair<int, QString>> ports{{TestPort, device}};
    if (!otherDevice.isEmpty())
        ports.append({OtherTestPort, otherDevice});
    QVERIFY(writePortMap(m_folder.path(), ports));
}

bool TestCommPort::openOn(CommPort &port, PseudoTerminal &pty)
{
    if (!pty.isValid())
        return false;
    mapPorts(pty.slavePath());
    port.setCommPort(TestPort);
    const Component::RuntimeError error = failureOf(port, Open);
    if (error.number() != 0)
        qWarning("open refused with %d: %s", error.number(), qPrintable(error.description()));
    return port.PortOpen();
}

void TestCommPort::openRefused_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("deviceExists");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("error");

    QTest::addRow("device missing") << int(TestPort) << false << "9600,N,8,1" << int(CommPort::ErrorPortNotFound);
    QTest::addRow("port 17 reaches nothing") << 17 << true << "9600,N,8,1" << int(CommPort::ErrorPortNotFound);
    QTest::addRow("4 data bits") << int(TestPort) << true << "9600,N,4,1" << int(CommPort::ErrorDataBits);
    QTest::addRow("1.5 stop bits with 8 data bits") << int(TestPort) << true << "9600,N,8,1.5"
                                                    << int(CommPort::ErrorLineSetting);
    // A pty runs 8 data bits without parity only; what it cannot run is refused, not replaced.
    QTest::addRow("7 data bits the device cannot run") << int(TestPort) << true << "19200,N,7,2"
                                                       << int(CommPort::ErrorDataBits);
    QTest::addRow("parity the device cannot run") << int(TestPort) << true << "19200,E,8,2"
                                                  << int(CommPort::ErrorLineSetting);
    // What the device keeps without a word is found by reading the line back.
    QTest::addRow("5 data bits the device keeps as 8") << int(TestPort) << true << "1200,N,5,1.5"
                                                       << int(CommPort::ErrorDataBits);
    for (const char *parity : {"O", "M", "S"})
        QTest::addRow("parity %s the device drops", parity)
            << int(TestPort) << true << QStringLiteral("9600,%1,8,1").arg(QLatin1String(parity))
            << int(CommPort::ErrorLineSetting);
}

void TestCommPort::openRefused()
{
    QFETCH(int, port);
    QFETCH(bool, deviceExists);
    QFETCH(QString, settings);
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    mapPorts(deviceExists ? pty.slavePath() : m_folder.filePath(QStringLiteral("ttyGone")));

    CommPort comm;
    comm.setCommPort(qint16(port));
    comm.setSettings(settings);
    const Component::RuntimeError error = failureOf(comm, Open);
    QTEST(error.number(), "error");
    QVERIFY2(error.description().contains(QStringLiteral("Com %1").arg(port)), qPrintable(error.description()));
    QVERIFY(!comm.PortOpen());

    // A refusal leaves the device free for a sound setting.
    if (deviceExists && port == TestPort) {
        comm.setSettings(QStringLiteral("9600,N,8,1"));
        comm.setPortOpen(true);
        QVERIFY(comm.PortOpen());
    }
}

void TestCommPort::closedPortRefuses_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addRow("output text") << Operation([](CommPort &p) { p.setOutput(QStringLiteral("AT")); });
    QTest::addRow("input") << Operation([](CommPort &p) { p.Input(); });
    QTest::addRow("discard input") << Operation([](CommPort &p) { p.setInBufferCount(0); });
}

void TestCommPort::closedPortRefuses()
{
    QFETCH(Operation, operation);
    CommPort comm;
    comm.setCommPort(7);
    const Component::RuntimeError error = failureOf(comm, operation);
    QCOMPARE(error.number(), int(CommPort::ErrorNotOpen));
    QVERIFY2(error.description().contains(QStringLiteral("Com 7")), qPrintable(error.description()));
}

// Held by another program, then by another CommPort under the same or another port
// number that reaches the same device.
void TestCommPort::inUse()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    const QString alias = m_folder.filePath(QStringLiteral("alias"));
    QVERIFY(QFile::link(pty.slavePath(), alias));
    mapPorts(pty.slavePath(), alias);

    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(HoldOption), pty.slavePath()});
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readAllStandardOutput().trimmed(), QByteArray("held"));
    CommPort first;
    first.setCommPort(TestPort);
    QCOMPARE(failureOf(first, Open).number(), int(CommPort::ErrorPortInUse));
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(10000));
    first.setPortOpen(true);
    QVERIFY(first.PortOpen());

    for (qint16 number : {TestPort, OtherTestPort}) {
        CommPort second;
        second.setCommPort(number);
        const Component::RuntimeError error = failureOf(second, Open);
        QCOMPARE(error.number(), int(CommPort::ErrorPortInUse));
        QVERIFY2(error.description().contains(QStringLiteral("Com %1").arg(number)), qPrintable(error.description()));
    }
    first.setPortOpen(false);
    CommPort second;
    second.setCommPort(OtherTestPort);
    second.setPortOpen(true);
    QVERIFY(second.PortOpen());
}

void TestCommPort::lineAppliedToDevice_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("handshaking");
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("twoStopBits");
    QTest::addColumn<bool>("rtsCts");
    QTest::addColumn<bool>("xonXoff");

    QTest::addRow("9600,N,8,1 none") << "9600,N,8,1" << 0 << int(B9600) << false << false << false;
    QTest::addRow("19200,N,8,2 XON/XOFF") << "19200,N,8,2" << 1 << int(B19200) << true << false << true;
    QTest::addRow("115200,N,8,1 RTS/CTS") << "115200,N,8,1" << 2 << int(B115200) << false << true << false;
    QTest::addRow("4800,N,8,1 RTS/CTS and XON/XOFF") << "4800,N,8,1" << 3 << int(B4800) << false << true
                                                     << true;
}

void TestCommPort::lineAppliedToDevice()
{
    QFETCH(QString, settings);
    QFETCH(int, handshaking);
    PseudoTerminal pty;
    CommPort comm;
    comm.setSettings(settings);
    comm.setHandshaking(handshaking);
    QVERIFY(openOn(comm, pty));

    termios tio {};
    QCOMPARE(tcgetattr(pty.master(), &tio), 0); // a pty master reports its slave's settings
    QTEST(int(cfgetospeed(&tio)), "speed");
    QTEST(bool(tio.c_cflag & CSTOPB), "twoStopBits");
    QTEST(bool(tio.c_cflag & CRTSCTS), "rtsCts");
    QTEST(bool(tio.c_iflag & IXON), "xonXoff");
    QTEST(bool(tio.c_iflag & IXOFF), "xonXoff");
}

void TestCommPort::thresholds()
{
    PseudoTerminal pty;
    CommPort comm;
    QVERIFY(openOn(comm, pty));
    QSignalSpy spy(&comm, &CommPort::OnComm);

    pty.write("abc");
    QTRY_COMPARE(comm.InBufferCount(), qint16(3));
    QTest::qWait(SettleMs);
    QCOMPARE(spy.count(), 0); // threshold 0 raises nothing
    comm.setInBufferCount(0);

    comm.setRThreshold(2);
    pty.write("x");
    QTRY_COMPARE(comm.InBufferCount(), qint16(1));
    QTest::qWait(SettleMs);
    QCOMPARE(spy.count(), 0);
    pty.write("y");
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(comm.CommEvent(), qint16(CommPort::EvReceive));
    QCOMPARE(comm.Input().toString(), QStringLiteral("xy"));

    // The engine's own send: threshold down, write, threshold back up; what waited is
    // reported afterwards, never from inside the setter.
    comm.setRThreshold(0);
    pty.write("AT");
    QTRY_COMPARE(comm.InBufferCount(), qint16(2));
    comm.setOutput(QStringLiteral("OK"));
    comm.setRThreshold(1);
    QCOMPARE(spy.count(), 1);
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(comm.Input().toString(), QStringLiteral("AT"));

    // Nothing waiting when the threshold rises: nothing to report.
    comm.setRThreshold(0);
    comm.setRThreshold(1);
    QTest::qWait(SettleMs);
    QCOMPARE(spy.count(), 2);
}

void TestCommPort::textInputKeepsSplitCharacter()
{
    PseudoTerminal pty;
    CommPort comm;
    comm.setInputMode(CommPort::InputModeText);
    QVERIFY(openOn(comm, pty));

    const QByteArray bytes = QStringLiteral("A中").toUtf8();   // the system code page here
    pty.write(bytes.left(2));
    QTRY_COMPARE(comm.InBufferCount(), qint16(2));
    const QVariant first = comm.Input();
    QCOMPARE(first.typeId(), int(QMetaType::QString));
    QCOMPARE(first.toString(), QStringLiteral("A"));
    pty.write(bytes.mid(2) + "B");
    QTRY_COMPARE(comm.InBufferCount(), qint16(bytes.size() - 1));
    QCOMPARE(comm.Input().toString(), QStringLiteral("中B"));
}

void TestCommPort::binaryInputAndDiscard()
{
    PseudoTerminal pty;
    CommPort comm;
    comm.setInputMode(CommPort::InputModeBinary);
    QVERIFY(openOn(comm, pty));

    const QByteArray bytes("\x00\x01\xe4\xff\r\n", 6);
    pty.write(bytes);
    QTRY_COMPARE(comm.InBufferCount(), qint16(bytes.size()));
    const QVariant input = comm.Input();
    QCOMPARE(input.typeId(), int(QMetaType::QByteArray));
    QCOMPARE(input.toByteArray(), bytes);
    QCOMPARE(comm.InBufferCount(), qint16(0));

    pty.write("stale");
    QTRY_COMPARE(comm.InBufferCount(), qint16(5));
    comm.setInBufferCount(0);
    QCOMPARE(comm.InBufferCount(), qint16(0));
    pty.write("fresh");
    QTRY_COMPARE(comm.InBufferCount(), qint16(5));
    QCOMPARE(comm.Input().toByteArray(), QByteArray("fresh"));
}

void TestCommPort::output_data()
{
    QTest::addColumn<QVariant>("data");
    QTest::addColumn<QByteArray>("expected");

    QByteArray allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes.append(char(b));
    QTest::addRow("text command") << QVariant(QStringLiteral("AT\r")) << QByteArray("AT\r");
    QTest::addRow("text in the system code page") << QVariant(QStringLiteral("中文"))
                                                  << QStringLiteral("中文").toUtf8();
    QTest::addRow("every byte value") << QVariant(allBytes) << allBytes;
    QTest::addRow("empty text sends nothing") << QVariant(QString()) << QByteArray();
}

void TestCommPort::output()
{
    QFETCH(QVariant, data);
    QFETCH(QByteArray, expected);
    PseudoTerminal pty;
    CommPort comm;
    QVERIFY(openOn(comm, pty));

    comm.setOutput(data);
    QCOMPARE(pty.read(SettleMs), expected);
}

void TestCommPort::floodArrivesWhole()
{
    PseudoTerminal pty;
    CommPort comm;
    comm.setInputMode(CommPort::InputModeBinary);
    comm.setRThreshold(1);
    QVERIFY(openOn(comm, pty));

    constexpr qsizetype FloodBytes = 8 << 20;
    QByteArray flood(FloodBytes, Qt::Uninitialized);
    for (qsizetype i = 0; i < FloodBytes; ++i)
        flood[i] = char((i * 7) ^ (i >> 11));
    QByteArray received;
    received.reserve(FloodBytes);
    connect(&comm, &CommPort::OnComm, this, [&] { received += comm.Input().toByteArray(); });

    std::atomic<bool> written {false};
    std::thread farEnd([&] { written = pty.write(flood); });
    QTRY_VERIFY_WITH_TIMEOUT(received.size() >= FloodBytes, 60000);
    farEnd.join();
    QVERIFY(written);
    QVERIFY(received == flood);
}

void TestCommPort::deviceLost()
{
    PseudoTerminal pty;
    CommPort comm;
    comm.setRThreshold(1);
    QVERIFY(openOn(comm, pty));
    QSignalSpy spy(&comm, &CommPort::OnComm);

    pty.unplug();
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(comm.CommEvent(), qint16(CommPort::EventDeviceLost));
    QVERIFY(!comm.PortOpen());
    QTest::qWait(SettleMs);
    QCOMPARE(spy.count(), 1);

    pty.plugIn();
    QVERIFY(openOn(comm, pty));
    pty.write("ok");
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(comm.Input().toString(), QStringLiteral("ok"));
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], HoldOption) == 0) {
        QCoreApplication app(argc, argv);
        return holdDevice(argv[2]);
    }
    QCoreApplication app(argc, argv);
    TestCommPort test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_commport.moc"
