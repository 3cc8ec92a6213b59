// Velmora tests. Licensed under the MIT licence.
#include "portfileeditor.h"
#include "portmap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What the port map makes of a text, port by port.
QStringList devicesOf(const QString &text)
{
    PortMap map;
    map.applyOverrides(text);
    QStringList devices;
    for (int port = PortMap::FirstPort; port <= PortMap::LastPort; ++port)
        devices << map.device(port);
    return devices;
}

const QString Hand = QStringLiteral("# bench adapters\n"
                                    "; keep Com 3 for the PSU\n"
                                    "COM3=/dev/ttyUSB0 ; bench PSU\n"
                                    "\n"
                                    "garbage line\n"
                                    "COM15=/dev/serial/by-id/usb-FTDI_A10K3X-if00-port0\n"
                                    "#COM7=/dev/old\n");

} // namespace

// Changing ports.ini one entry at a time: the port map reads the change and nothing
// else, and every line the user wrote that the change does not concern stays.
class TestPortFileEditor : public QObject
{
    Q_OBJECT

private slots:
    void setEntry_data();
    void setEntry();
    void removeEntry_data();
    void removeEntry();
    void writableDevices_data();
    void writableDevices();
    void fileRoundTrip();
    void unreadableAndUnwritableFiles();
};

void TestPortFileEditor::setEntry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("expected");

    QTest::addRow("replaced in place, comment kept")
        << Hand << 3 << "/dev/ttyUSB4"
        << QString(Hand).replace("COM3=/dev/ttyUSB0 ; bench PSU", "COM3=/dev/ttyUSB4 ; bench PSU");
    QTest::addRow("new port appended, commented-out entry left")
        << Hand << 7 << "/dev/ttyACM1" << Hand + "COM7=/dev/ttyACM1\n";
    QTest::addRow("empty file") << "" << 5 << "/dev/pts/3" << "COM5=/dev/pts/3\n";
    QTest::addRow("no line break at the end")
        << "COM1=/dev/a" << 2 << "/dev/b" << "COM1=/dev/a\nCOM2=/dev/b\n";
    QTest::addRow("a last line in a bare CR gains no second CR")
        << "COM1=/dev/a\r" << 2 << "/dev/b" << "COM1=/dev/a\r\nCOM2=/dev/b\r\n";
    QTest::addRow("CR LF kept on a replaced line")
        << "# x\r\nCOM4=/dev/a\r\n" << 4 << "/dev/b" << "# x\r\nCOM4=/dev/b\r\n";
    QTest::addRow("later entries of the port go, the first takes the device")
        << "COM2=/dev/a\nCOM9=/dev/x\ncom2 = /dev/b\n" << 2 << "/dev/c" << "COM2=/dev/c\nCOM9=/dev/x\n";
    QTest::addRow("a malformed line of the port is not an entry")
        << "COM2=\n" << 2 << "/dev/c" << "COM2=\nCOM2=/dev/c\n";
    QTest::addRow("remote line written as typed")
        << Hand << 15 << "tcp://bench-7.local:4001"
        << QString(Hand).replace("/dev/serial/by-id/usb-FTDI_A10K3X-if00-port0", "tcp://bench-7.local:4001");
}

void TestPortFileEditor::setEntry()
{
    QFETCH(QString, text);
    QFETCH(int, port);
    QFETCH(QString, device);
    PortFileEditor editor(text);
    editor.setEntry(port, device);
    QTEST(editor.text(), "expected");

    QStringList wanted = devicesOf(text);
    wanted[port - PortMap::FirstPort] = device;
    QCOMPARE(devicesOf(editor.text()), wanted);
    QCOMPARE(editor.entry(port), device);
}

void TestPortFileEditor::removeEntry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("expected");

    QTest::addRow("the entry goes, the comments stay")
        << Hand << 15 << QString(Hand).remove("COM15=/dev/serial/by-id/usb-FTDI_A10K3X-if00-port0\n");
    QTest::addRow("every entry of the port goes")
        << "COM2=/dev/a\nCOM9=/dev/x\r\nCOM2=/dev/b" << 2 << "COM9=/dev/x\r";
    QTest::addRow("a commented-out entry is no entry") << Hand << 7 << Hand;
}

void TestPortFileEditor::removeEntry()
{
    QFETCH(QString, text);
    QFETCH(int, port);
    PortFileEditor editor(text);
    editor.removeEntry(port);
    QTEST(editor.text(), "expected");
    QCOMPARE(editor.entry(port), QString());
}

void TestPortFileEditor::writableDevices_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<bool>("writable");

    QTest::addRow("blank inside") << "/dev/by-id/My Adapter" << true;
    QTest::addRow("hash inside a name") << "/dev/serial/port#2" << true;
    QTest::addRow("remote line") << "tcp://host:4001" << true;
    QTest::addRow("comment after a blank") << "/dev/a ; b" << false;
    QTest::addRow("line break") << "/dev/a\nCOM2=/dev/b" << false;
    QTest::addRow("leading blank") << " /dev/a" << false;
    QTest::addRow("empty") << "" << false;
}

void TestPortFileEditor::writableDevices()
{
    QFETCH(QString, device);
    QTEST(PortFileEditor::isWritable(device), "writable");
}

// The bytes on disk: read, changed and written back, the rest byte for byte.
void TestPortFileEditor::fileRoundTrip()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("user/velmora/ports.ini"));
    PortFileEditor editor;
    QCOMPARE(editor.read(path), PortFileEditor::ReadStatus::Missing);
    editor.setEntry(7, QStringLiteral("/dev/serial/by-id/usb-x"));
    QCOMPARE(editor.write(path), KeptFile::Result::Written);   // the folder is made

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite | QIODevice::Append));
    file.write("; Messplatz Müller\n");
    file.close();

    PortFileEditor again;
    QCOMPARE(again.read(path), PortFileEditor::ReadStatus::Read);
    again.setEntry(2, QStringLiteral("tcp://h:1"));
    QCOMPARE(again.write(path), KeptFile::Result::Written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()),
             QStringLiteral("COM7=/dev/serial/by-id/usb-x\n; Messplatz Müller\nCOM2=tcp://h:1\n"));
}

// A file that cannot be read is never written over with the editor's empty text.
void TestPortFileEditor::unreadableAndUnwritableFiles()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString directory = folder.filePath(QStringLiteral("ports.ini"));
    QVERIFY(QDir().mkdir(directory));
    PortFileEditor editor(QStringLiteral("COM1=/dev/a\n"));
    QCOMPARE(editor.read(directory), PortFileEditor::ReadStatus::Failed);
    QCOMPARE(editor.text(), QString());
    QCOMPARE(editor.write(directory), KeptFile::Result::Failed);

    QFile blocker(folder.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCOMPARE(editor.write(folder.filePath(QStringLiteral("file/ports.ini"))), KeptFile::Result::Failed);
}

QTEST_GUILESS_MAIN(TestPortFileEditor)
#include "tst_portfileeditor.moc"
