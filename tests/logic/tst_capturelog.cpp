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
    void failedWriteKeepsBufferAndReportsOnce();

private:
    QByteArray written() const;

    QTemporaryDir m_dir;
    CaptureLog m_log;
};

// Every test starts without the capture folder, which the first write creates.
void TestCaptureLog::init()
{
    m_log = CaptureLog();
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
    QCOMPARE(m_log.addHeader(Header, Started), CaptureLog::WriteStatus::StillFailing);
    const QString kept = sent("1") + sent("2") + HeaderText;
    QCOMPARE(m_log.buffer(), kept);

    QVERIFY(QDir(m_log.filePath()).removeRecursively());
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Ok);
    QCOMPARE(written(), kept.toLocal8Bit());

    // Once writing worked again, a new failure is reported again.
    QVERIFY(QFile::remove(m_log.filePath()));
    QVERIFY(QDir().mkpath(m_log.filePath()));
    m_log.addSent(QStringLiteral("3"));
    QCOMPARE(m_log.flush(), CaptureLog::WriteStatus::Failed);
}

QTEST_GUILESS_MAIN(TestCaptureLog)
#include "tst_capturelog.moc"
