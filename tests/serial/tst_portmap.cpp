// Velmora tests. Licensed under the MIT licence.
#include "portmap.h"
#include "serialline.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The port map: built-in names, overrides from ports.ini, ports that reach nothing.
class TestPortMap : public QObject
{
    Q_OBJECT

private slots:
    void builtInNames_data();
    void builtInNames();
    void overrides_data();
    void overrides();
    void outOfRangeReachesNothing();
    void fileInProgramFolder();
};

void TestPortMap::builtInNames_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("device");
#ifdef Q_OS_WIN
    QTest::addRow("Com 1") << 1 << QStringLiteral("COM1");
    QTest::addRow("Com 9") << 9 << QStringLiteral("COM9");
    QTest::addRow("Com 10 in the device name space") << 10 << QStringLiteral("\\\\.\\COM10");
    QTest::addRow("Com 16") << 16 << QStringLiteral("\\\\.\\COM16");
#else
    QTest::addRow("Com 1 first UART") << 1 << QStringLiteral("/dev/ttyS0");
    QTest::addRow("Com 4 last UART") << 4 << QStringLiteral("/dev/ttyS3");
    QTest::addRow("Com 5 first USB adapter") << 5 << QStringLiteral("/dev/ttyUSB0");
    QTest::addRow("Com 10 last USB adapter") << 10 << QStringLiteral("/dev/ttyUSB5");
    QTest::addRow("Com 11 first ACM modem") << 11 << QStringLiteral("/dev/ttyACM0");
    QTest::addRow("Com 14 last ACM modem") << 14 << QStringLiteral("/dev/ttyACM3");
    QTest::addRow("Com 15 left to the user") << 15 << QString();
    QTest::addRow("Com 16 left to the user") << 16 << QString();
#endif
}

void TestPortMap::builtInNames()
{
    QFETCH(int, port);
    QFETCH(QString, device);
    QCOMPARE(PortMap().device(port), device);
}

void TestPortMap::overrides_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("device");

    QTest::addRow("free port mapped") << "COM15=/dev/ttyAMA0\n" << 15 << "/dev/ttyAMA0";
    QTest::addRow("built-in port replaced") << "COM1=/dev/ttyUSB7" << 1 << "/dev/ttyUSB7";
    QTest::addRow("blanks around key and value") << "  com3 =  /dev/pts/4  \r\n" << 3 << "/dev/pts/4";
    QTest::addRow("path with blanks kept") << "COM16=/dev/serial/by-id/usb-My Adapter" << 16
                                           << "/dev/serial/by-id/usb-My Adapter";
    QTest::addRow("later line wins") << "COM2=/dev/a\nCOM2=/dev/b\n" << 2 << "/dev/b";
    QTest::addRow("hash comment ignored") << "#COM15=/dev/x\n" << 15 << "";
    QTest::addRow("semicolon comment ignored") << "; COM4=/dev/x\n" << 4 << "/dev/ttyS3";
    QTest::addRow("blank lines ignored") << "\n\n   \nCOM15=/dev/y\n\n" << 15 << "/dev/y";
    QTest::addRow("missing value ignored") << "COM5=\n" << 5 << "/dev/ttyUSB0";
    QTest::addRow("missing number ignored") << "COM=/dev/x\nCOMx=/dev/x\n" << 15 << "";
    QTest::addRow("no equals sign ignored") << "COM6 /dev/x\n" << 6 << "/dev/ttyUSB1";
    QTest::addRow("port above 16 ignored") << "COM17=/dev/x\n" << 16 << "";
    QTest::addRow("malformed line leaves others") << "garbage\nCOM15=/dev/z\n" << 15 << "/dev/z";
}

void TestPortMap::overrides()
{
    QFETCH(QString, text);
    QFETCH(int, port);
    QFETCH(QString, device);
    if (!SerialLine::usesPortFile())
        QSKIP("this platform names its ports itself");
    PortMap map;
    map.applyOverrides(text);
    QCOMPARE(map.device(port), device);
}

void TestPortMap::outOfRangeReachesNothing()
{
    PortMap map;
    map.applyOverrides(QStringLiteral("COM0=/dev/a\nCOM17=/dev/b\nCOM-1=/dev/c\n"));
    for (int port : {-1, 0, 17, 255})
        QCOMPARE(map.device(port), QString());
}

void TestPortMap::fileInProgramFolder()
{
    if (!SerialLine::usesPortFile())
        QSKIP("this platform names its ports itself");
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    PortMap::setFolder(folder.path());
    QCOMPARE(PortMap::load().device(15), QString());   // no file: built-in names

    QFile file(folder.filePath(QStringLiteral("ports.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# bench adapters\nCOM15=/dev/ttyUSB9\n");
    file.close();
    const PortMap map = PortMap::load();
    QCOMPARE(map.device(15), QStringLiteral("/dev/ttyUSB9"));
    QCOMPARE(map.device(1), QStringLiteral("/dev/ttyS0"));
}

QTEST_GUILESS_MAIN(TestPortMap)
#include "tst_portmap.moc"
