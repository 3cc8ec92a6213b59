// Velmora tests. Licensed under the MIT licence.
#include "workbench.h"

#include <capturelog.h>
#include <datapane.h>
#include <modulefun.h>
#include <systemcodepage.h>

#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

const QString Start = QStringLiteral("开始通讯");
const QString Stop = QStringLiteral("停止通讯");
const QString CheckSettings = QStringLiteral("错误提示：请检查您的各项通讯参数设置是否正确！");
constexpr qint16 PeriodIndex500 = 2;

enum Mode : qint16 { SendOnly = 0, SendReceive = 1, ReceiveOnly = 2, Answer = 3 };

QString captureName()
{
    return QStringLiteral("data/") + CaptureLog::fileNameFor(QDate::currentDate());
}

QString capture(const Workbench &bench)
{
    return SystemCodePage::toUnicode(bench.fileBytes(captureName()));
}

QString paneText(const Workbench &bench, const char *pane)
{
    return bench.child<DataPane>(pane)->toPlainText();
}

SysData capturing(qint16 outPort, qint16 inPort, qint16 mode)
{
    SysData settings = Workbench::workingSettings(outPort, inPort, mode);
    settings.SaveInfo = 1;
    return settings;
}

} // namespace

// The transfer engine with its display and capture, against far ends on pseudo-terminals.
class TestMainWindowTransfer : public QObject
{
    Q_OBJECT

private slots:
    void singleSendGoesOutOnePeriodLater();
    void samePortNeedsSameSettingsAndOpensOnce();
    void answerOnlyAnExactCommand_data();
    void answerOnlyAnExactCommand();
    void pausesBreakReceivedLines_data();
    void pausesBreakReceivedLines();
    void captureFileHoldsTheExchange();
    void twoHundredFiftySixthRecordIsWrittenAtOnce();
    void unwritableCaptureIsReportedOnceAndKept();
    void continuousStreamKeepsPaneBoundedAndCaptureWhole();
    void refusedStartStaysStopped();
    void longCommandGoesOutWhole_data();
    void longCommandGoesOutWhole();
    void lostDeviceStopsCommunication();
};

// The send stops by itself; its capture record waits in the buffer until the next start.
void TestMainWindowTransfer::singleSendGoesOutOnePeriodLater()
{
    Workbench bench({15});
    bench.open(capturing(15, 15, SendOnly));
    bench.child<QLineEdit>("TextComOutCommand")->setText("AT");
    QElapsedTimer clock;
    clock.start();
    bench.click("ButtonCom");
    QCOMPARE(bench.caption("ButtonCom"), Stop);

    QCOMPARE(bench.farEnd(15).read(2000, 2), QByteArray("AT"));
    QVERIFY2(clock.elapsed() >= 180, qPrintable(QString::number(clock.elapsed())));
    QTRY_COMPARE(bench.caption("ButtonCom"), Start);
    QVERIFY(bench.portOpen("MSCommOutPut"));
    QCOMPARE(bench.farEnd(15).read(400), QByteArray());
    QCOMPARE(paneText(bench, "TextComOutput"), QStringLiteral("AT"));
    QVERIFY(!QFile::exists(bench.path(captureName())));

    bench.click("ButtonCom");
    QVERIFY(capture(bench).endsWith("发送数据：AT"));
}

void TestMainWindowTransfer::samePortNeedsSameSettingsAndOpensOnce()
{
    Workbench bench({15});
    SysData settings = Workbench::workingSettings(15, 15, SendReceive);
    settings.InSetB = 5;
    settings.OutCommand = QStringLiteral("AT");
    bench.open(settings);
    bench.click("ButtonCom");
    QCOMPARE(bench.messages, QStringList("对不起！\r\n\r\n您采用相同的收发端口，请将其参数设置相同！"));
    QVERIFY(bench.child<QComboBox>("ComboComOutSetB")->hasFocus());
    QVERIFY(!bench.portOpen("MSCommOutPut"));
    QVERIFY(!bench.portOpen("MSCommInPut"));
    QCOMPARE(bench.caption("ButtonCom"), Start);

    bench.pick("ComboComInSetB", 4);
    bench.click("ButtonCom");
    QVERIFY(!bench.portOpen("MSCommOutPut"));
    QVERIFY(bench.portOpen("MSCommInPut"));
    QCOMPARE(bench.farEnd(15).read(2000, 2), QByteArray("AT"));
    bench.farEnd(15).write("OK");
    QTRY_COMPARE(paneText(bench, "TextComInput"), QStringLiteral("OK"));
    QCOMPARE(bench.messages.size(), 1);
}

void TestMainWindowTransfer::answerOnlyAnExactCommand_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QByteArray>("answer");
    QTest::addRow("text AT") << 0 << "AT" << QByteArray("AT") << QByteArray("OK");
    QTest::addRow("text at") << 0 << "AT" << QByteArray("at") << QByteArray();
    QTest::addRow("text ATAT") << 0 << "AT" << QByteArray("ATAT") << QByteArray();
    QTest::addRow("hex 0102") << 1 << "0102" << QByteArray("\x01\x02") << QByteArray("OK");
    QTest::addRow("hex spaced, lower case") << 1 << " 0a 1b" << QByteArray("\x0A\x1B") << QByteArray("OK");
}

void TestMainWindowTransfer::answerOnlyAnExactCommand()
{
    QFETCH(int, format);
    QFETCH(QString, expected);
    QFETCH(QByteArray, received);
    Workbench bench({15, 16});
    SysData settings = Workbench::workingSettings(15, 16, Answer);
    settings.ComFormat = format;
    settings.OutCommand = format == 0 ? QStringLiteral("OK") : QStringLiteral("4F4B");
    settings.InCommand = expected;
    bench.open(settings);
    bench.click("ButtonCom");
    QCOMPARE(bench.caption("ButtonCom"), Stop);

    bench.farEnd(16).write(received);
    QTEST(bench.farEnd(15).read(300), "answer");
    QVERIFY(bench.messages.isEmpty());
}

void TestMainWindowTransfer::pausesBreakReceivedLines_data()
{
    QTest::addColumn<int>("pause");
    QTest::addColumn<QString>("shown");
    QTest::addRow("10 ms one line") << 10 << "AB";
    QTest::addRow("40 ms two lines") << 40 << "A\nB";
}

// Receiving alone needs no send command: Enter in the empty box starts and stops it.
void TestMainWindowTransfer::pausesBreakReceivedLines()
{
    QFETCH(int, pause);
    QFETCH(QString, shown);
    Workbench bench({16});
    bench.open(Workbench::workingSettings(16, 16, ReceiveOnly));
    auto *box = bench.child<QLineEdit>("TextComOutCommand");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(bench.caption("ButtonCom"), Stop);
    bench.farEnd(16).write("A");
    QTest::qWait(pause);
    bench.farEnd(16).write("B");
    QTRY_COMPARE(paneText(bench, "TextComInput"), shown);
    QVERIFY(bench.messages.isEmpty());
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(bench.caption("ButtonCom"), Start);
    QVERIFY(!bench.portOpen("MSCommInPut"));
}

// A send, two receives 100 ms apart, a send: the receives share one capture line while
// the pane shows them on two.
void TestMainWindowTransfer::captureFileHoldsTheExchange()
{
    Workbench bench({15, 16});
    SysData settings = capturing(15, 16, SendReceive);
    settings.ComAuto = 1;
    settings.ComTime = PeriodIndex500;
    settings.OutCommand = QStringLiteral("AT");
    bench.open(settings);
    bench.click("ButtonCom");

    QCOMPARE(bench.farEnd(15).read(2000, 2), QByteArray("AT"));
    bench.farEnd(16).write("X");
    QTest::qWait(100);
    bench.farEnd(16).write("Y");
    QCOMPARE(bench.farEnd(15).read(2000, 2), QByteArray("AT"));
    bench.click("ButtonCom");

    const QString file = capture(bench);
    const QRegularExpression stamp("^\r\n\r\n\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d\r\n");
    QVERIFY2(stamp.match(file).hasMatch(), qPrintable(file));
    QCOMPARE(file.mid(stamp.match(file).capturedLength()),
             QStringLiteral("数据收发方式：发送通讯命令并接收数据\r\n"
                            "数据发送端口：Com 15 9600,N,8,1 数据接收端口：Com 16 9600,N,8,1\r\n"
                            "发送数据：AT\r\n接收数据：XY\r\n发送数据：AT"));
    QCOMPARE(paneText(bench, "TextComInput"), QStringLiteral("X\nY"));
}

void TestMainWindowTransfer::twoHundredFiftySixthRecordIsWrittenAtOnce()
{
    Workbench bench({16});
    FormMain *window = bench.open(capturing(16, 16, ReceiveOnly));
    bench.click("ButtonCom"); // the header is the first record
    for (int record = 2; record < CaptureLog::RecordsPerWrite; ++record)
        window->Sub_SaveComInfo(CaptureLog::RecordSent, "x");
    QVERIFY(!QFile::exists(bench.path(captureName())));
    window->Sub_SaveComInfo(CaptureLog::RecordSent, "y");
    QVERIFY(capture(bench).endsWith("发送数据：x\r\n发送数据：y"));
}

void TestMainWindowTransfer::unwritableCaptureIsReportedOnceAndKept()
{
    Workbench bench({16});
    QFile obstacle(bench.path("data"));
    QVERIFY(obstacle.open(QIODevice::WriteOnly));
    obstacle.close();
    bench.open(capturing(16, 16, ReceiveOnly));
    for (int run = 0; run < 2; ++run) {
        bench.click("ButtonCom");
        bench.click("ButtonCom");
        QTest::qWait(10);
    }
    // Each stop tells what it could not save, and where.
    QCOMPARE(bench.messages.size(), 2);
    for (const QString &message : bench.messages) {
        QVERIFY(message.contains(QDir::toNativeSeparators(bench.path("data"))));
        QVERIFY(message.contains(QStringLiteral("未能保存")));
        QVERIFY(!message.endsWith(CheckSettings));
    }

    QVERIFY(obstacle.remove());
    bench.click("ButtonCom");
    bench.click("ButtonCom");
    QCOMPARE(capture(bench).count("数据收发方式："), 3);
}

void TestMainWindowTransfer::continuousStreamKeepsPaneBoundedAndCaptureWhole()
{
    Workbench bench({16});
    bench.open(capturing(16, 16, ReceiveOnly));
    bench.click("ButtonCom");
    QByteArray stream;
    for (int chunk = 0; chunk < 60; ++chunk) {
        const QByteArray bytes(2000, char('a' + chunk % 26));
        stream += bytes;
        bench.farEnd(16).write(bytes);
        QTest::qWait(5);
    }
    QTest::qWait(100);
    bench.click("ButtonCom");

    QVERIFY(paneText(bench, "TextComInput").size() <= DataPane::MaxChars);
    QCOMPARE(capture(bench).section("接收数据：", 1).remove("\r\n接收数据："), QString::fromLatin1(stream));
}

// The factory settings' 4 data bits cannot be opened: one report, and the program
// stays stopped with nothing sent, shown or captured.
void TestMainWindowTransfer::refusedStartStaysStopped()
{
    Workbench bench({15});
    SysData settings = capturing(15, 15, SendOnly);
    settings.OutSetD = 0;
    settings.ComAuto = 1;
    settings.OutCommand = QStringLiteral("AT");
    bench.open(settings);
    for (int click = 1; click <= 2; ++click) {
        bench.click("ButtonCom");
        QCOMPARE(bench.messages.size(), click);
        QVERIFY(bench.messages.last().contains(QStringLiteral("8008")));
        QCOMPARE(bench.caption("ButtonCom"), Start);
        QVERIFY(bench.child<QComboBox>("ComboComOutSetD")->isEnabled());
        QVERIFY(!bench.child<QTimer>("Timer1")->isActive());
        QVERIFY(!bench.portOpen("MSCommOutPut"));
    }
    QTest::qWait(700);
    QCOMPARE(bench.messages.size(), 2);
    QCOMPARE(paneText(bench, "TextComOutput"), QString());
    QCOMPARE(bench.farEnd(15).read(50), QByteArray());
    bench.close();
    QVERIFY(!capture(bench).contains(QStringLiteral("发送数据")));
}

void TestMainWindowTransfer::longCommandGoesOutWhole_data()
{
    QTest::addColumn<qint16>("format");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("bytes");
    QByteArray text(100000, 'A');
    for (int i = 0; i < text.size(); ++i)
        text[i] = char('A' + i % 26);
    QTest::addRow("100,000 characters of text") << qint16(0) << QString::fromLatin1(text) << text;
    const QByteArray bytes = text.left(30000);
    QTest::addRow("30,000 bytes in hex") << qint16(1) << QString::fromLatin1(bytes.toHex().toUpper())
                                         << bytes;
}

// A pasted command is neither cut nor refused for its length.
void TestMainWindowTransfer::longCommandGoesOutWhole()
{
    QFETCH(qint16, format);
    QFETCH(QString, command);
    QFETCH(QByteArray, bytes);
    Workbench bench({15});
    SysData settings = Workbench::workingSettings(15, 15, SendOnly);
    settings.ComFormat = format;
    bench.open(settings);
    bench.child<QLineEdit>("TextComOutCommand")->setText(command);
    bench.click("ButtonCom");
    QCOMPARE(bench.farEnd(15).read(2000, bytes.size()), bytes);
    QCOMPARE(bench.messages, QStringList());
    bench.close();
    QCOMPARE(SysData::load(bench.path(QStringLiteral("sysdata.dat"))).OutCommand,
             command.left(SysData::MaxTextBytes));
}

void TestMainWindowTransfer::lostDeviceStopsCommunication()
{
    Workbench bench({16});
    bench.open(capturing(16, 16, ReceiveOnly));
    bench.click("ButtonCom");
    bench.farEnd(16).write("X");
    QTRY_COMPARE(paneText(bench, "TextComInput"), QStringLiteral("X"));

    bench.farEnd(16).unplug();
    QTRY_COMPARE(bench.caption("ButtonCom"), Start);
    QTRY_COMPARE(bench.messages.size(), 1);
    QVERIFY(bench.messages.first().contains("Com 16"));
    QVERIFY(bench.child<QComboBox>("ComboComInput")->isEnabled());
    QVERIFY(capture(bench).endsWith("接收数据：X"));

    bench.farEnd(16).plugIn();
    bench.click("ButtonCom");
    QCOMPARE(bench.caption("ButtonCom"), Stop);
    bench.farEnd(16).write("Y");
    QTRY_COMPARE(paneText(bench, "TextComInput"), QStringLiteral("X\nY"));
    QCOMPARE(bench.messages.size(), 1);
}

QTEST_MAIN(TestMainWindowTransfer)
#include "tst_mainwindow_transfer.moc"
