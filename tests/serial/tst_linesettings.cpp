// Velmora tests. Licensed under the MIT licence.
#include "commport.h"
#include "component/runtimeerror.h"
#include "lineerrorcounts.h"
#include "linesettings.h"
#include "systemcodepage.h"

#include <QTest>

Q_DECLARE_METATYPE(LineSettings::StopBits)

// Reading the settings string, telling line events from fault counters, and the
// stream decoding of the serial text mode.
class TestLineSettings : public QObject
{
    Q_OBJECT

private slots:
    void wellFormed_data();
    void wellFormed();
    void malformed_data();
    void malformed();
    void lineEvents();
    void splitCharacterStaysWhole();
};

void TestLineSettings::wellFormed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<LineSettings::StopBits>("stopBits");

    using S = LineSettings::StopBits;
    QTest::addRow("9600,N,8,1") << "9600,N,8,1" << 9600 << int(QSerialPort::NoParity) << 8 << S::One;
    QTest::addRow("19200,E,7,2") << "19200,E,7,2" << 19200 << int(QSerialPort::EvenParity) << 7 << S::Two;
    QTest::addRow("115200,E,7,1.5") << "115200,E,7,1.5" << 115200 << int(QSerialPort::EvenParity) << 7
                                    << S::OneAndHalf;
    QTest::addRow("odd") << "4800,O,6,1" << 4800 << int(QSerialPort::OddParity) << 6 << S::One;
    QTest::addRow("mark") << "1200,M,5,1.5" << 1200 << int(QSerialPort::MarkParity) << 5 << S::OneAndHalf;
    QTest::addRow("space") << "300,S,8,2" << 300 << int(QSerialPort::SpaceParity) << 8 << S::Two;
    QTest::addRow("lower-case letter") << "9600,e,8,1" << 9600 << int(QSerialPort::EvenParity) << 8 << S::One;
    QTest::addRow("4 data bits is well-formed") << "110,N,4,1" << 110 << int(QSerialPort::NoParity) << 4
                                                << S::One;
    QTest::addRow("blanks around fields") << " 57600 , N , 8 , 1 " << 57600 << int(QSerialPort::NoParity)
                                          << 8 << S::One;
}

void TestLineSettings::wellFormed()
{
    QFETCH(QString, text);
    const LineSettings line = LineSettings::parse(text);
    QTEST(int(line.baudRate), "baud");
    QTEST(int(line.parity), "parity");
    QTEST(line.dataBits, "dataBits");
    QTEST(line.stopBits, "stopBits");
}

void TestLineSettings::malformed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addRow("empty") << "";
    QTest::addRow("three fields") << "9600,N,8";
    QTest::addRow("five fields") << "9600,N,8,1,1";
    QTest::addRow("baud not a number") << "fast,N,8,1";
    QTest::addRow("baud zero") << "0,N,8,1";
    QTest::addRow("baud negative") << "-9600,N,8,1";
    QTest::addRow("unknown parity") << "9600,X,8,1";
    QTest::addRow("parity word") << "9600,NONE,8,1";
    QTest::addRow("3 data bits") << "9600,N,3,1";
    QTest::addRow("9 data bits") << "9600,N,9,1";
    QTest::addRow("3 stop bits") << "9600,N,8,3";
    QTest::addRow("stop bits 1.0") << "9600,N,8,1.0";
    QTest::addRow("semicolons") << "9600;N;8;1";
}

void TestLineSettings::malformed()
{
    QFETCH(QString, text);
    try {
        LineSettings::parse(text);
        QFAIL("accepted a malformed settings string");
    } catch (const Component::RuntimeError &error) {
        QCOMPARE(error.number(), int(CommPort::ErrorInvalidSetting));
        QVERIFY2(error.description().contains(text), qPrintable(error.description()));
    }
}

void TestLineSettings::lineEvents()
{
    const LineErrorCounts before {3, 1, 0, 0, 7};
    QCOMPARE(before.eventsSince(before), QList<qint16>());

    LineErrorCounts after = before;
    after.frame += 2;
    after.parity += 1;
    after.breaks += 1;
    const QList<qint16> expected {CommPort::EventBreak, CommPort::EventFrame, CommPort::EventRxParity};
    QCOMPARE(after.eventsSince(before), expected);

    LineErrorCounts overruns = before;
    overruns.overrun = 1;
    overruns.bufferOverrun = 1;
    const QList<qint16> overrunEvents {CommPort::EventOverrun, CommPort::EventRxOver};
    QCOMPARE(overruns.eventsSince(before), overrunEvents);
}

void TestLineSettings::splitCharacterStaysWhole()
{
    const QString text = QStringLiteral("A中文B");
    const QByteArray bytes = SystemCodePage::fromUnicode(text);
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
        SystemCodePage::StreamDecoder decoder;
        QString joined = decoder.decode(bytes.left(cut));
        joined += decoder.decode(bytes.mid(cut));
        QCOMPARE(joined, text);
    }
}

QTEST_GUILESS_MAIN(TestLineSettings)
#include "tst_linesettings.moc"
