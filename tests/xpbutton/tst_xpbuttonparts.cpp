// OrmelXPButton control library tests. Licensed under the MIT licence.
#include "inputcodes.h"
#include "mouseleavepoll.h"
#include "nineslice.h"
#include "resourcebitmap.h"

#include <component/runtimeerror.h>

#include <QTest>

// The window-free pieces under the buttons: slice geometry, the outside test, the
// key codes handed to hosts and the bitmap lookup.
class TestXPButtonParts : public QObject
{
    Q_OBJECT

private slots:
    void slicesCutTheStateBitmap();
    void slicesCoverAStretchedFace();
    void outsideTest_data();
    void outsideTest();
    void keyCodes_data();
    void keyCodes();
    void keyAscii_data();
    void keyAscii();
    void bitmapsAreFoundByName_data();
    void bitmapsAreFoundByName();
    void missingBitmapNamesTheResource_data();
    void missingBitmapNamesTheResource();
};

void TestXPButtonParts::slicesCutTheStateBitmap()
{
    const QList<QRect> expected{{0, 0, 3, 3},  {15, 0, 3, 3}, {15, 18, 3, 3}, {0, 18, 3, 3}, {3, 0, 12, 3},
                                {15, 3, 3, 15}, {0, 3, 3, 15}, {3, 18, 12, 3}, {3, 3, 12, 15}};
    QCOMPARE(NineSlice::pieces(QSize(18, 21)), expected);
}

void TestXPButtonParts::slicesCoverAStretchedFace()
{
    const QSize face(70, 25);
    const QList<QRect> pieces = NineSlice::pieces(face);
    QCOMPARE(pieces.at(2), QRect(67, 22, 3, 3));
    QCOMPARE(pieces.at(8), QRect(3, 3, 64, 19));
    // Every pixel belongs to exactly one piece: nothing needs clearing first.
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            int owners = 0;
            for (const QRect &piece : pieces)
                owners += piece.contains(x, y) ? 1 : 0;
            QVERIFY2(owners == 1, qPrintable(QStringLiteral("pixel %1,%2 in %3 pieces").arg(x).arg(y).arg(owners)));
        }
    }
}

void TestXPButtonParts::outsideTest_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("outside");
    QTest::addRow("origin") << QPointF(0, 0) << false;
    QTest::addRow("x = width") << QPointF(70, 10) << false;
    QTest::addRow("y = height") << QPointF(10, 25) << false;
    QTest::addRow("far corner") << QPointF(70, 25) << false;
    QTest::addRow("x = width + 1") << QPointF(71, 10) << true;
    QTest::addRow("y = height + 1") << QPointF(10, 26) << true;
    QTest::addRow("x = -1") << QPointF(-1, 10) << true;
    QTest::addRow("y = -1") << QPointF(10, -1) << true;
    QTest::addRow("just right of width") << QPointF(70.5, 10) << true;
}

void TestXPButtonParts::outsideTest()
{
    QFETCH(QPointF, point);
    QFETCH(bool, outside);
    QCOMPARE(MouseLeavePoll::isOutside(point, QSizeF(70, 25)), outside);
}

void TestXPButtonParts::keyCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");
    QTest::addRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << 13;
    QTest::addRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 13;
    QTest::addRow("keypad 7") << int(Qt::Key_7) << int(Qt::KeypadModifier) << 103;
    QTest::addRow("F12") << int(Qt::Key_F12) << int(Qt::NoModifier) << 123;
    QTest::addRow("no code") << int(Qt::Key_MediaPlay) << int(Qt::NoModifier) << 0;
}

void TestXPButtonParts::keyCodes()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    QCOMPARE(InputCodes::keyCode(key, Qt::KeyboardModifiers(modifiers)), qint16(code));
}

void TestXPButtonParts::keyAscii_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("typed");
    QTest::addColumn<int>("code");
    QTest::addRow("Enter") << QStringLiteral("\r") << true << 13;
    QTest::addRow("letter") << QStringLiteral("a") << true << 97;
    QTest::addRow("Escape") << QStringLiteral("\x1b") << true << 27;
    QTest::addRow("Chinese, beyond 32767") << QStringLiteral("通") << true << int(qint16(0x901a));
    QTest::addRow("arrow key") << QString() << false << 0;
    QTest::addRow("Delete") << QStringLiteral("\x7f") << false << 0;
}

void TestXPButtonParts::keyAscii()
{
    QFETCH(QString, text);
    QFETCH(bool, typed);
    QFETCH(int, code);
    const std::optional<qint16> ascii = InputCodes::keyAscii(text);
    QCOMPARE(ascii.has_value(), typed);
    if (ascii)
        QCOMPARE(*ascii, qint16(code));
}

void TestXPButtonParts::bitmapsAreFoundByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addRow("push button") << "BUTTON-MOUSEOVER" << QSize(18, 21);
    QTest::addRow("lower case") << "button-normal" << QSize(18, 21);
    QTest::addRow("title button") << "RESTORE-DISABLED" << QSize(21, 21);
    QTest::addRow("help button") << "HELP-MOUSEDOWN" << QSize(21, 21);
    QTest::addRow("toolbox") << "30002" << QSize(16, 15);
}

void TestXPButtonParts::bitmapsAreFoundByName()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QCOMPARE(ResourceBitmap::load(name).size(), size);
}

void TestXPButtonParts::missingBitmapNamesTheResource_data()
{
    QTest::addColumn<QString>("name");
    QTest::addRow("empty prefix") << "-NORMAL";
    QTest::addRow("no disabled help face") << "HELP-DISABLED";
    QTest::addRow("empty") << "";
    QTest::addRow("path out of the set") << "../xpbutton/BUTTON-NORMAL";
}

void TestXPButtonParts::missingBitmapNamesTheResource()
{
    QFETCH(QString, name);
    try {
        ResourceBitmap::load(name);
        QFAIL("a missing bitmap was found");
    } catch (const Component::RuntimeError &error) {
        QCOMPARE(error.number(), int(Component::RuntimeError::ResourceNotFound));
        QVERIFY2(error.description().contains(QStringLiteral("“") + name + QStringLiteral("”")),
                 qPrintable(error.description()));
    }
}

QTEST_GUILESS_MAIN(TestXPButtonParts)
#include "tst_xpbuttonparts.moc"
