// Velmora workbench. Licensed under the MIT licence.
#include "modulefun.h"

#include <componentloader.h>

#include <QApplication>
#include <QLabel>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using Action = std::function<void(QWidget *message)>;

QWidgetList shownMessages()
{
    QWidgetList shown;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("FormMessage") && window->isVisible())
            shown << window;
    }
    return shown;
}

QString shownText(QWidget *message)
{
    return message->findChild<QLabel *>(QStringLiteral("LabelMessage"))->text();
}

QWidget *control(QWidget *message, const char *name)
{
    return message->findChild<QWidget *>(QString::fromLatin1(name));
}

void clickOk(QWidget *message)
{
    QTest::mouseClick(control(message, "ButtonOK"), Qt::LeftButton);
}

// Runs the action once a message window (other than `besides`) is up and active; ShowMessage
// itself blocks until the window has gone.
void whenShown(Action action, QWidget *besides = nullptr)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, action, besides] {
        QWidget *message = shownMessages().value(0);
        if (!message || message == besides || !message->isActiveWindow())
            return;
        poll->stop();
        poll->deleteLater();
        action(message);
    });
    poll->start();
}

} // namespace

class TestMessageWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void alignmentPlacesEachLine_data();
    void alignmentPlacesEachLine();
    void closingActions_data();
    void closingActions();
    void sameTextIsNotStacked();
    void otherTextFollowsTheOpenOne();

private:
    QTimer m_watchdog;
    bool m_leftOpen = false;
};

void TestMessageWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Component::ComponentLoader::setLibraryFolder(QStringLiteral(TARROCK_DIR));
    // A message left open fails the test instead of hanging the run.
    m_watchdog.setInterval(3000);
    connect(&m_watchdog, &QTimer::timeout, [this] {
        m_leftOpen = true;
        for (QWidget *message : shownMessages())
            message->close();
    });
}

void TestMessageWindow::init()
{
    m_leftOpen = false;
    m_watchdog.start();
}

void TestMessageWindow::cleanup()
{
    QVERIFY(!m_leftOpen);
}

void TestMessageWindow::alignmentPlacesEachLine_data()
{
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("expectedCentre");
    QTest::addRow("0 left") << 0 << -1;
    QTest::addRow("1 right") << 1 << 1;
    QTest::addRow("2 centred") << 2 << 0;
    QTest::addRow("out of range is left") << 9 << -1;
}

// Where the ink of a short line lies in the 280-pixel label: -1 left, 0 centre, 1 right.
void TestMessageWindow::alignmentPlacesEachLine()
{
    QFETCH(int, align);
    QFETCH(int, expectedCentre);
    int lines = 0;
    int side = 99;
    whenShown([&](QWidget *message) {
        auto *label = message->findChild<QLabel *>(QStringLiteral("LabelMessage"));
        lines = label->text().split(QLatin1Char('\n')).size();
        const QImage ink = label->grab().toImage();
        int left = ink.width(), right = -1;
        for (int y = 0; y < ink.height(); ++y) {
            for (int x = 0; x < ink.width(); ++x) {
                if (qGray(ink.pixel(x, y)) < 128) {
                    left = qMin(left, x);
                    right = qMax(right, x);
                }
            }
        }
        const int centre = (left + right) / 2;
        side = centre < 100 ? -1 : centre > 180 ? 1 : 0;
        clickOk(message);
    });
    ModuleFun::ShowMessage(QStringLiteral("OK\r\n\r\nOK"), qint16(align));
    QCOMPARE(lines, 3);
    QCOMPARE(side, expectedCentre);
}

void TestMessageWindow::closingActions_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("closes");
    QTest::addRow("click on OK") << QStringLiteral("click") << true;
    QTest::addRow("Enter on OK") << QStringLiteral("enter") << true;
    QTest::addRow("close button") << QStringLiteral("close") << true;
    QTest::addRow("other key on OK") << QStringLiteral("key a") << false;
}

void TestMessageWindow::closingActions()
{
    QFETCH(QString, action);
    QFETCH(bool, closes);
    bool stillShownAfterAction = false;
    whenShown([&](QWidget *message) {
        QWidget *ok = control(message, "ButtonOK");
        QCOMPARE(QApplication::focusWidget(), ok);
        if (action == QLatin1String("click"))
            clickOk(message);
        else if (action == QLatin1String("enter"))
            QTest::keyClick(ok, Qt::Key_Return);
        else if (action == QLatin1String("close"))
            QTest::mouseClick(control(message, "TopButtonClose"), Qt::LeftButton);
        else
            QTest::keyClick(ok, Qt::Key_A);
        stillShownAfterAction = message->isVisible();
        if (stillShownAfterAction)
            clickOk(message);
    });
    ModuleFun::ShowMessage(QStringLiteral("关闭测试"), ModuleFun::AlignCentre);
    QCOMPARE(stillShownAfterAction, !closes);
    QCOMPARE(shownMessages().size(), 0);
}

void TestMessageWindow::sameTextIsNotStacked()
{
    QStringList events;
    whenShown([&](QWidget *first) {
        QTimer::singleShot(50, [&, first] {
            events << QStringLiteral("windows %1").arg(shownMessages().size());
            clickOk(first);
        });
        ModuleFun::ShowMessage(QStringLiteral("端口错误"), ModuleFun::AlignLeft);
        events << QStringLiteral("inner returned");
    });
    ModuleFun::ShowMessage(QStringLiteral("端口错误"), ModuleFun::AlignLeft);
    events << QStringLiteral("outer returned");
    QCOMPARE(events, QStringList({QStringLiteral("windows 1"), QStringLiteral("inner returned"),
                                  QStringLiteral("outer returned")}));
}

void TestMessageWindow::otherTextFollowsTheOpenOne()
{
    QStringList events;
    whenShown([&](QWidget *first) {
        QTimer::singleShot(20, [&, first] {
            events << shownText(first);
            whenShown([&](QWidget *second) {
                events << shownText(second);
                clickOk(second);
            }, first);
            clickOk(first);
        });
        ModuleFun::ShowMessage(QStringLiteral("第二条"), ModuleFun::AlignCentre);
        events << QStringLiteral("second caller returned");
    });
    ModuleFun::ShowMessage(QStringLiteral("第一条"), ModuleFun::AlignCentre);
    events << QStringLiteral("first caller returned");
    QCOMPARE(events, QStringList({QStringLiteral("第一条"), QStringLiteral("第二条"),
                                  QStringLiteral("second caller returned"), QStringLiteral("first caller returned")}));
}

QTEST_MAIN(TestMessageWindow)
#include "tst_messagewindow.moc"
