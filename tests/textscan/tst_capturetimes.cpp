// Velmora tests. Licensed under the MIT licence.
#include "capturetimes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A capture of two blocks: the second runs past midnight, its received lines stamped.
const QByteArray TwoBlocks =
    "\r\n\r\n12-06-2026 09:15:00\r\n数据收发方式：发送通讯命令并接收数据\r\n"
    "数据发送端口：Com 1 9600,N,8,1 数据接收端口：Com 2 9600,N,8,1\r\n"
    "发送数据：AT\r\n接收数据：OK"
    "\r\n\r\n12-06-2026 23:59:58\r\n数据收发方式：单独接收通讯数据\r\n"
    "数据发送端口：Com 1 9600,N,8,1 数据接收端口：Com 2 9600,N,8,1\r\n"
    "接收数据：[23:59:59.100] first[23:59:59.900] second\r\n"
    "接收数据：[00:00:00.250] after midnight\r\n"
    "接收数据：[00:00:01.000] 12-06-2026 10:00:00 is no header\r\n"
    "接收数据：[00:00:02.000] 1[2:00:00.000] is no stamp";

} // namespace

// Where a capture reaches a moment: block headers carry the date, stamps the time of day.
class TestCaptureTimes : public QObject
{
    Q_OBJECT

private slots:
    void typedMoments_data();
    void typedMoments();
    void findsTheFirstMarkAtOrAfter_data();
    void findsTheFirstMarkAtOrAfter();
};

void TestCaptureTimes::typedMoments_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<bool>("valid");
    QTest::addRow("hours and minutes") << "9:05" << QDate() << QTime(9, 5) << true;
    QTest::addRow("seconds, blanks around") << " 23:59:58 " << QDate() << QTime(23, 59, 58) << true;
    QTest::addRow("milliseconds as stamped") << "00:00:00.25" << QDate() << QTime(0, 0, 0, 250) << true;
    QTest::addRow("a header's date and time") << "12-07-2026 00:00:01" << QDate(2026, 12, 7) << QTime(0, 0, 1)
                                              << true;
    QTest::addRow("no such hour") << "24:00" << QDate() << QTime() << false;
    QTest::addRow("no such day") << "02-30-2026 10:00" << QDate() << QTime() << false;
    QTest::addRow("an hour alone") << "10" << QDate() << QTime() << false;
    QTest::addRow("words") << "noon" << QDate() << QTime() << false;
}

void TestCaptureTimes::typedMoments()
{
    QFETCH(QString, typed);
    QFETCH(bool, valid);
    const std::optional<CaptureTimes::Moment> moment = CaptureTimes::parse(typed);
    QCOMPARE(moment.has_value(), valid);
    if (valid) {
        QTEST(moment->date, "date");
        QTEST(moment->time, "time");
    }
}

void TestCaptureTimes::findsTheFirstMarkAtOrAfter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("foundAt");  // the text found there; empty: nothing
    QTest::addRow("before the first block") << "08:00" << QByteArray("12-06-2026 09:15:00");
    QTest::addRow("the first block's moment") << "09:15:00" << QByteArray("12-06-2026 09:15:00");
    QTest::addRow("between blocks") << "12:00" << QByteArray("12-06-2026 23:59:58");
    QTest::addRow("a stamp inside a line") << "23:59:59.5" << QByteArray("[23:59:59.900] second");
    QTest::addRow("after midnight, by its date") << "12-07-2026 00:00" << QByteArray("[00:00:00.250]");
    QTest::addRow("a stamp that only looks like a header") << "12-07-2026 00:00:00.5"
                                                          << QByteArray("[00:00:01.000]");
    QTest::addRow("a time without a date is the first day's") << "00:00" << QByteArray("12-06-2026 09:15:00");
    QTest::addRow("past the last record") << "12-07-2026 00:00:03" << QByteArray();
    QTest::addRow("a day before the capture") << "12-05-2026 23:00" << QByteArray("12-06-2026 09:15:00");
}

void TestCaptureTimes::findsTheFirstMarkAtOrAfter()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, foundAt);
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("12-06-2026.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(TwoBlocks);
    file.close();
    const std::optional<CaptureTimes::Moment> target = CaptureTimes::parse(typed);
    QVERIFY(target);
    const qint64 expected = foundAt.isEmpty() ? -1 : TwoBlocks.indexOf(foundAt);
    // Read whole, and a few bytes at a time so that marks straddle the pieces.
    for (const qint64 piece : {qint64(1 << 20), qint64(1), qint64(7)}) {
        CaptureTimes times(file.fileName(), *target);
        while (!times.isFinished())
            times.seekMore(piece);
        QCOMPARE(times.foundOffset(), expected);
        // The mark found is the header or the stamp alone, without the blank after a stamp.
        if (expected >= 0)
            QCOMPARE(times.foundBytes(), foundAt.startsWith('[') ? qint64(14) : qint64(19));
    }
}

QTEST_GUILESS_MAIN(TestCaptureTimes)
#include "tst_capturetimes.moc"
