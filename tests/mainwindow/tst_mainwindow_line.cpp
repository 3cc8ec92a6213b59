// Velmora tests. Licensed under the MIT licence.
#include "workbench.h"

#include <capturelog.h>
#include <datapane.h>
#include <fakemodemline.h>
#include <formline.h>
#include <lineoptions.h>
#include <modemled.h>
#include <systemcodepage.h>
#include <titlestripbutton.h>

#include <control.h>
#include <controlsite.h>
#include <xpbuttonevents.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>

namespace {

enum Mode : qint16 { SendOnly = 0, SendReceive = 1, ReceiveOnly = 2, Answer = 3 };
constexpr qint16 Text = 0;
constexpr qint16 Hex = 1;
const QString SentLead = QStringLiteral("发送数据：");
const QString ReceivedLead = QStringLiteral("接收数据：");
const QString StampPattern = QStringLiteral("\\[\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\] ");

QString capture(const Workbench &bench)
{
    return SystemCodePage::toUnicode(
        bench.fileBytes(QStringLiteral("data/") + CaptureLog::fileNameFor(QDate::currentDate())));
}

SysData capturing(qint16 outPort, qint16 inPort, qint16 mode, qint16 format = Text)
{
    SysData settings = Workbench::workingSettings(outPort, inPort, mode);
    settings.SaveInfo = 1;
    settings.ComFormat = format;
    return settings;
}

// The one line window that is open, if any.
FormLine *lineWindow()
{
    FormLine *found = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *line = qobject_cast<FormLine *>(window); line && line->isVisible()) {
            if (found)
                return nullptr;
            found = line;
        }
    }
    return found;
}

FormLine *openLineWindow(Workbench &bench)
{
    bench.child<TitleStripButton>("ButtonLine")->click();
    return lineWindow();
}

template<typename T>
T *part(FormLine *window, const char *name)
{
    return window->findChild<T *>(QString::fromLatin1(name));
}

void choose(FormLine *window, const char *list, int index)
{
    QComboBox *box = part<QComboBox>(window, list);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void type(FormLine *window, const char *box, const QString &text)
{
    QLineEdit *edit = part<QLineEdit>(window, box);
    edit->setText(text);
    emit edit->editingFinished();
}

void press(FormLine *window, const char *button)
{
    Component::EventArgs none;
    Component::ControlSite::of(part<Component::Control>(window, button))->raiseEvent(XPButton::ButtonClick, none);
}

// A disabled button draws its caption grey, never black.
bool looksDisabled(QWidget *button)
{
    const QImage face = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
    bool grey = false;
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            const QRgb pixel = face.pixel(x, y);
            if (pixel == qRgb(0, 0, 0))
                return false;
            grey = grey || pixel == qRgb(128, 128, 128);
        }
    }
    return grey;
}

ModemLed::State ledState(FormLine *window, const char *led)
{
    return part<ModemLed>(window, led)->state();
}

} // namespace

// The line window with the main window: what its options do to the wire, the panes and
// the capture, the modem lines against a fake line, and the options file.
class TestMainWindowLine : public QObject
{
    Q_OBJECT

private slots:
    void lineButtonOpensOneWindowInTheTitleStrip();
    void toolWindowsStayAboveTheMainWindow_data();
    void toolWindowsStayAboveTheMainWindow();
    void lineEndGoesOnTheWire_data();
    void lineEndGoesOnTheWire();
    void customBaudReachesHeaderAndBadOnesAreRefused();
    void timestampsOnlyWhenOn_data();
    void timestampsOnlyWhenOn();
    void spacedPairsGoOutAsTyped_data();
    void spacedPairsGoOutAsTyped();
    void wrongHexIsRefusedNamingIt();
    void modemLinesShowAndFollowTheWindow();
    void oneSetForOnePortAndRtsUnderHandshake();
    void pseudoTerminalShowsNoModemLines();
    void optionsPersistApartFromSysData();
    void optionsFileThatCannotBeKeptIsToldOnce();
};

void TestMainWindowLine::lineButtonOpensOneWindowInTheTitleStrip()
{
    Workbench bench({15});
    FormMain *main = bench.open(Workbench::workingSettings(15, 15, SendOnly));
    auto *button = bench.child<TitleStripButton>("ButtonLine");
    QVERIFY(button && button->isVisible());
    QWidget *help = bench.child<QWidget>("HelpButton");
    QVERIFY(!button->geometry().intersects(help->geometry()));
    QCOMPARE(button->y(), help->y());
    QVERIFY(button->geometry().bottom() < main->findChild<QWidget *>("FrameComSet")->y());

    FormLine *window = openLineWindow(bench);
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("线路控制"));
    QCOMPARE(openLineWindow(bench), window);   // brought forward, not opened twice
    QVERIFY(!window->isModal());
}

// The window system keeps a tool window above the window it belongs to.
void TestMainWindowLine::toolWindowsStayAboveTheMainWindow_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::addRow("line window") << "ButtonLine" << "FormLine";
    QTest::addRow("port map window") << "ButtonPortMap" << "FormPortMap";
}

void TestMainWindowLine::toolWindowsStayAboveTheMainWindow()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    Workbench bench({15});
    FormMain *main = bench.open(Workbench::workingSettings(15, 15, SendOnly));
    bench.child<TitleStripButton>(qPrintable(button))->click();
    QWidget *tool = main->findChild<QWidget *>(window);
    QVERIFY(tool && tool->isVisible());
    QCOMPARE(tool->windowType(), Qt::Tool);
    QVERIFY(tool->windowHandle());
    QCOMPARE(tool->windowHandle()->transientParent(), main->windowHandle());
}

void TestMainWindowLine::lineEndGoesOnTheWire_data()
{
    QTest::addColumn<int>("lineEnd");
    QTest::addColumn<qint16>("format");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QString>("captured");
    QTest::addRow("none") << int(LineOptions::EndNone) << Text << "AT" << QByteArray("AT") << "AT";
    QTest::addRow("CR") << int(LineOptions::EndCR) << Text << "AT" << QByteArray("AT\r") << "AT\r";
    QTest::addRow("LF") << int(LineOptions::EndLF) << Text << "AT" << QByteArray("AT\n") << "AT\n";
    QTest::addRow("CR LF") << int(LineOptions::EndCRLF) << Text << "AT" << QByteArray("AT\r\n") << "AT\r\n";
    QTest::addRow("none after hex") << int(LineOptions::EndCRLF) << Hex << "4154" << QByteArray("AT") << "4154";
}

// Two periodic sends: each carries the ending, on the wire and in the capture.
void TestMainWindowLine::lineEndGoesOnTheWire()
{
    QFETCH(int, lineEnd);
    QFETCH(qint16, format);
    QFETCH(QString, command);
    QFETCH(QByteArray, wire);
    QFETCH(QString, captured);
    Workbench bench({15});
    SysData settings = capturing(15, 15, SendOnly, format);
    settings.ComAuto = 1;
    settings.OutCommand = command;
    bench.open(settings);
    choose(openLineWindow(bench), "ComboLineEnd", lineEnd);

    bench.click("ButtonCom");
    QCOMPARE(bench.farEnd(15).read(3000, 2 * wire.size()), wire + wire);
    bench.click("ButtonCom");
    QVERIFY2(capture(bench).contains(SentLead + captured + QStringLiteral("\r\n") + SentLead),
             qPrintable(capture(bench)));
    QVERIFY(bench.child<DataPane>("TextComOutput")->toPlainText().startsWith(command));
}

void TestMainWindowLine::customBaudReachesHeaderAndBadOnesAreRefused()
{
    Workbench bench({15, 16});
    SysData settings = capturing(15, 16, SendOnly);
    settings.ComAuto = 1;
    settings.OutCommand = QStringLiteral("AT");
    bench.open(settings);
    FormLine *window = openLineWindow(bench);
    type(window, "TextOutBaud", QStringLiteral("250000"));
    type(window, "TextInBaud", QStringLiteral("96OO"));
    type(window, "TextInBaud", QStringLiteral("4000001"));
    QCOMPARE(bench.messages.size(), 2);
    QCOMPARE(bench.messages.at(0), LineOptions::baudRefusal(LineOptions::BaudProblem::NotDigits));
    QCOMPARE(bench.messages.at(1), LineOptions::baudRefusal(LineOptions::BaudProblem::OutOfRange));
    QCOMPARE(window->options().inBaud, QString());
    QCOMPARE(window->options().outBaud, QStringLiteral("250000"));

    bench.click("ButtonCom");
    QCOMPARE(bench.farEnd(15).read(3000, 2), QByteArray("AT"));
    bench.click("ButtonCom");
    QVERIFY2(capture(bench).contains(QStringLiteral("Com 15 250000,N,8,1 ")), qPrintable(capture(bench)));
    QVERIFY(capture(bench).contains(QStringLiteral("Com 16 9600,N,8,1")));
}

void TestMainWindowLine::timestampsOnlyWhenOn_data()
{
    QTest::addColumn<bool>("timeStamp");
    QTest::addRow("off") << false;
    QTest::addRow("on") << true;
}

// Two lines, each begun after a pause: each starts with the time it began.
void TestMainWindowLine::timestampsOnlyWhenOn()
{
    QFETCH(bool, timeStamp);
    Workbench bench({15});
    bench.open(capturing(15, 15, ReceiveOnly));
    if (timeStamp)
        part<QCheckBox>(openLineWindow(bench), "CheckTimeStamp")->click();
    bench.click("ButtonCom");
    bench.farEnd(15).write("OK");
    QTest::qWait(150);
    bench.farEnd(15).write("GO");
    QTest::qWait(150);
    bench.click("ButtonCom");

    const QString stamp = timeStamp ? StampPattern : QString();
    const QRegularExpression pane(QStringLiteral("^%1OK\n%1GO$").arg(stamp));
    const QString shown = bench.child<DataPane>("TextComInput")->toPlainText();
    QVERIFY2(pane.match(shown).hasMatch(), qPrintable(shown));
    const QRegularExpression record(ReceivedLead + QStringLiteral("%1OK%1GO$").arg(stamp));
    QVERIFY2(record.match(capture(bench)).hasMatch(), qPrintable(capture(bench)));
}

// Spaced pairs go out as typed whatever the option; the option spaces what is received.
void TestMainWindowLine::spacedPairsGoOutAsTyped_data()
{
    QTest::addColumn<bool>("hexSpace");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<QString>("shown");
    QTest::addRow("off: spaced Modbus request")
        << false << "01 03 00 00 00 0A C5 CD" << QByteArray("\x01\x03\x00\x00\x00\x0A\xC5\xCD", 8) << "4F4B0D";
    QTest::addRow("off: unspaced") << false << "41540D" << QByteArray("AT\r") << "4F4B0D";
    QTest::addRow("on: spaced pairs") << true << "41 54 0D" << QByteArray("AT\r") << "4F 4B 0D";
}

void TestMainWindowLine::spacedPairsGoOutAsTyped()
{
    QFETCH(bool, hexSpace);
    QFETCH(QString, command);
    QFETCH(QByteArray, wire);
    QFETCH(QString, shown);
    Workbench bench({15});
    SysData settings = Workbench::workingSettings(15, 15, SendReceive);
    settings.ComFormat = Hex;
    settings.OutCommand = command;
    bench.open(settings);
    if (hexSpace)
        part<QCheckBox>(openLineWindow(bench), "CheckHexSpace")->click();
    bench.click("ButtonCom");
    QCOMPARE(bench.farEnd(15).read(3000, wire.size()), wire);
    QElapsedTimer gap;
    gap.start();
    bench.farEnd(15).write("OK");
    QTest::qWait(10);
    bench.farEnd(15).write("\r");   // within the line: its pair follows the others
    // A machine too busy to keep the pieces within the 25 ms of one line cannot judge it.
    if (gap.elapsed() >= 20)
        QSKIP("the far end's two writes were not within one line's 25 ms");
    QTRY_COMPARE(bench.child<DataPane>("TextComInput")->toPlainText(), shown);
    QCOMPARE(bench.messages, QStringList());
}

// Nothing of a command with a wrong character goes out; the command stays as stored.
void TestMainWindowLine::wrongHexIsRefusedNamingIt()
{
    Workbench bench({15});
    SysData settings = Workbench::workingSettings(15, 15, SendOnly);
    settings.ComFormat = Hex;
    settings.OutCommand = QStringLiteral("01 03 0G");
    bench.open(settings);
    QCOMPARE(bench.child<QLineEdit>("TextComOutCommand")->text(), settings.OutCommand);
    bench.click("ButtonCom");
    QCOMPARE(bench.messages.size(), 1);
    QVERIFY2(bench.messages.first().contains(QStringLiteral("第 8 个字符“G”")), qPrintable(bench.messages.first()));
    QVERIFY(!bench.portOpen("MSCommOutPut"));
    QCOMPARE(bench.farEnd(15).read(100), QByteArray());
    QCOMPARE(bench.child<QLineEdit>("TextComOutCommand")->text(), settings.OutCommand);
}

void TestMainWindowLine::modemLinesShowAndFollowTheWindow()
{
    FakeModemLine fake;
    Workbench bench({15, 16});
    SysData settings = Workbench::workingSettings(15, 16, SendReceive);
    settings.OutCommand = QStringLiteral("AT");
    settings.ComAuto = 1;   // communication runs until stopped
    bench.open(settings);
    FakeModemLine::Line &in = fake.line(bench.farEnd(16).slavePath());
    FakeModemLine::Line &out = fake.line(bench.farEnd(15).slavePath());
    FormLine *window = openLineWindow(bench);
    QCOMPARE(ledState(window, "LEDInCTS"), ModemLed::State::Unavailable);
    QCOMPARE(part<QLabel>(window, "LabelInLines")->text(), QStringLiteral("端口未打开"));
    QVERIFY(!part<Component::Control>(window, "ButtonInBreak")->isEnabled());
    QVERIFY(looksDisabled(part<Component::Control>(window, "ButtonInBreak")));

    part<QCheckBox>(window, "CheckOutRTS")->click();   // off before the start: applied at the open
    bench.click("ButtonCom");
    QVERIFY(in.dtr && in.rts && out.dtr);
    QVERIFY(!out.rts);
    in.inputs = {true, false, true, false};
    QTRY_COMPARE(ledState(window, "LEDInCTS"), ModemLed::State::Raised);
    QCOMPARE(ledState(window, "LEDInDSR"), ModemLed::State::Low);
    QCOMPARE(ledState(window, "LEDInDCD"), ModemLed::State::Raised);
    QCOMPARE(ledState(window, "LEDOutCTS"), ModemLed::State::Low);
    QCOMPARE(part<QLabel>(window, "LabelInLines")->text(), QString());

    part<QCheckBox>(window, "CheckInDTR")->click();   // while communicating: at once
    QVERIFY(!in.dtr);
    QTRY_VERIFY(part<Component::Control>(window, "ButtonInBreak")->isEnabled());
    QVERIFY(!looksDisabled(part<Component::Control>(window, "ButtonInBreak")));
    press(window, "ButtonInBreak");
    QVERIFY(in.breaking);
    QTRY_VERIFY(!in.breaking);
    QCOMPARE(in.breaks, 1);
    QCOMPARE(out.breaks, 0);
    QCOMPARE(bench.messages, QStringList());

    bench.click("ButtonCom");
    QTRY_COMPARE(ledState(window, "LEDInCTS"), ModemLed::State::Unavailable);
    QVERIFY(!part<Component::Control>(window, "ButtonInBreak")->isEnabled());
    QVERIFY(looksDisabled(part<Component::Control>(window, "ButtonInBreak")));
}

void TestMainWindowLine::oneSetForOnePortAndRtsUnderHandshake()
{
    FakeModemLine fake;
    Workbench bench({15});
    SysData settings = Workbench::workingSettings(15, 15, SendReceive);
    settings.OutHand = settings.InHand = 2;   // RTS/CTS
    settings.OutCommand = QStringLiteral("AT");
    bench.open(settings);
    FakeModemLine::Line &line = fake.line(bench.farEnd(15).slavePath());
    FormLine *window = openLineWindow(bench);
    QTRY_VERIFY(!part<QGroupBox>(window, "FrameLineOut")->isEnabled());
    QCOMPARE(part<QGroupBox>(window, "FrameLineIn")->title(), QStringLiteral("收发端口"));
    QVERIFY(!part<QCheckBox>(window, "CheckInRTS")->isEnabled());

    part<QCheckBox>(window, "CheckInDTR")->click();
    bench.click("ButtonCom");
    QVERIFY(!line.dtr);
    press(window, "ButtonInBreak");
    QCOMPARE(line.breaks, 1);
}

void TestMainWindowLine::pseudoTerminalShowsNoModemLines()
{
    Workbench bench({15});
    bench.open(Workbench::workingSettings(15, 15, ReceiveOnly));
    FormLine *window = openLineWindow(bench);
    bench.click("ButtonCom");
    QTRY_COMPARE(part<QLabel>(window, "LabelInLines")->text(), QStringLiteral("此设备没有调制解调器控制线"));
    QCOMPARE(ledState(window, "LEDInRI"), ModemLed::State::Unavailable);
    part<QCheckBox>(window, "CheckInDTR")->click();
    press(window, "ButtonInBreak");
    QCOMPARE(bench.messages, QStringList());
    QVERIFY(bench.portOpen("MSCommInPut"));
}

// The options file holds the window's settings; sysdata.dat stays as it was.
void TestMainWindowLine::optionsPersistApartFromSysData()
{
    Workbench bench({15, 16});
    bench.open(Workbench::workingSettings(15, 16, SendReceive));
    bench.close();
    const QByteArray before = bench.fileBytes(QStringLiteral("sysdata.dat"));
    QVERIFY(!before.isEmpty());
    QVERIFY(!QFile::exists(bench.path(QStringLiteral("velmora.ini"))));

    bench.open();
    FormLine *window = openLineWindow(bench);
    for (const char *box : {"CheckOutDTR", "CheckOutRTS", "CheckInDTR", "CheckInRTS", "CheckTimeStamp",
                            "CheckHexSpace"})
        part<QCheckBox>(window, box)->click();
    choose(window, "ComboLineEnd", LineOptions::EndCRLF);
    type(window, "TextOutBaud", QStringLiteral("250000"));
    type(window, "TextInBaud", QStringLiteral("921600"));
    const LineOptions chosen = window->options();
    bench.close();

    QCOMPARE(bench.fileBytes(QStringLiteral("sysdata.dat")), before);
    QVERIFY(LineOptions::load(bench.path(QStringLiteral("velmora.ini"))) == chosen);
    QVERIFY(chosen.timeStamp && chosen.hexSpace && !chosen.outDTR && !chosen.inRTS);

    bench.open();
    window = openLineWindow(bench);
    QVERIFY(window->options() == chosen);
    QVERIFY(part<QCheckBox>(window, "CheckTimeStamp")->isChecked());
    QCOMPARE(part<QComboBox>(window, "ComboLineEnd")->currentText(), QStringLiteral("CR LF"));
    QCOMPARE(part<QLineEdit>(window, "TextInBaud")->text(), QStringLiteral("921600"));
}

// A velmora.ini far too large for options (98 MB) is neither read nor written at each
// click, and the user hears once that the options hold for this run only.
void TestMainWindowLine::optionsFileThatCannotBeKeptIsToldOnce()
{
    Workbench bench({15, 16});
    QFile file(bench.path(QStringLiteral("velmora.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Display]\nTimeStamp=true\n");
    QVERIFY(file.resize(98 * 1000 * 1000));   // sparse: costs no disk
    file.close();
    bench.open(Workbench::workingSettings(15, 16, SendReceive));
    FormLine *window = openLineWindow(bench);
    QVERIFY(!part<QCheckBox>(window, "CheckTimeStamp")->isChecked());
    for (const char *box : {"CheckTimeStamp", "CheckHexSpace", "CheckTimeStamp"})
        part<QCheckBox>(window, box)->click();
    QCOMPARE(bench.messages.size(), 1);
    QVERIFY2(bench.messages.at(0).contains(QStringLiteral("只在本次运行中有效")), qPrintable(bench.messages.at(0)));
    QCOMPARE(QFileInfo(file).size(), 98 * 1000 * 1000);
    QVERIFY(window->options().hexSpace);
}

QTEST_MAIN(TestMainWindowLine)
#include "tst_mainwindow_line.moc"
