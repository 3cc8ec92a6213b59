// Velmora tests. Licensed under the MIT licence.
#include "workbench.h"

#include <commport.h>
#include <modulefun.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

// Plays a program that closes the main window from code (a script, the session's end)
// while a message of it waits for the user, and the user who then answers the messages
// the close sequence itself has to show. Real message windows, with their own event loops.
class CloseAtMessage : public QObject
{
public:
    explicit CloseAtMessage(FormMain *window) : m_window(window)
    {
        ModuleFun::SetMessageObserver({});
        connect(&m_look, &QTimer::timeout, this, &CloseAtMessage::look);
        m_look.start(10);
    }

    QStringList texts;

private:
    void look()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() != QLatin1String("FormMessage") || !widget->isVisible())
                continue;
            const QString text = widget->findChild<QLabel *>("LabelMessage")->text();
            if (texts.isEmpty() || texts.constLast() != text)
                texts << text;
            if (!m_closeAsked) {
                // From the event loop, as a script's or the session's request comes.
                m_closeAsked = true;
                QMetaObject::invokeMethod(m_window, &QWidget::close, Qt::QueuedConnection);
            } else {
                widget->close();
            }
        }
    }

    QPointer<FormMain> m_window;
    bool m_closeAsked = false;
    QTimer m_look;
};

} // namespace

// Loading and closing the main window, the port lists and the line-settings lists.
class TestMainWindowLifecycle : public QObject
{
    Q_OBJECT

private slots:
    void firstStartWritesFullRecordAtClose();
    void storedSelectionsComeBack_data();
    void storedSelectionsComeBack();
    void absentPortsAreKeptForTheirReturn();
    void unwritableSettingsAreReported();
    void windowManagerCloseEndsTheProgram();
    void closeWhileAMessageWaitsEndsCleanly_data();
    void closeWhileAMessageWaitsEndsCleanly();
    void portTestNamesBusyAndMissingPorts();
    void scanListsPortsAfterARefusedStart();
    void startWithoutAPortSaysSo();
    void rescanLeavesARunningTransferAlone();
    void communicationLocksTheSeventeenSettings();
    void hexCommandsAreUpperCasedWithCaretAtEnd();
};

void TestMainWindowLifecycle::firstStartWritesFullRecordAtClose()
{
    Workbench bench({3});
    bench.open();
    QVERIFY(QFile::exists(bench.path("sysdata.dat")));
    QCOMPARE(bench.fileBytes("sysdata.dat").size(), 0);

    QCOMPARE(bench.child<QComboBox>("ComboComOutput")->currentText(), QStringLiteral("Com 3"));
    QCOMPARE(bench.child<QComboBox>("ComboComIOState")->currentText(),
             QStringLiteral("单独发送通讯命令"));
    QCOMPARE(bench.child<QComboBox>("ComboComOutSetB")->currentText(), QStringLiteral("600"));
    QCOMPARE(bench.child<QComboBox>("ComboComInSetD")->currentText(), QStringLiteral("4"));
    QCOMPARE(bench.child<QComboBox>("ComboComTime")->currentText(), QStringLiteral("200"));
    QVERIFY(!bench.child<QComboBox>("ComboComTime")->isEnabled());
    QVERIFY(!bench.child<QLineEdit>("TextComInCommand")->isEnabled());
    QCOMPARE(bench.child<QLabel>("LabelFileName")->text(),
             QStringLiteral("文件名：") + QDate::currentDate().toString("MM-dd-yyyy") + ".txt");

    bench.child<QLineEdit>("TextComOutCommand")->setText("AB");
    bench.close();

    QByteArray expected(32, '\0');
    expected[0] = 3; // OutPort
    expected[2] = 3; // InPort
    expected += QByteArray("\x02\x00" "AB" "\x00\x00" "\x00\x00", 8);
    QCOMPARE(bench.fileBytes("sysdata.dat"), expected);
}

void TestMainWindowLifecycle::storedSelectionsComeBack_data()
{
    QTest::addColumn<QList<int>>("present");
    QTest::addColumn<int>("outPort");
    QTest::addColumn<int>("inPort");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("comAuto");
    QTest::addColumn<QString>("outItem");
    QTest::addColumn<QString>("inItem");
    QTest::addColumn<QString>("modeItem");
    QTest::addColumn<Qt::CheckState>("autoState");
    QTest::addColumn<bool>("periodEnabled");

    QTest::addRow("ports 5 and 2 of 1, 2, 5; repeat on")
        << QList<int>{1, 2, 5} << 5 << 2 << 1 << 1 << "Com 5" << "Com 2" << "发送通讯命令并接收数据"
        << Qt::Checked << true;
    QTest::addRow("absent port 9 gives the first; repeat off")
        << QList<int>{4, 12} << 9 << 12 << 3 << 0 << "Com 4" << "Com 12" << "接收通讯命令并发送数据"
        << Qt::Unchecked << false;
    QTest::addRow("damaged mode index 7 gives the first; grey repeat leaves the list")
        << QList<int>{1} << 1 << 1 << 7 << 2 << "Com 1" << "Com 1" << "单独发送通讯命令"
        << Qt::PartiallyChecked << true;
}

void TestMainWindowLifecycle::storedSelectionsComeBack()
{
    QFETCH(QList<int>, present);
    QFETCH(int, outPort);
    QFETCH(int, inPort);
    QFETCH(int, mode);
    QFETCH(int, comAuto);
    QFETCH(QString, outItem);
    QFETCH(QString, inItem);
    QFETCH(QString, modeItem);
    Workbench bench(present);
    SysData settings = Workbench::workingSettings(outPort, inPort, mode);
    settings.ComAuto = comAuto;
    settings.ComTime = 6;
    bench.open(settings);

    QCOMPARE(bench.child<QComboBox>("ComboComOutput")->currentText(), outItem);
    QCOMPARE(bench.child<QComboBox>("ComboComInput")->currentText(), inItem);
    QCOMPARE(bench.child<QComboBox>("ComboComIOState")->currentText(), modeItem);
    QCOMPARE(bench.child<QLabel>("LabelComOutputP")->text(), "数据发送端口：" + outItem);
    QCOMPARE(bench.child<QLabel>("LabelComInputP")->text(), "数据接收端口：" + inItem);
    QCOMPARE(bench.child<QLineEdit>("TextComInCommand")->isEnabled(), modeItem.startsWith("接收"));
    QTEST(bench.child<QCheckBox>("CheckComAuto")->checkState(), "autoState");
    QTEST(bench.child<QComboBox>("ComboComTime")->isEnabled(), "periodEnabled");
    QCOMPARE(bench.child<QComboBox>("ComboComTime")->currentText(), QStringLiteral("5000"));
    bench.close();
    QCOMPARE(SysData::load(bench.path("sysdata.dat")).ComAuto, comAuto);
}

// Without a port to select, the ports of the stored record stay, and a rescan selects
// them once they are back.
void TestMainWindowLifecycle::absentPortsAreKeptForTheirReturn()
{
    Workbench bench({});
    bench.open(Workbench::workingSettings(2, 4, 0));
    auto *output = bench.child<QComboBox>("ComboComOutput");
    QCOMPARE(output->count(), 1);
    QCOMPARE(output->itemText(0), QStringLiteral("系统暂无可用端口！"));
    QCOMPARE(output->currentIndex(), -1);

    bench.plugIn(1);
    bench.plugIn(2);
    bench.plugIn(4);
    bench.click("ButtonScanPort");
    QCOMPARE(output->currentText(), QStringLiteral("Com 2"));
    QCOMPARE(bench.child<QComboBox>("ComboComInput")->currentText(), QStringLiteral("Com 4"));
    bench.close();

    Workbench again({});
    again.open(Workbench::workingSettings(9, 4, 0));
    again.close();
    const SysData stored = SysData::load(again.path("sysdata.dat"));
    QCOMPARE(stored.OutPort, 9);
    QCOMPARE(stored.InPort, 4);
}

void TestMainWindowLifecycle::unwritableSettingsAreReported()
{
    Workbench bench({1});
    QVERIFY(QDir().mkpath(bench.path("sysdata.dat")));
    bench.open();
    QVERIFY(bench.messages.isEmpty());
    bench.close();
    QCOMPARE(bench.messages.size(), 1);
    QVERIFY(bench.messages.first().contains("设置文件无法写入"));
}

// A close that does not come from the program's own buttons (Alt+F4, the task bar, the
// session's logout) runs the close sequence once and ends the event loop, tool windows too.
void TestMainWindowLifecycle::windowManagerCloseEndsTheProgram()
{
    Workbench bench({1});
    QVERIFY(QDir().mkpath(bench.path("sysdata.dat")));
    // The window deletes itself once closed.
    QPointer<FormMain> window = bench.open();
    bench.click("ButtonAscii");
    QWidget *tool = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        tool = widget->objectName() == QLatin1String("FormAsc") && widget->isVisible() ? widget : tool;
    QVERIFY(tool);
    bench.messages.clear();   // the table file is not in this folder

    QTimer::singleShot(0, window, [window] { window->windowHandle()->close(); });
    QTimer stillRunning;
    stillRunning.setSingleShot(true);
    connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stillRunning.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);

    QVERIFY(!window || !window->isVisible());
    QVERIFY(QApplication::topLevelWidgets().indexOf(tool) < 0 || !tool->isVisible());
    QCOMPARE(bench.messages.size(), 1);
    QVERIFY(bench.messages.first().contains("设置文件无法写入"));
    bench.close();
    QCOMPARE(bench.messages, QStringList() << bench.messages.first());
}

void TestMainWindowLifecycle::closeWhileAMessageWaitsEndsCleanly_data()
{
    QTest::addColumn<QString>("moment");
    QTest::addColumn<QString>("said");
    QTest::addRow("refused command") << "refusal" << "对不起！";
    QTest::addRow("port held by another program") << "busy" << "已经打开";
    QTest::addRow("device lost during a run") << "lost" << "已经断开";
    QTest::addRow("capture not written at the stop") << "capture" << "未能保存";
}

// Whatever the message, the close runs its sequence once: the ports closed, the settings
// written, every window gone, and no handler left running on a window that is no more.
void TestMainWindowLifecycle::closeWhileAMessageWaitsEndsCleanly()
{
    QFETCH(QString, moment);
    QFETCH(QString, said);
    Workbench bench({5});
    SysData settings = Workbench::workingSettings(5, 5, moment == "refusal" ? 0 : 2);
    settings.SaveInfo = moment == "capture";
    if (moment == "capture") {
        QFile obstacle(bench.path("data"));
        QVERIFY(obstacle.open(QIODevice::WriteOnly));
    }
    QPointer<FormMain> window = bench.open(settings);
    CommPort holder;
    if (moment == "busy") {
        holder.setCommPort(5);
        holder.setSettings("9600,N,8,1");
        holder.setPortOpen(true);
    }
    CloseAtMessage closer(window);

    bench.click("ButtonCom");
    if (moment == "lost") {
        QVERIFY(bench.portOpen("MSCommInPut"));
        bench.farEnd(5).unplug();
    } else if (moment == "capture") {
        bench.click("ButtonCom");
    }
    QTRY_VERIFY(window.isNull() || !window->isVisible());
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QTest::qWait(100);

    QVERIFY2(!closer.texts.isEmpty() && closer.texts.first().contains(said), qPrintable(closer.texts.join('|')));
    QCOMPARE(bench.fileBytes("sysdata.dat").left(6), settings.toBytes().left(6));
    if (window) {
        QVERIFY(!bench.portOpen("MSCommOutPut"));
        QVERIFY(!bench.portOpen("MSCommInPut"));
    }
    for (QWidget *widget : QApplication::topLevelWidgets())
        QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
}

void TestMainWindowLifecycle::portTestNamesBusyAndMissingPorts()
{
    Workbench bench({15});
    FormMain *window = bench.open();
    QVERIFY(window->Fun_ComPortTest(15));
    QVERIFY(bench.messages.isEmpty());

    CommPort holder;
    holder.setCommPort(15);
    holder.setSettings("9600,N,8,1");
    holder.setPortOpen(true);
    QVERIFY(!window->Fun_ComPortTest(15));
    QVERIFY(!window->Fun_ComPortTest(7));
    QCOMPARE(bench.messages,
             QStringList({"对不起！\r\n\r\n您设置的端口Com 15已经打开！\r\n\r\n可能是被其他应用程序占用！"
                          "\r\n\r\n请退出占用端口的程序后再使用此端口。",
                          "对不起！\r\n\r\n您设置的端口Com 7不存在！\r\n\r\n请选择其他的通讯端口。"}));
    QVERIFY(!bench.portOpen("MSCommOutPut"));

    bench.click("ButtonScanPort");
    QCOMPARE(bench.child<QComboBox>("ComboComOutput")->currentText(), QStringLiteral("Com 15"));
}

// The first start's 4 data bits are refused by the port; listing ports needs no line setting.
void TestMainWindowLifecycle::scanListsPortsAfterARefusedStart()
{
    Workbench bench({2, 6});
    bench.open();
    bench.child<QLineEdit>("TextComOutCommand")->setText("AT");
    bench.click("ButtonCom");
    QCOMPARE(bench.messages.size(), 1);
    QVERIFY(bench.messages.first().startsWith("错误代号：8008"));

    bench.click("ButtonScanPort");
    auto *output = bench.child<QComboBox>("ComboComOutput");
    QCOMPARE(output->count(), 2);
    QCOMPARE(output->itemText(1), QStringLiteral("Com 6"));
    QCOMPARE(bench.child<QComboBox>("ComboComInput")->count(), 2);
}

void TestMainWindowLifecycle::startWithoutAPortSaysSo()
{
    Workbench bench({});
    bench.open(Workbench::workingSettings(3, 3, 0));
    QCOMPARE(bench.child<QLabel>("LabelComOutputP")->text(), QStringLiteral("数据发送端口：系统暂无可用端口！"));
    QCOMPARE(bench.child<QLabel>("LabelComInputP")->text(), QStringLiteral("数据接收端口：系统暂无可用端口！"));
    bench.child<QLineEdit>("TextComOutCommand")->setText("AT");
    bench.click("ButtonCom");
    QCOMPARE(bench.messages, QStringList({"对不起！\r\n\r\n系统暂无可用端口！\r\n\r\n请连接设备后点击“扫描端口”。"}));
    QCOMPARE(bench.caption("ButtonCom"), QStringLiteral("开始通讯"));
}

// The transfer's own ports are listed without being touched, and the sending goes on.
void TestMainWindowLifecycle::rescanLeavesARunningTransferAlone()
{
    Workbench bench({4, 9});
    SysData settings = Workbench::workingSettings(9, 9, 0);
    settings.ComAuto = 1;
    settings.ComTime = 0;
    settings.OutCommand = QStringLiteral("AT");
    bench.open(settings);
    bench.click("ButtonCom");
    QCOMPARE(bench.farEnd(9).read(2000, 2), QByteArray("AT"));

    bench.click("ButtonScanPort");
    QCOMPARE(bench.child<QComboBox>("ComboComOutput")->currentText(), QStringLiteral("Com 9"));
    QCOMPARE(bench.child<QComboBox>("ComboComOutput")->count(), 2);
    QVERIFY(bench.portOpen("MSCommOutPut"));
    bench.farEnd(9).read(50);
    QCOMPARE(bench.farEnd(9).read(2000, 4), QByteArray("ATAT"));
    QCOMPARE(bench.caption("ButtonCom"), QStringLiteral("停止通讯"));
    QVERIFY(bench.messages.isEmpty());
}

void TestMainWindowLifecycle::communicationLocksTheSeventeenSettings()
{
    const char *const locked[] = {
        "ComboComOutput", "ComboComInput",  "ComboComIOState", "ComboComOutSetB",
        "ComboComOutSetP", "ComboComOutSetD", "ComboComOutSetS", "ComboComOutHand",
        "ComboComInSetB", "ComboComInSetP", "ComboComInSetD",  "ComboComInSetS",
        "ComboComInHand", "ComboComFormat", "CheckComAuto",    "ComboComTime",
        "CheckSaveInfo"};
    Workbench bench({16});
    bench.open(Workbench::workingSettings(16, 16, 2));
    bench.click("ButtonCom");
    QCOMPARE(bench.caption("ButtonCom"), QStringLiteral("停止通讯"));
    for (const char *name : locked)
        QVERIFY2(!bench.child<QWidget>(name)->isEnabled(), name);
    QVERIFY(bench.child<QLineEdit>("TextComOutCommand")->isEnabled());
    QVERIFY(bench.child<QWidget>("ButtonScanPort")->isEnabled());

    bench.click("ButtonCom");
    QCOMPARE(bench.caption("ButtonCom"), QStringLiteral("开始通讯"));
    for (const char *name : locked)
        QVERIFY2(bench.child<QWidget>(name)->isEnabled(), name);
}

void TestMainWindowLifecycle::hexCommandsAreUpperCasedWithCaretAtEnd()
{
    Workbench bench({1});
    bench.open();
    auto *box = bench.child<QLineEdit>("TextComOutCommand");
    QTest::keyClicks(box, "ab");
    QCOMPARE(box->text(), QStringLiteral("ab"));

    bench.pick("ComboComFormat", 1);
    QCOMPARE(box->text(), QStringLiteral("ab"));
    box->setCursorPosition(1);
    QTest::keyClicks(box, "c");
    QCOMPARE(box->text(), QStringLiteral("ACB"));
    QCOMPARE(box->cursorPosition(), 3);
    box->setCursorPosition(1);
    QTest::keyClicks(box, "1");
    QCOMPARE(box->text(), QStringLiteral("A1CB"));
    QCOMPARE(box->cursorPosition(), 4);
}

QTEST_MAIN(TestMainWindowLifecycle)
#include "tst_mainwindow_lifecycle.moc"
