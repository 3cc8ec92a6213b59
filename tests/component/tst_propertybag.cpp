// Velmora component layer tests. Licensed under the MIT licence.
#include <component/propertybag.h>

#include <QTest>

using Component::PropertyBag;

// The host's store of a placed control's properties.
class TestPropertyBag : public QObject
{
    Q_OBJECT

private slots:
    void keysMatchWithoutCase_data();
    void keysMatchWithoutCase();
    void writingKeepsTheStoredSpelling();
    void missingKeyGivesTheDefault();
    void writingTheDefaultRemovesTheKey();
    void keysKeepTheirFirstWrittenOrder();
};

void TestPropertyBag::keysMatchWithoutCase_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("asked");
    QTest::addRow("lower stored, mixed asked") << "caption" << "Caption";
    QTest::addRow("mixed stored, lower asked") << "TopButtonType" << "topbuttontype";
    QTest::addRow("upper asked") << "enabled" << "ENABLED";
}

void TestPropertyBag::keysMatchWithoutCase()
{
    QFETCH(QString, stored);
    QFETCH(QString, asked);
    const PropertyBag bag{{stored, QStringLiteral("value")}};
    QVERIFY(bag.contains(asked));
    QCOMPARE(bag.value(asked).toString(), QStringLiteral("value"));
    QCOMPARE(bag.read<QString>(asked, QString()), QStringLiteral("value"));
}

void TestPropertyBag::writingKeepsTheStoredSpelling()
{
    PropertyBag bag{{QStringLiteral("caption"), QStringLiteral("old")}};
    bag.write<QString>(QStringLiteral("Caption"), QStringLiteral("new"));
    QCOMPARE(bag.keys(), QStringList{QStringLiteral("caption")});
    QCOMPARE(bag.read<QString>(QStringLiteral("caption"), QString()), QStringLiteral("new"));
}

void TestPropertyBag::missingKeyGivesTheDefault()
{
    const PropertyBag bag{{QStringLiteral("caption"), QStringLiteral("x")}};
    QCOMPARE(bag.read<bool>(QStringLiteral("Enabled"), true), true);
    QCOMPARE(bag.read<int>(QStringLiteral("TopButtonType"), 2), 2);
    QVERIFY(!bag.value(QStringLiteral("Enabled")).isValid());
}

void TestPropertyBag::writingTheDefaultRemovesTheKey()
{
    PropertyBag bag;
    bag.write<bool>(QStringLiteral("Enabled"), false, true);
    QCOMPARE(bag.read<bool>(QStringLiteral("enabled"), true), false);
    bag.write<bool>(QStringLiteral("Enabled"), true, true);
    QVERIFY(!bag.contains(QStringLiteral("enabled")));
    QVERIFY(bag.isEmpty());
}

void TestPropertyBag::keysKeepTheirFirstWrittenOrder()
{
    PropertyBag bag;
    bag.set(QStringLiteral("caption"), 1);
    bag.set(QStringLiteral("_extentx"), 2);
    bag.set(QStringLiteral("CAPTION"), 3);
    bag.set(QStringLiteral("_extenty"), 4);
    const QStringList expected{QStringLiteral("caption"), QStringLiteral("_extentx"), QStringLiteral("_extenty")};
    QCOMPARE(bag.keys(), expected);
    QCOMPARE(bag.value(QStringLiteral("Caption")).toInt(), 3);
}

QTEST_APPLESS_MAIN(TestPropertyBag)
#include "tst_propertybag.moc"
