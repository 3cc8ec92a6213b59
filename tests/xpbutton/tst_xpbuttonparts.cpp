// OrmelXPButton control library tests. Licensed under the MIT licence.
#include "inputcodes.h"
#include "mouseleavepoll.h"
#include "nineslice.h"
#include "resourcebitmap.h"

#include <runtimeerror.h>

#include <QTest>

#include <algorithm>

// The window-free pieces under the buttons: slice geometry, the outside test, the
// codes handed to hosts and the bitmap lookup.
class TestXPButtonParts : public QObject
{
    Q_OBJECT

private slots:
    void slicesCutAndCoverTheFace()
    {
        const QList<QRect> cut{{0, 0, 3, 3},   {15, 0, 3, 3}, {15, 18, 3, 3}, {0, 18, 3, 3}, {3, 0, 12, 3},
                               {15, 3, 3, 15}, {0, 3, 3, 15}, {3, 18, 12, 3}, {3, 3, 12, 15}};
        QCOMPARE(NineSlice::pieces(QSize(18, 21)), cut);

        // On a stretched face every pixel belongs to exactly one piece: nothing needs clearing first.
        const QList<QRect> pieces = NineSlice::pieces(QSize(70, 25));
        QCOMPARE(pieces.at(8), QRect(3, 3, 64, 19));
        for (int y = 0; y < 25; ++y) {
            for (int x = 0; x < 70; ++x) {
                const auto owners = std::count_if(pieces.cbegin(), pieces.cend(),
                                                  [x, y](const QRect &piece) { return piece.contains(x, y); });
                QVERIFY2(owners == 1, qPrintable(QStringLiteral("pixel %1,%2 in %3 pieces").arg(x).arg(y).arg(owners)));
            }
        }
    }

    void outsideTest_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<bool>("outside");
        QTest::addRow("far corner") << QPointF(70, 25) << false;
        QTest::addRow("x = width + 1") << QPointF(71, 10) << true;
        QTest::addRow("y = height + 1") << QPointF(10, 26) << true;
        QTest::addRow("x = -1") << QPointF(-1, 10) << true;
        QTest::addRow("y = -1") << QPointF(10, -1) << true;
        QTest::addRow("just right of width") << QPointF(70.5, 10) << true;
    }

    void outsideTest()
    {
        QFETCH(QPointF, point);
        QFETCH(bool, outside);
        QCOMPARE(MouseLeavePoll::isOutside(point, QSizeF(70, 25)), outside);
    }

    void mouseCodes()
    {
        QCOMPARE(InputCodes::mouseButtons(Qt::RightButton), qint16(2));
        QCOMPARE(InputCodes::mouseButtons(Qt::LeftButton | Qt::MiddleButton), qint16(5));
        QCOMPARE(InputCodes::shift(Qt::ShiftModifier | Qt::ControlModifier), qint16(3));
    }

    void keyCodes_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("code");
        QTest::addRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << 13;
        QTest::addRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 13;
        QTest::addRow("keypad 7") << int(Qt::Key_7) << int(Qt::KeypadModifier) << 103;
        QTest::addRow("F12") << int(Qt::Key_F12) << int(Qt::NoModifier) << 123;
        QTest::addRow("no code") << int(Qt::Key_MediaPlay) << int(Qt::NoModifier) << 0;
        // The main keyboard's punctuation keys, plain and shifted, then the keypad's.
        const struct { Qt::Key plain; Qt::Key shifted; int code; } mainKeys[] = {
            {Qt::Key_Semicolon, Qt::Key_Colon, 186}, {Qt::Key_Equal, Qt::Key_Plus, 187},
            {Qt::Key_Comma, Qt::Key_Less, 188}, {Qt::Key_Minus, Qt::Key_Underscore, 189},
            {Qt::Key_Period, Qt::Key_Greater, 190}, {Qt::Key_Slash, Qt::Key_Question, 191},
            {Qt::Key_QuoteLeft, Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, Qt::Key_BraceLeft, 219},
            {Qt::Key_Backslash, Qt::Key_Bar, 220}, {Qt::Key_BracketRight, Qt::Key_BraceRight, 221},
            {Qt::Key_Apostrophe, Qt::Key_QuoteDbl, 222}, {Qt::Key_8, Qt::Key_Asterisk, 56},
            {Qt::Key_1, Qt::Key_Exclam, 49}, {Qt::Key_0, Qt::Key_ParenRight, 48},
        };
        for (const auto &key : mainKeys) {
            QTest::addRow("main %d", key.code) << int(key.plain) << int(Qt::NoModifier) << key.code;
            QTest::addRow("main %d shifted", key.code) << int(key.shifted) << int(Qt::ShiftModifier) << key.code;
        }
        const struct { Qt::Key key; int code; } keypadKeys[] = {
            {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107}, {Qt::Key_Minus, 109},
            {Qt::Key_Period, 110}, {Qt::Key_Comma, 110}, {Qt::Key_Slash, 111},
            {Qt::Key_Home, 36}, {Qt::Key_Delete, 46},
        };
        for (const auto &key : keypadKeys)
            QTest::addRow("keypad %d, Qt key %x", key.code, key.key) << int(key.key) << int(Qt::KeypadModifier) << key.code;
    }

    void keyCodes()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, code);
        QCOMPARE(InputCodes::keyCode(key, Qt::KeyboardModifiers(modifiers)), qint16(code));
    }

    void keyAscii_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code"); // -1: types no character
        QTest::addRow("Enter") << QStringLiteral("\r") << 13;
        QTest::addRow("letter") << QStringLiteral("a") << 97;
        QTest::addRow("Escape") << QStringLiteral("\x1b") << 27;
        QTest::addRow("Chinese, beyond 32767") << QStringLiteral("通") << int(qint16(0x901a));
        QTest::addRow("arrow key") << QString() << -1;
        QTest::addRow("Delete") << QStringLiteral("\x7f") << -1;
    }

    void keyAscii()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QCOMPARE(InputCodes::keyAscii(text).value_or(-1), qint16(code));
    }

    void bitmapsAreFoundByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addRow("lower case") << "button-normal" << QSize(18, 21);
        QTest::addRow("title button") << "RESTORE-DISABLED" << QSize(21, 21);
        QTest::addRow("toolbox") << "30002" << QSize(16, 15);
    }

    void bitmapsAreFoundByName()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QCOMPARE(ResourceBitmap::load(name).size(), size);
    }

    void missingBitmapNamesTheResource_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addRow("empty prefix") << "-NORMAL";
        QTest::addRow("no disabled help face") << "HELP-DISABLED";
        QTest::addRow("empty") << "";
        QTest::addRow("path out of the set") << "../xpbutton/BUTTON-NORMAL";
    }

    void missingBitmapNamesTheResource()
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
};

QTEST_GUILESS_MAIN(TestXPButtonParts)
#include "tst_xpbuttonparts.moc"
