// Velmora tests. Licensed under the MIT licence.
#include "columnfit.h"

#include <QRandomGenerator>
#include <QTest>

#include <numeric>

// Columns in the room of their list: whole where they fit, the short ones never cut.
class TestColumnFit : public QObject
{
    Q_OBJECT

private slots:
    void examples_data();
    void examples();
    void fitsAndCutsOnlyTheWidest();
};

void TestColumnFit::examples_data()
{
    QTest::addColumn<QList<int>>("needed");
    QTest::addColumn<int>("room");
    QTest::addColumn<QList<int>>("fitted");
    QTest::addRow("all fit") << QList<int>{110, 150, 80} << 400 << QList<int>{110, 150, 80};
    QTest::addRow("exactly") << QList<int>{100, 100} << 200 << QList<int>{100, 100};
    QTest::addRow("a long path shares with nothing") << QList<int>{110, 420, 80, 80} << 560
                                                     << QList<int>{110, 290, 80, 80};
    QTest::addRow("two long ones alike") << QList<int>{300, 60, 400} << 400 << QList<int>{170, 60, 170};
    QTest::addRow("no room") << QList<int>{50, 60} << 0 << QList<int>{0, 0};
    QTest::addRow("no columns") << QList<int>{} << 100 << QList<int>{};
}

void TestColumnFit::examples()
{
    QFETCH(QList<int>, needed);
    QFETCH(int, room);
    QTEST(ColumnFit::widths(needed, room), "fitted");
}

void TestColumnFit::fitsAndCutsOnlyTheWidest()
{
    QRandomGenerator random(11);
    for (int round = 0; round < 2000; ++round) {
        QList<int> needed(1 + random.bounded(7));
        for (int &need : needed)
            need = random.bounded(400);
        const int room = random.bounded(1200);
        const QList<int> fitted = ColumnFit::widths(needed, room);
        QCOMPARE(fitted.size(), needed.size());
        const int total = std::accumulate(fitted.begin(), fitted.end(), 0);
        const int wanted = std::accumulate(needed.begin(), needed.end(), 0);
        if (wanted <= room) {
            QCOMPARE(fitted, needed);
            continue;
        }
        QVERIFY2(total <= room, qPrintable(QStringLiteral("%1 > %2").arg(total).arg(room)));
        QVERIFY(room - total < int(needed.size()));   // only what an even share leaves over
        const int widestCut = *std::max_element(fitted.begin(), fitted.end());
        for (int k = 0; k < needed.size(); ++k) {
            QVERIFY(fitted.at(k) <= needed.at(k));
            if (fitted.at(k) < needed.at(k))
                QCOMPARE(fitted.at(k), widestCut);   // a cut column is as wide as any
        }
    }
}

QTEST_MAIN(TestColumnFit)
#include "tst_columnfit.moc"
