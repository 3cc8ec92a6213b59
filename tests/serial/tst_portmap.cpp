// Velmora tests. Licensed under the MIT licence.
#include "portmap.h"
#include "serialline.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The port map: built-in names, overrides from ports.ini, ports that reach nothing.
class TestPortMap : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void devices_data();
    void devices();
    void malformedLinesAreNamed();
    void fileInProgramFolder();
    void nulByteIsAMalformedLineNeverLookedUp();
    void userFileReadFirst();
};

void TestPortMap::initTestCase()
{
    if (!SerialLine::usesPortFile())
        QSKIP("this platform names its ports itself");
}

void TestPortMap::devices_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("device");

    QTest::addRow("built-in UART") << "" << 4 << "/dev/ttyS3";
    QTest::addRow("built-in USB adapter") << "" << 10 << "/dev/ttyUSB5";
    QTest::addRow("built-in ACM modem") << "" << 11 << "/dev/ttyACM0";
    QTest::addRow("Com 15 free by default") << "" << 15 << "";
    QTest::addRow("free port mapped") << "COM15=/dev/ttyAMA0\n" << 15 << "/dev/ttyAMA0";
    QTest::addRow("built-in port replaced") << "COM1=/dev/ttyUSB7" << 1 << "/dev/ttyUSB7";
    QTest::addRow("blanks, CR and lower case") << "  com3 =  /dev/pts/4  \r\n" << 3 << "/dev/pts/4";
    QTest::addRow("blank inside the path kept") << "COM16=/dev/by-id/My Adapter" << 16 << "/dev/by-id/My Adapter";
    QTest::addRow("later line wins") << "COM2=/dev/a\nCOM2=/dev/b\n" << 2 << "/dev/b";
    QTest::addRow("hash comment") << "#COM15=/dev/x\n" << 15 << "";
    QTest::addRow("semicolon comment") << "; COM4=/dev/x\n" << 4 << "/dev/ttyS3";
    QTest::addRow("blank lines around") << "\n\n   \nCOM15=/dev/y\n\n" << 15 << "/dev/y";
    QTest::addRow("missing value") << "COM5=\n" << 5 << "/dev/ttyUSB0";
    QTest::addRow("no equals sign") << "COM6 /dev/x\n" << 6 << "/dev/ttyUSB1";
    QTest::addRow("a NUL in a device leaves the built-in one")
        << QStringLiteral("COM6=/dev/tty%1x\n").arg(QChar(0)) << 6 << SerialLine::builtInDevice(6);
    QTest::addRow("malformed line leaves the rest") << "garbage\nCOMx=/dev/x\nCOM15=/dev/z\n" << 15 << "/dev/z";
    QTest::addRow("port 17 reaches nothing") << "COM17=/dev/x\n" << 17 << "";
    QTest::addRow("port 0 reaches nothing") << "COM0=/dev/x\n" << 0 << "";
    QTest::addRow("semicolon comment after the path") << "COM3=/dev/ttyUSB0 ; bench PSU" << 3 << "/dev/ttyUSB0";
    QTest::addRow("hash comment after the path") << "COM3=/dev/ttyUSB0\t# bench" << 3 << "/dev/ttyUSB0";
    QTest::addRow("hash inside the path kept") << "COM15=/dev/serial/port#2" << 15 << "/dev/serial/port#2";
    QTest::addRow("only a comment is no path") << "COM5= ; none yet" << 5 << "/dev/ttyUSB0";
}

void TestPortMap::devices()
{
    QFETCH(QString, text);
    QFETCH(int, port);
    PortMap map;
    map.applyOverrides(text);
    QTEST(map.device(port), "device");
}

void TestPortMap::malformedLinesAreNamed()
{
    PortMap map;
    const QStringList malformed = map.applyOverrides(
        "# bench\nCOM3=/dev/pts/4 ; ok\ngarbage\n  COM5=  \nCOM17=/dev/x\r\n\nCOM4 /dev/y\n");
    QCOMPARE(malformed, QStringList({"garbage", "COM5=", "COM17=/dev/x", "COM4 /dev/y"}));
    QCOMPARE(map.device(3), QStringLiteral("/dev/pts/4"));
}

void TestPortMap::fileInProgramFolder()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    PortMap::setFolder(folder.path());
    QCOMPARE(PortMap::load().device(15), QString());

    QFile file(folder.filePath(QStringLiteral("ports.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# bench adapters\nCOM15=/dev/ttyUSB9\n");
    file.close();
    QCOMPARE(PortMap::load().device(15), QStringLiteral("/dev/ttyUSB9"));
}

// The port watcher looks at every mapped device once a second: a NUL in a path would
// have the system refuse it, with a warning, at every look.
void TestPortMap::nulByteIsAMalformedLineNeverLookedUp()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    PortMap::setFolder(folder.path());
    QFile file(folder.filePath(QStringLiteral("ports.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("COM15=/dev/tty\0USB0\nCOM16=/dev/ttyUSB1\n", 39));
    file.close();
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
    const PortMap map = PortMap::load();
    QCOMPARE(map.device(15), QString());
    QCOMPARE(map.device(16), QStringLiteral("/dev/ttyUSB1"));
    for (int look = 0; look < 2; ++look) {
        for (int port = PortMap::FirstPort; port <= PortMap::LastPort; ++port)
            SerialLine::deviceSeen(PortMap::load().device(port), {});
    }
    PortMap::setFolder(QString());
}

// A system install's program folder holds the delivered ports.ini; a user's own one wins,
// and without it the delivered one still counts.
void TestPortMap::userFileReadFirst()
{
    QTemporaryDir programFolder;
    QTemporaryDir userFolder;
    QVERIFY(programFolder.isValid() && userFolder.isValid());
    auto writePorts = [](const QString &path, const QByteArray &lines) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(lines) == lines.size();
    };
    QVERIFY(writePorts(programFolder.filePath(QStringLiteral("ports.ini")), "COM15=/dev/delivered\n"));
    PortMap::setFolder(programFolder.path());
    PortMap::setUserFolder(userFolder.path());
    QCOMPARE(PortMap::load().device(15), QStringLiteral("/dev/delivered"));
    // A change starts from the delivered map and goes to the user's own.
    QCOMPARE(PortMap::fileName(), programFolder.filePath(QStringLiteral("ports.ini")));
    QCOMPARE(PortMap::writableFileName(), userFolder.filePath(QStringLiteral("ports.ini")));

    QVERIFY(writePorts(userFolder.filePath(QStringLiteral("ports.ini")), "COM16=/dev/mine\n"));
    const PortMap map = PortMap::load();
    QCOMPARE(map.device(16), QStringLiteral("/dev/mine"));
    QCOMPARE(map.device(15), QString());
    PortMap::setUserFolder(QString());
    QCOMPARE(PortMap::writableFileName(), programFolder.filePath(QStringLiteral("ports.ini")));
}

QTEST_GUILESS_MAIN(TestPortMap)
#include "tst_portmap.moc"
