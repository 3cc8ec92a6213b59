// Velmora tests. Licensed under the MIT licence.
#include "lineindex.h"

#include <runtimeerror.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray repeated(const QByteArray &piece, qint64 atLeast)
{
    QByteArray bytes;
    while (bytes.size() < atLeast)
        bytes += piece;
    return bytes;
}

// Capture lines of many lengths, so that lines straddle every read.
QByteArray captureLines(qint64 atLeast)
{
    QByteArray bytes;
    for (int n = 0; bytes.size() < atLeast; ++n)
        bytes += "\r\n接收数据：" + QByteArray(n % 97, char('A' + n % 26));
    return bytes;
}

} // namespace

// The rows of a file too large to hold: every byte in exactly one row, in order, rows of
// bounded length cut between characters (the file is UTF-8), and each row found again
// from its number and from its bytes.
class TestLineIndex : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void rowsCoverTheFile_data();
    void rowsCoverTheFile();
    void showsTheFileAsItWasWhenOpened();
    void unreadableFileIsRefused();

private:
    QString write(const QByteArray &bytes);
    QTemporaryDir *m_folder = nullptr;
};

void TestLineIndex::init()
{
    delete m_folder;
    m_folder = new QTemporaryDir;
    QVERIFY(m_folder->isValid());
}

QString TestLineIndex::write(const QByteArray &bytes)
{
    const QString path = m_folder->filePath(QStringLiteral("capture.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

void TestLineIndex::rowsCoverTheFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("lines");  // -1: some line is longer than a row
    QTest::addRow("empty file") << QByteArray() << qint64(1);
    QTest::addRow("one line without a break") << QByteArray("AT") << qint64(1);
    QTest::addRow("a break alone") << QByteArray("\n") << qint64(2);
    QTest::addRow("capture, over several reads") << captureLines(300 * 1024) << qint64(-2);
    QTest::addRow("LF lines ending in a break") << repeated("OK\n", 200 * 1024) << qint64(-2);
    QTest::addRow("a long line of words") << repeated("4F 4B 0D 0A ", 3 * LineIndex::LongestRow) << qint64(-1);
    QTest::addRow("a long line of Chinese only") << repeated("接收数据", 20 * LineIndex::LongestRow) << qint64(-1);
    QTest::addRow("long and short lines") << repeated(repeated("x", 2 * LineIndex::LongestRow + 5) + "\r\n\r\n", 100 * 1024)
                                          << qint64(-1);
}

void TestLineIndex::rowsCoverTheFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, lines);
    if (lines == -2)
        lines = bytes.count('\n') + 1;
    LineIndex index(write(bytes));
    qint64 lastCount = 0;
    while (!index.isComplete()) {
        index.indexMore(1);
        QVERIFY(index.rowCount() >= lastCount);
        lastCount = index.rowCount();
    }
    QCOMPARE(index.indexedBytes(), bytes.size());
    if (lines >= 0)
        QCOMPARE(index.rowCount(), lines);

    const QList<LineIndex::Row> rows = index.rows(0, index.rowCount());
    QCOMPARE(rows.size(), index.rowCount());
    qint64 offset = 0;
    for (qsizetype k = 0; k < rows.size(); ++k) {
        const LineIndex::Row &row = rows.at(k);
        QCOMPARE(row.offset, offset);
        QVERIFY(row.bytes <= LineIndex::LongestRow);
        const QByteArray piece = bytes.mid(row.offset, row.bytes);
        const bool last = k + 1 == rows.size();
        QVERIFY2(last || piece.endsWith('\n') || row.bytes >= LineIndex::LongestRow / 2,
                 qPrintable(QStringLiteral("row %1 is cut short at %2 bytes").arg(k).arg(row.bytes)));
        QVERIFY2(!index.text(row).contains(QChar::ReplacementCharacter), qPrintable(QString::number(k)));
        offset += row.bytes;
    }
    QCOMPARE(offset, bytes.size());

    // A row is found again from anywhere: by number, from any first row, and by its bytes.
    const qint64 step = std::max<qint64>(1, rows.size() / 300);
    for (qint64 first = 0; first < rows.size(); first += step) {
        const QList<LineIndex::Row> some = index.rows(first, 3);
        QCOMPARE(some.size(), std::min<qsizetype>(3, rows.size() - first));
        QCOMPARE(some.first().offset, rows.at(first).offset);
        const LineIndex::Row &row = rows.at(first);
        QCOMPARE(index.rowAt(row.offset), first);
        QCOMPARE(index.rowAt(row.offset + std::max<qint64>(0, row.bytes - 1)), first);
    }
    QCOMPARE(index.rowAt(bytes.size()), rows.size() - 1);
}

// Records the capture adds while the file is shown wait for the next opening; a file cut
// short meanwhile ends the index where it ends.
void TestLineIndex::showsTheFileAsItWasWhenOpened()
{
    const QByteArray bytes = captureLines(200 * 1024);
    const QString path = write(bytes);
    LineIndex grown(path);
    LineIndex cut(path);
    cut.indexMore(1);
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    file.write("\r\n接收数据：later");
    file.close();
    while (!grown.isComplete())
        grown.indexMore(1);
    QCOMPARE(grown.indexedBytes(), bytes.size());
    QCOMPARE(grown.rowCount(), bytes.count('\n') + 1);

    QVERIFY(file.resize(100 * 1024));
    while (!cut.isComplete())
        cut.indexMore(1);
    QCOMPARE(cut.indexedBytes(), 100 * 1024);
    QCOMPARE(cut.rows(cut.rowCount() - 1, 5).size(), 1);
}

void TestLineIndex::unreadableFileIsRefused()
{
    int number = 0;
    try {
        LineIndex index(m_folder->filePath(QStringLiteral("missing.txt")));
    } catch (const Component::RuntimeError &error) {
        number = error.number();
    }
    QCOMPARE(number, int(Component::RuntimeError::FileNotFound));
}

QTEST_GUILESS_MAIN(TestLineIndex)
#include "tst_lineindex.moc"
