// Velmora workbench. Licensed under the MIT licence.
#include "capturelog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime Started(QDate(2004, 12, 6), QTime(22, 11, 1));

const CaptureHeader Header { QStringLiteral("发送通讯命令并接收数据"), QStringLiteral("数据发送端口：Com 1"),
                             QStringLiteral("9600,N,8,1"), QStringLiteral("数据接收端口：Com 2"),
                             QStringLiteral("4800,E,7,2") };

const QString HeaderText = QStringLiteral(
    "\r\n\r\n12-06-2004 22:11:01\r\n数据收发方式：发送通讯命令并接收数据\r\n"
    "数据发送端口：Com 1 9600,N,8,1 数据接收端口：Com 2 4800,E,7,2");

QString sent(const QString &text) { return QStringLiteral("\r\n发送数据：") + text; }

} // namespace

// Capture records, their texts and when and how they reach the day's file.
class TestCaptureLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void recordTexts();
    void headerWritesEarlierRecordsFirst();
    void largeRecordsWrittenBeforeTheirCount();
    void failedWritesKeepRecordsAndReportOnce();
    void boundDropsOldestWholeRecords();
    void linkIsNeverFollowed();

private:
    QByteArray written() const;
    void addRecords(int count, const QString &text);
    int reports() const;

    QList<CaptureLog::WriteStatus> m_statuses;

    QTemporaryDir m_dir;
    CaptureLog m_log;
};

// Every test starts without the capture folder, which the first write creates.
void TestCaptureLog::init()
{
    m_log = CaptureLog();
    m_statuses.clear();
    QDir(m_dir.filePath("data")).removeRecursively();
    m_log.setFile(m_dir.filePath("data/deeper"), QStringLiteral("12-06-2004.txt"));
}

QByteArray TestCaptureLog::written() const
{
    QFile file(m_log.filePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestCaptureLog::recordTexts()
{
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Ok);
    QVERIFY(!QFile::exists(m_dir.filePath("data")));

    QCOMPARE(m_log.addHeader(Header, Started), CaptureLog::WriteStatus::Ok);
    m_log.addSent(QStringLiteral("AT"));
    m_log.addReceived(QStringLiteral("O"));
    m_log.addReceived(QStringLiteral("K"));
    const QString first = HeaderText + sent("AT") + QStringLiteral("\r\n接收数据：OK");
    QCOMPARE(m_log.buffer(), first);
    QCOMPARE(m_log.count(), 4);
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Ok);
    QCOMPARE(written(), first.toLocal8Bit());
    QCOMPARE(m_log.buffer(), QString());
    QCOMPARE(m_log.count(), 0);

    // Received data goes on in the same record after a write.
    m_log.addReceived(QStringLiteral("!"));
    m_log.addSent(QStringLiteral("0A1B"));
    m_log.flush();
    QCOMPARE(written(), (first + QStringLiteral("!") + sent("0A1B")).toLocal8Bit());
}

void TestCaptureLog::headerWritesEarlierRecordsFirst()
{
    m_log.addHeader(Header, Started);
    m_log.addSent(QStringLiteral("AT"));
    m_log.addReceived(QStringLiteral("OK"));
    const QString firstBlock = m_log.buffer();

    m_log.addHeader(Header, Started.addSecs(60));
    QCOMPARE(written(), firstBlock.toLocal8Bit());
    QCOMPARE(m_log.buffer(), QString(HeaderText).replace("22:11:01", "22:12:01"));
    QCOMPARE(m_log.count(), 1);
}

// A fast line gives few, large received records: they reach the file by their size
// long before the record count is reached.
void TestCaptureLog::largeRecordsWrittenBeforeTheirCount()
{
    const QString piece(CaptureLog::CharactersPerWrite / 4, QLatin1Char('x'));
    for (int record = 0; record < 3; ++record)
        m_log.addReceived(piece);
    QVERIFY(!QFile::exists(m_log.filePath()));
    m_log.addReceived(piece);
    QCOMPARE(written().size(), qsizetype(QStringLiteral("\r\n接收数据：").toLocal8Bit().size()) + 4 * piece.size());
    QCOMPARE(m_log.count(), 0);
}

void TestCaptureLog::addRecords(int count, const QString &text)
{
    for (int i = 0; i < count; ++i)
        m_statuses.append(m_log.addSent(text));
}

int TestCaptureLog::reports() const
{
    return int(m_statuses.count(CaptureLog::WriteStatus::Failed));
}

// While the file cannot be written the records wait, each encoded once; the user hears
// of it once, at every stop and close that leaves records unsaved, and once more when
// the bound drops records.
void TestCaptureLog::failedWritesKeepRecordsAndReportOnce()
{
    // A folder in place of the file makes every write fail.
    QVERIFY(QDir().mkpath(m_log.filePath()));
    addRecords(3 * CaptureLog::RecordsPerWrite, QStringLiteral("汉1"));
    QCOMPARE(reports(), 1);
    QCOMPARE(m_statuses.last(), CaptureLog::WriteStatus::StillFailing);
    QVERIFY(m_log.errorNumber() != 0);
    QVERIFY(!m_log.errorDescription().isEmpty());
    QVERIFY(m_log.failureHint().contains(QDir::toNativeSeparators(m_dir.filePath("data/deeper"))));
    QVERIFY(m_log.failureHint().contains(QStringLiteral("磁盘是否已满")));
    QVERIFY(!m_log.failureHint().contains(QStringLiteral("未能保存")));

    QCOMPARE(m_log.addHeader(Header, Started), CaptureLog::WriteStatus::StillFailing);
    const QString kept = sent("汉1").repeated(3 * CaptureLog::RecordsPerWrite) + HeaderText;
    QCOMPARE(m_log.buffer(), kept);
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Failed);
    QVERIFY(m_log.failureHint().contains(QStringLiteral("有 %1 字节的记录未能保存").arg(kept.toLocal8Bit().size())));

    QVERIFY(QDir(m_log.filePath()).removeRecursively());
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Ok);
    QCOMPARE(written(), kept.toLocal8Bit());
    QCOMPARE(m_log.unsavedBytes(), 0);

    // Once writing worked again, a new failure is reported again.
    QVERIFY(QFile::remove(m_log.filePath()));
    QVERIFY(QDir().mkpath(m_log.filePath()));
    m_statuses.clear();
    addRecords(CaptureLog::RecordsPerWrite, QStringLiteral("3"));
    QCOMPARE(reports(), 1);
}

void TestCaptureLog::boundDropsOldestWholeRecords()
{
    // Room for more than one write's worth, so that the first drop comes later.
    constexpr int Limit = 10000;
    m_log.setKeptLimit(Limit);
    QVERIFY(QDir().mkpath(m_log.filePath()));
    const QString record = sent(QStringLiteral("数据%1").arg(0, 4));
    addRecords(10 * CaptureLog::RecordsPerWrite, QStringLiteral("数据   0"));
    QCOMPARE(reports(), 2);   // the failure, then the first drop
    QVERIFY(m_log.failureHint().contains(QStringLiteral("已被丢弃")));
    QVERIFY(m_log.unsavedBytes() <= Limit);
    QVERIFY(m_log.droppedBytes() > 0);
    const qsizetype recordBytes = record.toLocal8Bit().size();
    QCOMPARE(m_log.unsavedBytes() % recordBytes, 0);
    QCOMPARE(m_log.droppedBytes() % recordBytes, 0);
    QCOMPARE(m_log.unsavedBytes() + m_log.droppedBytes(), 10 * CaptureLog::RecordsPerWrite * recordBytes);

    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Failed);
    QVERIFY(m_log.failureHint().contains(QStringLiteral("另有 %1 字节的记录已被丢弃").arg(m_log.droppedBytes())));
    QVERIFY(QDir(m_log.filePath()).removeRecursively());
    const QString kept = m_log.buffer();
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Ok);
    QCOMPARE(written(), kept.toLocal8Bit());
    QCOMPARE(m_log.droppedBytes(), 0);
}

// A link in place of the capture file is refused, and the file it names stays as it was.
void TestCaptureLog::linkIsNeverFollowed()
{
    QVERIFY(QDir().mkpath(m_dir.filePath("data/deeper")));
    const QString other = m_dir.filePath("data/other");
    QVERIFY(QFile::link(other, m_log.filePath()));
    m_log.addSent(QStringLiteral("AT"));
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Failed);
    QVERIFY(!QFile::exists(other));
    QCOMPARE(m_log.buffer(), sent("AT"));
}

QTEST_GUILESS_MAIN(TestCaptureLog)
#include "tst_capturelog.moc"
