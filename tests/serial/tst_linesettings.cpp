// Velmora tests. Licensed under the MIT licence.
#include "commport.h"
#include <runtimeerror.h>
#include "lineerrorcounts.h"
#include "linesettings.h"

#include <QTest>

Q_DECLARE_METATYPE(LineSettings::StopBits)

// Reading the settings string and telling line events from the driver's fault counters.
class TestLineSettings : public QObject
{
    Q_OBJECT

private slots:
    void wellFormed_data();
    void wellFormed();
    void malformed_data();
    void malformed();
    void lineEvents();
    void settingsStringOfLists_data();
    void settingsStringOfLists();
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
    QTest::addRow("115200,o,4,1.5") << "115200,o,4,1.5" << 115200 << int(QSerialPort::OddParity) << 4
                                    << S::OneAndHalf;
    QTest::addRow("blanks around fields") << " 300 , S , 5 , 1 " << 300 << int(QSerialPort::SpaceParity) << 5
                                          << S::One;
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
    QTest::addRow("unknown parity") << "9600,X,8,1";
    QTest::addRow("parity word") << "9600,NONE,8,1";
    QTest::addRow("3 data bits") << "9600,N,3,1";
    QTest::addRow("9 data bits") << "9600,N,9,1";
    QTest::addRow("stop bits 1.0") << "9600,N,8,1.0";
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
}

void TestLineSettings::settingsStringOfLists_data()
{
    QTest::addColumn<QString>("parityItem");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("parity");
    QTest::addRow("None") << "None" << "115200,N,7,1.5" << int(QSerialPort::NoParity);
    QTest::addRow("Even") << "Even" << "115200,E,7,1.5" << int(QSerialPort::EvenParity);
    QTest::addRow("Odd") << "Odd" << "115200,O,7,1.5" << int(QSerialPort::OddParity);
    QTest::addRow("Mark") << "Mark" << "115200,M,7,1.5" << int(QSerialPort::MarkParity);
    QTest::addRow("Spack") << "Spack" << "115200,S,7,1.5" << int(QSerialPort::SpaceParity);
}

// The parity list's items become the letters the line is set with, and back.
void TestLineSettings::settingsStringOfLists()
{
    QFETCH(QString, parityItem);
    QFETCH(QString, settings);
    QFETCH(int, parity);
    QCOMPARE(LineSettings::settingsString(" 115200 ", parityItem, "7", "1.5 "), settings);
    const LineSettings line = LineSettings::parse(settings);
    QCOMPARE(int(line.parity), parity);
    QCOMPARE(LineSettings::parityLetter(line.parity), parityItem.at(0));
}

QTEST_GUILESS_MAIN(TestLineSettings)
#include "tst_linesettings.moc"
