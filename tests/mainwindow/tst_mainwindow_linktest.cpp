// Velmora tests. Licensed under the MIT licence.
#include "workbench.h"

#include <faultywire.h>

#include <capturelog.h>
#include <formlinktest.h>
#include <systemcodepage.h>
#include <titlestripbutton.h>

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

// The link test window as a user drives it: a far end that damages the stream gives
// exactly those figures and a fail, in the window and in the capture; the test and
// communication never hold the ports at once.
class TstMainWindowLinkTest : public QObject
{
    Q_OBJECT

private slots:
    void damagedLineFailsWithItsFigures();
    void testAndCommunicationRefuseEachOther();
    void ownPatternComesBackInTheNextRun();
    void liveFiguresStayWhereTheUserScrolled();
};

namespace {

constexpr qint16 SendReceive = 1;
constexpr qint16 ReceiveOnly = 2;

FormLinkTest *openLinkTest(Workbench &bench)
{
    bench.child<TitleStripButton>("ButtonLinkTest")->click();
    return bench.child<FormLinkTest>("FormLinkTest");
}

void setAmount(FormLinkTest *window, const QString &amount, int unit)
{
    window->findChild<QLineEdit *>(QStringLiteral("TextLinkAmount"))->setText(amount);
    window->findChild<QComboBox *>(QStringLiteral("ComboLinkAmount"))->setCurrentIndex(unit);
}

} // namespace

void TstMainWindowLinkTest::damagedLineFailsWithItsFigures()
{
    Workbench bench({1, 2});
    SysData settings = Workbench::workingSettings(1, 2, SendReceive);
    settings.SaveInfo = 1;
    bench.open(settings);
    FaultyWire wire(bench.farEnd(1), bench.farEnd(2));
    for (qint64 at : {1000, 3000, 5000})
        wire.inject(at, FaultyWire::Fault::FlipBit, 4);
    wire.inject(8000, FaultyWire::Fault::Drop, 10);

    FormLinkTest *window = openLinkTest(bench);
    QVERIFY(window);
    setAmount(window, QStringLiteral("20000"), 1);   // bytes
    bench.click("ButtonLinkStart");
    QVERIFY(window->testing());
    QTRY_VERIFY_WITH_TIMEOUT(!window->testing(), 20000);

    const QString figures = window->findChild<QPlainTextEdit *>(QStringLiteral("TextLinkFigures"))->toPlainText();
    QVERIFY2(figures.contains(QStringLiteral("误码位数：3")), qPrintable(figures));
    QVERIFY2(figures.contains(QStringLiteral("丢失字节：10")), qPrintable(figures));
    auto *verdict = window->findChild<QLabel *>(QStringLiteral("LabelLinkVerdict"));
    QCOMPARE(verdict->text(), QStringLiteral("未通过"));
    QVERIFY(verdict->styleSheet().contains(QStringLiteral("#D00000")));
    QVERIFY(!bench.portOpen("MSCommOutPut") && !bench.portOpen("MSCommInPut"));

    const QString capture = SystemCodePage::toUnicode(
        bench.fileBytes(QStringLiteral("data/") + CaptureLog::fileNameFor(QDate::currentDate())));
    QVERIFY2(capture.contains(QStringLiteral("数据收发方式：线路测试")), qPrintable(capture));
    QVERIFY(capture.contains(QStringLiteral("误码位数：3")));
    QVERIFY(capture.contains(QStringLiteral("结论：未通过")));
}

void TstMainWindowLinkTest::testAndCommunicationRefuseEachOther()
{
    Workbench bench({1, 2});
    bench.open(Workbench::workingSettings(1, 2, ReceiveOnly));
    FaultyWire wire(bench.farEnd(1), bench.farEnd(2));
    FormLinkTest *window = openLinkTest(bench);
    setAmount(window, QString(), 2);   // until stopped
    bench.click("ButtonLinkStart");
    QVERIFY(window->testing());
    bench.click("ButtonCom");
    QCOMPARE(bench.messages.size(), 1);
    QVERIFY(bench.messages.first().contains(QStringLiteral("线路测试正在进行")));
    QCOMPARE(bench.caption("ButtonCom"), QStringLiteral("开始通讯"));
    bench.click("ButtonLinkStart");
    QTRY_VERIFY_WITH_TIMEOUT(!window->testing(), 5000);
    QVERIFY(window->findChild<QPlainTextEdit *>(QStringLiteral("TextLinkFigures"))
                ->toPlainText().contains(QStringLiteral("测试被提前停止")));

    bench.click("ButtonCom");
    QVERIFY2(bench.messages.size() == 1, qPrintable(bench.messages.join(QLatin1Char('\n'))));
    QCOMPARE(bench.caption("ButtonCom"), QStringLiteral("停止通讯"));
    bench.click("ButtonLinkStart");
    QVERIFY(!window->testing());
    QCOMPARE(bench.messages.size(), 2);
    QVERIFY(bench.messages.last().contains(QStringLiteral("通讯正在进行")));
    bench.click("ButtonCom");
}

// The user's own pattern is kept with the other choices when a test starts, and the
// window of the program's next run shows it as typed.
void TstMainWindowLinkTest::ownPatternComesBackInTheNextRun()
{
    Workbench bench({1, 2});
    bench.open(Workbench::workingSettings(1, 2, ReceiveOnly));
    FaultyWire wire(bench.farEnd(1), bench.farEnd(2));
    FormLinkTest *window = openLinkTest(bench);
    const QString typed = QStringLiteral(" AT\"OK\"; 测试 ");
    window->findChild<QComboBox *>(QStringLiteral("ComboLinkPattern"))->setCurrentIndex(TestPattern::UserBytes);
    window->findChild<QLineEdit *>(QStringLiteral("TextLinkUser"))->setText(typed);
    setAmount(window, QStringLiteral("3000"), 1);   // bytes
    bench.click("ButtonLinkStart");
    QVERIFY2(bench.messages.isEmpty(), qPrintable(bench.messages.join(QLatin1Char('\n'))));
    QTRY_VERIFY_WITH_TIMEOUT(!window->testing(), 20000);
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("LabelLinkVerdict"))->text(), QStringLiteral("通过"));
    bench.close();

    bench.open();
    window = openLinkTest(bench);
    QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("TextLinkUser"))->text(), typed);
    QCOMPARE(window->findChild<QComboBox *>(QStringLiteral("ComboLinkPattern"))->currentIndex(),
             int(TestPattern::UserBytes));
    QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("TextLinkAmount"))->text(), QStringLiteral("3000"));
}

// Both ways, the figures outgrow the pane: the user scrolls down to the second direction
// and it stays in sight while the figures change four times a second.
void TstMainWindowLinkTest::liveFiguresStayWhereTheUserScrolled()
{
    Workbench bench({1, 2});
    bench.open(Workbench::workingSettings(1, 2, ReceiveOnly));
    FaultyWire wire(bench.farEnd(1), bench.farEnd(2));
    FormLinkTest *window = openLinkTest(bench);
    window->findChild<QComboBox *>(QStringLiteral("ComboLinkDirection"))->setCurrentIndex(1);   // both ways
    setAmount(window, QString(), 2);   // until stopped
    bench.click("ButtonLinkStart");
    QVERIFY(window->testing());
    auto *figures = window->findChild<QPlainTextEdit *>(QStringLiteral("TextLinkFigures"));
    QScrollBar *bar = figures->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());
    const int scrolled = bar->value();
    const QString before = figures->toPlainText();
    QTRY_VERIFY_WITH_TIMEOUT(figures->toPlainText() != before, 5000);
    QCOMPARE(bar->value(), scrolled);
    bench.click("ButtonLinkStart");
    bench.click("ButtonLinkStart");
    QTRY_VERIFY_WITH_TIMEOUT(!window->testing(), 5000);
    QCOMPARE(bar->value(), scrolled);
}

QTEST_MAIN(TstMainWindowLinkTest)
#include "tst_mainwindow_linktest.moc"
