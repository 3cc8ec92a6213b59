// Velmora workbench. Licensed under the MIT licence.
#include "modulefun.h"
#include "skinnedwindow.h"

#include <componentloader.h>
#include <xpbuttonevents.h>

#include <QCursor>
#include <QLabel>
#include <QStandardPaths>
#include <QTest>

namespace {

const QColor Background(236, 233, 218);
const QColor FrameBlue(0, 0, 255);

SkinnedWindow *newWindow(const QSize &size)
{
    auto *window = new SkinnedWindow(QStringLiteral("FormTest"), QStringLiteral("测试"), size);
    window->addTitleStrip(QStringLiteral("测试窗口"));
    window->addCloseButton();
    return window;
}

QWidget *part(QWidget *window, const char *name)
{
    return window->findChild<QWidget *>(QString::fromLatin1(name));
}

} // namespace

class TestWindowSkin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void layoutFollowsActualSize_data();
    void layoutFollowsActualSize();
    void frameLineLiesAboveTheStripOnly();
    void captionRows_data();
    void captionRows();
    void draggingTheTitleMovesTheWindow();
};

void TestWindowSkin::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    Component::ComponentLoader::setLibraryFolder(QStringLiteral(TARROCK_DIR));
}

void TestWindowSkin::layoutFollowsActualSize_data()
{
    QTest::addColumn<QSize>("designSize");
    QTest::addColumn<QSize>("actualSize");
    QTest::addColumn<bool>("mainWindowButtons");
    QTest::addRow("dialog grown after design") << QSize(307, 187) << QSize(420, 260) << false;
    QTest::addRow("main window shrunk after design") << QSize(600, 400) << QSize(500, 350) << true;
}

void TestWindowSkin::layoutFollowsActualSize()
{
    QFETCH(QSize, designSize);
    QFETCH(QSize, actualSize);
    QFETCH(bool, mainWindowButtons);
    std::unique_ptr<SkinnedWindow> window(newWindow(designSize));
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    if (mainWindowButtons) {
        window->placeControl(QStringLiteral("OrmelXPButton.TopButton"), QStringLiteral("TopButtonMin"),
                             QRect(0, 0, 21, 21), {{QStringLiteral("topbuttontype"), int(XPButton::MinimumButton)}});
        window->placeControl(QStringLiteral("OrmelXPButton.HelpButton"), QStringLiteral("HelpButton"),
                             QRect(0, 0, 21, 21), {});
    }
    window->setFixedSize(actualSize);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    const int w = actualSize.width();
    const int h = actualSize.height();
    QCOMPARE(part(window.get(), "TopButtonClose")->pos(), QPoint(w - 25, 5));
    if (mainWindowButtons) {
        QCOMPARE(part(window.get(), "TopButtonMin")->pos(), QPoint(w - 50, 5));
        QCOMPARE(part(window.get(), "HelpButton")->pos(), QPoint(w - 75, 5));
    }
    QCOMPARE(part(window.get(), "ShapeSkin")->geometry(), QRect(1, 1, w - 1, h - 1));
    QCOMPARE(part(window.get(), "imgTitleMain")->geometry(), QRect(0, 0, w, 29));
    QCOMPARE(part(window.get(), "imgTitleIcon")->geometry(), QRect(5, 5, 20, 20));
    auto *title = qobject_cast<QLabel *>(part(window.get(), "lblTitle"));
    QCOMPARE(title->pos(), QPoint(30, 10));
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(Qt::white));
}

void TestWindowSkin::frameLineLiesAboveTheStripOnly()
{
    std::unique_ptr<SkinnedWindow> window(newWindow(QSize(200, 120)));
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    auto *extra = new QLabel(QStringLiteral("内容"), window.get());
    extra->move(60, 60);
    ModuleFun::ApplyWindowSkin(window.get());

    const QWidgetList children = window->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(children.at(0)->objectName(), QStringLiteral("imgTitleMain"));
    QCOMPARE(children.at(1)->objectName(), QStringLiteral("ShapeSkin"));

    // The two-pixel frame line beside the strip, and over the strip the line on top.
    const QImage face = window->grab().toImage();
    const QList<QPair<QPoint, QColor>> expected {
        { { 0, 80 }, Background }, { { 1, 80 }, FrameBlue }, { { 2, 80 }, FrameBlue },
        { { 3, 80 }, Background }, { { 199, 80 }, FrameBlue }, { { 100, 119 }, FrameBlue },
        { { 100, 117 }, Background }, { { 100, 1 }, FrameBlue }, { { 100, 10 }, QColor(0, 84, 231) } };
    for (const auto &[point, colour] : expected)
        QVERIFY2(face.pixelColor(point) == colour, qPrintable(QStringLiteral("(%1, %2) is %3")
                     .arg(point.x()).arg(point.y()).arg(face.pixelColor(point).name())));
}

void TestWindowSkin::captionRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("tolerance");
    QTest::addRow("light top edge") << 0 << QColor(127, 169, 243) << 0;
    QTest::addRow("dark line under it") << 1 << QColor(0, 69, 206) << 0;
    QTest::addRow("first light row") << 2 << QColor(57, 150, 255) << 0;
    QTest::addRow("body start") << 7 << QColor(0, 84, 231) << 3;
    QTest::addRow("bright band start") << 23 << QColor(0, 107, 253) << 3;
    QTest::addRow("lower edge") << 27 << QColor(0, 77, 231) << 0;
    QTest::addRow("bottom row") << 28 << QColor(0, 69, 206) << 0;
}

void TestWindowSkin::captionRows()
{
    QFETCH(int, row);
    QFETCH(QColor, colour);
    QFETCH(int, tolerance);
    const QImage caption = ModuleFun::ResourceBitmap(QStringLiteral("CAPTION")).toImage();
    QCOMPARE(caption.size(), QSize(100, 29));
    const QColor first = caption.pixelColor(0, row);
    QVERIFY2(qAbs(first.red() - colour.red()) <= tolerance && qAbs(first.green() - colour.green()) <= tolerance
                 && qAbs(first.blue() - colour.blue()) <= tolerance,
             qPrintable(first.name()));
    for (int x = 1; x < caption.width(); ++x)
        QCOMPARE(caption.pixelColor(x, row), first);
}

void TestWindowSkin::draggingTheTitleMovesTheWindow()
{
    std::unique_ptr<SkinnedWindow> window(newWindow(QSize(200, 120)));
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->move(100, 100);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QWidget *title = part(window.get(), "lblTitle");
    const QPoint start = window->pos();
    QCursor::setPos(title->mapToGlobal(QPoint(2, 2)));
    QTest::mousePress(title, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(title, QPoint(42, 22));
    QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(42, 22));
    QCOMPARE(window->pos(), start + QPoint(40, 20));
}

QTEST_MAIN(TestWindowSkin)
#include "tst_windowskin.moc"
