// Velmora tests. Licensed under the MIT licence.
#include "textsearch.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Direction = TextSearch::Direction;

QByteArray folded(QByteArray bytes)
{
    for (char &c : bytes) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return bytes;
}

// The answer worked out the slow way: the first match at or after from, or the last one
// before it.
qint64 naive(const QByteArray &haystack, const QByteArray &needle, Direction direction, qint64 from)
{
    const QByteArray text = folded(haystack);
    const QByteArray sought = folded(needle);
    if (direction == Direction::Forward)
        return text.indexOf(sought, from);
    return from == 0 ? -1 : text.lastIndexOf(sought, from - 1);
}

// Text of few letters, so that near misses abound, with the needle's pieces sown in.
QByteArray haystack(qint64 size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    const char letters[] = "aAbB\r\n接";
    for (char &c : bytes)
        c = letters[random.bounded(int(sizeof letters - 1))];
    return bytes;
}

} // namespace

// A text is found forwards and backwards in a file read a piece at a time, wherever the
// pieces fall: the same match as a search of the whole.
class TestTextSearch : public QObject
{
    Q_OBJECT

private slots:
    void findsWhatAWholeSearchFinds_data();
    void findsWhatAWholeSearchFinds();
    void searchesNothingForNoText();
};

void TestTextSearch::findsWhatAWholeSearchFinds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<qint64>("piece");
    const QByteArray mixed = haystack(20000, 7);
    QTest::addRow("one letter, pieces of one byte") << mixed.left(600) << QStringLiteral("B") << qint64(1);
    QTest::addRow("letters in either case, small pieces") << mixed << QStringLiteral("abBa") << qint64(13);
    QTest::addRow("across line breaks") << mixed << QStringLiteral("a\r\nb") << qint64(64);
    QTest::addRow("Chinese, cut inside its bytes") << mixed.left(5000) << QStringLiteral("接a") << qint64(5);
    QTest::addRow("longer than a piece") << mixed.left(3000) << QStringLiteral("aba") << qint64(2);
    QTest::addRow("not there") << mixed << QStringLiteral("OK") << qint64(4096);
    QTest::addRow("in one piece") << QByteArray("AT\r\nOK\r\nat\r\nok") << QStringLiteral("Ok") << qint64(1 << 20);
}

void TestTextSearch::findsWhatAWholeSearchFinds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, needle);
    QFETCH(qint64, piece);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("capture.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    const QByteArray sought = needle.toUtf8();
    const qint64 step = std::max<qint64>(1, bytes.size() / 97);
    for (const Direction direction : {Direction::Forward, Direction::Backward}) {
        for (qint64 from = 0; from <= bytes.size(); from += step) {
            TextSearch search(path, needle, direction, from);
            double progress = 0;
            while (!search.isFinished()) {
                search.searchMore(piece);
                QVERIFY(search.progress() >= progress);
                progress = search.progress();
            }
            const qint64 expected = naive(bytes, sought, direction, from);
            QVERIFY2(search.matchOffset() == expected,
                     qPrintable(QStringLiteral("%1 from %2: found %3, expected %4")
                                    .arg(direction == Direction::Forward ? "forwards" : "backwards")
                                    .arg(from).arg(search.matchOffset()).arg(expected)));
            if (expected < 0)
                QCOMPARE(search.progress(), 1.0);
            QCOMPARE(search.matchBytes(), sought.size());
        }
    }
}

void TestTextSearch::searchesNothingForNoText()
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("capture.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("OK");
    file.close();
    TextSearch search(file.fileName(), QString(), Direction::Forward, 0);
    QVERIFY(search.isFinished());
    QCOMPARE(search.matchOffset(), qint64(-1));
}

QTEST_GUILESS_MAIN(TestTextSearch)
#include "tst_textsearch.moc"
