// Velmora component layer tests. Licensed under the MIT licence.
#include <propertybag.h>

#include <QTest>

using Component::PropertyBag;

// The host's store of a placed control's properties.
class TestPropertyBag : public QObject
{
    Q_OBJECT

private slots:
    // Keys match without case; a key keeps the spelling and place it was first written with.
    void keysMatchWithoutCase()
    {
        PropertyBag bag{{QStringLiteral("caption"), QStringLiteral("old")}, {QStringLiteral("_extentx"), 2}};
        bag.write<QString>(QStringLiteral("Caption"), QStringLiteral("new"));
        bag.set(QStringLiteral("TopButtonType"), 3);
        QCOMPARE(bag.keys(), (QStringList{"caption", "_extentx", "TopButtonType"}));
        QCOMPARE(bag.read<QString>(QStringLiteral("CAPTION"), QString()), QStringLiteral("new"));
        QCOMPARE(bag.value(QStringLiteral("topbuttontype")).toInt(), 3);
        QCOMPARE(bag.read<bool>(QStringLiteral("Enabled"), true), true);
        QVERIFY(!bag.value(QStringLiteral("Enabled")).isValid());
    }

    void writingTheDefaultRemovesTheKey()
    {
        PropertyBag bag;
        bag.write<bool>(QStringLiteral("Enabled"), false, true);
        QCOMPARE(bag.read<bool>(QStringLiteral("enabled"), true), false);
        bag.write<bool>(QStringLiteral("ENABLED"), true, true);
        QVERIFY(bag.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestPropertyBag)
#include "tst_propertybag.moc"
