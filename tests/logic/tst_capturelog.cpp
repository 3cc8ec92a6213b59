// Velmora workbench. Licensed under the MIT licence.
#include "capturelog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString FileName = QStringLiteral("12-06-2004.txt");
const QDateTime Started(QDate(2004, 12, 6), QTime(22, 11, 1));

CaptureHeader header()
{
    return { QStringLiteral("发送通讯命令并接收数据"), QStringLiteral("数据发送端口：Com 1"),
             QStringLiteral("9600,N,8,1"), QStringLiteral("数据接收端口：Com 2"),
             QStringLiteral("4800,E,7,2") };
}

const QString HeaderText = QStringLiteral(
    "\r\n\r\n12-06-2004 22:11:01\r\n数据收发方式：发送通讯命令并接收数据\r\n"
    "数据发送端口：Com 1 9600,N,8,1 数据接收端口：Com 2 4800,E,7,2");

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Capture records, their texts and when and how they reach the day's file.
class TestCaptureLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fileName();
    void recordTexts();
    void receivedContinuesAcrossWrites();
    void writeAfter256Records();
    void emptyFlushLeavesNoFile();
    void headerWritesEarlierRecordsFirst();
    void missingFolderIsCreated();
    void failedWriteKeepsBufferAndReportsOnce();

private:
    QTemporaryDir m_dir;
    CaptureLog m_log;
    QString dataFolder() const { return m_dir.filePath("data"); }
};

void TestCaptureLog::init()
{
    m_log = CaptureLog();
    QDir(dataFolder()).removeRecursively();
    m_log.setFile(dataFolder(), FileName);
}

void TestCaptureLog::fileName()
{
    QCOMPARE(CaptureLog::fileNameFor(QDate(2004, 12, 6)), FileName);
    QCOMPARE(CaptureLog::fileNameFor(QDate(2026, 1, 9)), QStringLiteral("01-09-2026.txt"));
}

void TestCaptureLog::recordTexts()
{
    QCOMPARE(m_log.addHeader(header(), Started), CaptureLog::WriteStatus::Ok);
    m_log.addSent(QStringLiteral("AT"));
    m_log.addReceived(QStringLiteral("O"));
    m_log.addReceived(QStringLiteral("K"));
    m_log.addSent(QStringLiteral("0A1B"));
    const QString expected = HeaderText + QStringLiteral("\r\n发送数据：AT\r\n接收数据：OK\r\n发送数据：0A1B");
    QCOMPARE(m_log.buffer(), expected);
    QCOMPARE(m_log.count(), 5);

    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Ok);
    QCOMPARE(fileBytes(m_log.filePath()), expected.toLocal8Bit());
    QCOMPARE(m_log.buffer(), QString());
    QCOMPARE(m_log.count(), 0);

    m_log.addHeader(header(), Started);
    m_log.flush();
    QCOMPARE(fileBytes(m_log.filePath()), (expected + HeaderText).toLocal8Bit());
}

void TestCaptureLog::receivedContinuesAcrossWrites()
{
    m_log.addReceived(QStringLiteral("AB"));
    m_log.flush();
    m_log.addReceived(QStringLiteral("CD"));
    m_log.flush();
    QCOMPARE(fileBytes(m_log.filePath()), QByteArray("\r\n") + QStringLiteral("接收数据：ABCD").toLocal8Bit());
}

void TestCaptureLog::writeAfter256Records()
{
    m_log.addHeader(header(), Started);
    for (int record = 2; record < CaptureLog::RecordsPerWrite; ++record)
        m_log.addSent(QStringLiteral("AT"));
    QVERIFY(!QFile::exists(m_log.filePath()));
    QCOMPARE(m_log.count(), 255);

    m_log.addSent(QStringLiteral("AT"));
    const QString written = HeaderText + QStringLiteral("\r\n发送数据：AT").repeated(255);
    QCOMPARE(fileBytes(m_log.filePath()), written.toLocal8Bit());
    QCOMPARE(m_log.count(), 0);
    QCOMPARE(m_log.buffer(), QString());

    m_log.addReceived(QStringLiteral("OK"));
    QCOMPARE(m_log.buffer(), QStringLiteral("\r\n接收数据：OK"));
    QCOMPARE(m_log.count(), 1);
}

void TestCaptureLog::emptyFlushLeavesNoFile()
{
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Ok);
    QVERIFY(!QFile::exists(m_log.filePath()));
    QVERIFY(!QFile::exists(dataFolder()));
}

void TestCaptureLog::headerWritesEarlierRecordsFirst()
{
    m_log.addHeader(header(), Started);
    m_log.addSent(QStringLiteral("AT"));
    m_log.addReceived(QStringLiteral("OK"));
    const QString firstBlock = m_log.buffer();

    m_log.addHeader(header(), Started.addSecs(60));
    QCOMPARE(fileBytes(m_log.filePath()), firstBlock.toLocal8Bit());
    QCOMPARE(m_log.buffer(), QString(HeaderText).replace("22:11:01", "22:12:01"));
    QCOMPARE(m_log.count(), 1);
}

void TestCaptureLog::missingFolderIsCreated()
{
    const QString nested = m_dir.filePath("data/deeper");
    m_log.setFile(nested, FileName);
    m_log.addSent(QStringLiteral("AT"));
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Ok);
    QCOMPARE(fileBytes(nested + "/" + FileName), QStringLiteral("\r\n发送数据：AT").toLocal8Bit());
}

void TestCaptureLog::failedWriteKeepsBufferAndReportsOnce()
{
    // A folder in place of the file makes every write fail.
    QVERIFY(QDir().mkpath(m_log.filePath()));
    m_log.addSent(QStringLiteral("1"));
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Failed);
    QVERIFY(m_log.errorNumber() != 0);
    QVERIFY(!m_log.errorDescription().isEmpty());
    m_log.addSent(QStringLiteral("2"));
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::StillFailing);
    QCOMPARE(m_log.buffer(), QStringLiteral("\r\n发送数据：1\r\n发送数据：2"));

    QCOMPARE(m_log.addHeader(header(), Started), CaptureLog::WriteStatus::StillFailing);
    QCOMPARE(m_log.buffer(), QStringLiteral("\r\n发送数据：1\r\n发送数据：2") + HeaderText);

    QVERIFY(QDir(m_log.filePath()).removeRecursively());
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Ok);
    QCOMPARE(fileBytes(m_log.filePath()),
             (QStringLiteral("\r\n发送数据：1\r\n发送数据：2") + HeaderText).toLocal8Bit());

    QVERIFY(QFile::remove(m_log.filePath()));
    QVERIFY(QDir().mkpath(m_log.filePath()));
    m_log.addSent(QStringLiteral("3"));
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Failed);
}

QTEST_GUILESS_MAIN(TestCaptureLog)
#include "tst_capturelog.moc"
