// Velmora tests. Licensed under the MIT licence.
#include "workbench.h"

#include <datapane.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

namespace {

// What scripts/run.sh gives a program folder without sysdata.dat: its null-modem's two
// ends, 9600 8N1, sending "AT" and showing what comes back.
const QStringList RunScriptChoices = {"--out-port", "15", "--in-port", "16", "--line", "9600,N,8,1",
                                      "--mode", "发送通讯命令并接收数据", "--command", "AT"};

int writeSettings(const QStringList &choices, const QString &file)
{
    QProcess tool;
    tool.start(QStringLiteral(TOOLS_DIR "/velmora-sysdata"), QStringList(choices) << file);
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit)
        return -1;
    return tool.exitCode();
}

QString shown(Workbench &bench, const char *list)
{
    return bench.child<QComboBox>(list)->currentText();
}

} // namespace

// A newcomer's first start through scripts/run.sh: its settings record, written by the
// program's own record class, makes the first click an exchange; without it the program
// starts with its factory settings as always.
class TestMainWindowFirstRun : public QObject
{
    Q_OBJECT

private slots:
    void firstStartOfTheRunScript_data();
    void firstStartOfTheRunScript();
    void choicesTheListsLackAreRefused_data();
    void choicesTheListsLackAreRefused();
};

void TestMainWindowFirstRun::firstStartOfTheRunScript_data()
{
    QTest::addColumn<bool>("written");
    QTest::addColumn<QStringList>("lists");

    // Sending port, receiving port, mode, then baud, parity, data and stop bits of both.
    QTest::addRow("run.sh's first start")
        << true << QStringList {"Com 15", "Com 16", "发送通讯命令并接收数据", "9600", "None", "8", "1"};
    QTest::addRow("no settings: the factory's")
        << false << QStringList {"Com 15", "Com 15", "单独发送通讯命令", "600", "None", "4", "1"};
}

void TestMainWindowFirstRun::firstStartOfTheRunScript()
{
    QFETCH(bool, written);
    QFETCH(QStringList, lists);
    Workbench bench({15, 16});
    if (written)
        QCOMPARE(writeSettings(RunScriptChoices, bench.path(QStringLiteral("sysdata.dat"))), 0);
    bench.open();
    QCOMPARE(shown(bench, "ComboComOutput"), lists.at(0));
    QCOMPARE(shown(bench, "ComboComInput"), lists.at(1));
    QCOMPARE(shown(bench, "ComboComIOState"), lists.at(2));
    for (const char *side : {"Out", "In"}) {
        const QByteArray prefix = QByteArray("ComboCom") + side + "Set";
        QCOMPARE(shown(bench, prefix + "B"), lists.at(3));
        QCOMPARE(shown(bench, prefix + "P"), lists.at(4));
        QCOMPARE(shown(bench, prefix + "D"), lists.at(5));
        QCOMPARE(shown(bench, prefix + "S"), lists.at(6));
    }
    if (!written)
        return;
    QCOMPARE(bench.child<QLineEdit>("TextComOutCommand")->text(), QStringLiteral("AT"));
    bench.click("ButtonCom");
    QCOMPARE(bench.farEnd(15).read(300), QByteArray("AT"));
    QVERIFY(bench.farEnd(16).write("OK"));
    QTRY_COMPARE(bench.child<DataPane>("TextComInput")->toPlainText(), QStringLiteral("OK"));
    QCOMPARE(bench.messages, QStringList());
}

void TestMainWindowFirstRun::choicesTheListsLackAreRefused_data()
{
    QTest::addColumn<QStringList>("choices");
    QTest::addRow("a rate the list lacks") << QStringList {"--line", "9601,N,8,1"};
    QTest::addRow("a parity letter of none") << QStringList {"--line", "9600,X,8,1"};
    QTest::addRow("nine data bits") << QStringList {"--line", "9600,N,9,1"};
    QTest::addRow("no stop bits") << QStringList {"--line", "9600,N,8"};
    QTest::addRow("an unknown mode") << QStringList {"--mode", "发送"};
    QTest::addRow("port 17") << QStringList {"--out-port", "17"};
}

void TestMainWindowFirstRun::choicesTheListsLackAreRefused()
{
    QFETCH(QStringList, choices);
    Workbench bench({});
    QCOMPARE(writeSettings(choices, bench.path(QStringLiteral("sysdata.dat"))), 2);
    QVERIFY(!QFile::exists(bench.path(QStringLiteral("sysdata.dat"))));
}

QTEST_MAIN(TestMainWindowFirstRun)
#include "tst_mainwindow_firstrun.moc"
