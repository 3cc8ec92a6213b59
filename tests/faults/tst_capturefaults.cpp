// Velmora tests. Licensed under the MIT licence.
#include <pseudoterminal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

const QByteArray ReceivedLead = QStringLiteral("\r\n接收数据：").toUtf8();

QByteArray chunk(int number)
{
    return QStringLiteral("%1汉字;").arg(number, 5).toUtf8();
}

bool isWholeUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError() && !text.contains(QChar::ReplacementCharacter);
}

// The capture path in a process of its own, receiving from a far end the test plays.
class CaptureChild
{
public:
    bool start(const QString &fileSizeLimit = QString())
    {
        QStringList args{m_folder.path(), m_farEnd.slavePath()};
        if (!fileSizeLimit.isEmpty())
            args.append(fileSizeLimit);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(CAPTURE_CHILD), args);
        return waitFor("ready");
    }

    // Each chunk is taken in before the next is sent, so no record spans two chunks.
    void feed(int from, int count)
    {
        for (int number = from; number < from + count; ++number) {
            const QByteArray bytes = chunk(number);
            m_farEnd.write(bytes);
            m_sent += bytes;
            // The pseudo-terminal hands the bytes on a moment later.
            QTest::qWait(3);
            QElapsedTimer waited;
            waited.start();
            while (m_farEnd.bytesWaitingAtSlave() > 0 && waited.elapsed() < 5000)
                QTest::qWait(1);
        }
        QTest::qWait(50);
    }

    bool waitFor(const QByteArray &line)
    {
        QElapsedTimer waited;
        waited.start();
        while (!lines().contains(line) && waited.elapsed() < 10000)
            m_process.waitForReadyRead(100);
        return lines().contains(line);
    }

    void signal(int number) { ::kill(pid_t(m_process.processId()), number); }

    bool stop()
    {
        signal(SIGTERM);
        return waitFor("stopped") && m_process.waitForFinished(5000);
    }

    QList<QByteArray> lines()
    {
        m_output += m_process.readAllStandardOutput();
        return m_output.split('\n');
    }

    QStringList reports()
    {
        QStringList found;
        for (const QByteArray &line : lines()) {
            if (line.startsWith("report: "))
                found.append(QString::fromUtf8(line.mid(8)));
        }
        return found;
    }

    // What the file holds behind the header, which must come first and once.
    QByteArray capturedData() const
    {
        QFile file(m_folder.filePath(QStringLiteral("capture.txt")));
        const QByteArray content = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const qsizetype lead = content.indexOf(ReceivedLead);
        if (!content.startsWith("\r\n\r\n") || lead < 0 || content.indexOf(ReceivedLead, lead + 1) >= 0)
            return "no single block: " + content.left(200);
        return content.mid(lead + ReceivedLead.size());
    }

    qint64 fileSize() const { return QFileInfo(m_folder.filePath(QStringLiteral("capture.txt"))).size(); }
    QString folder() const { return QDir::toNativeSeparators(m_folder.path()); }

    QTemporaryDir m_folder;
    PseudoTerminal m_farEnd;
    QProcess m_process;
    QByteArray m_output;
    QByteArray m_sent;
};

} // namespace

// The capture file when the process dies, and when the disk has no room for it.
class TestCaptureFaults : public QObject
{
    Q_OBJECT

private slots:
    void killedDuringCaptureLeavesWholeRecords();
    void fullDiskReportsOnceAndWritesAllWhenSpaceReturns();
    void fullDiskAtStopReportsWhatWasNotSaved();
};

void TestCaptureFaults::killedDuringCaptureLeavesWholeRecords()
{
    CaptureChild child;
    QVERIFY(child.start());
    // Killed in the middle of a block, some of it written already.
    int sent = 0;
    for (; child.fileSize() == 0 && sent < 5000; sent += 50)
        child.feed(sent, 50);
    child.feed(sent, 100);
    child.signal(SIGKILL);
    QVERIFY(child.m_process.waitForFinished(5000));

    const QByteArray onDisk = child.capturedData();
    QVERIFY2(child.m_sent.startsWith(onDisk), onDisk.left(200).constData());
    QVERIFY(!onDisk.isEmpty());
    QVERIFY(isWholeUtf8(onDisk));
    // At most the records since the last write are lost, each within one chunk.
    QVERIFY(child.m_sent.size() - onDisk.size() < 256 * chunk(0).size());
}

void TestCaptureFaults::fullDiskReportsOnceAndWritesAllWhenSpaceReturns()
{
    CaptureChild child;
    QVERIFY(child.start(QStringLiteral("1024")));
    child.feed(0, 1200);
    QCOMPARE(child.reports().size(), 1);
    const QString report = child.reports().first();
    QVERIFY2(report.contains(child.folder()) && report.contains(QStringLiteral("磁盘是否已满")), qPrintable(report));
    QVERIFY(child.fileSize() <= 1024);

    child.signal(SIGUSR1);
    QVERIFY(child.waitFor("unlimited"));
    child.feed(1200, 10);
    QVERIFY(child.stop());
    QCOMPARE(child.reports().size(), 1);
    const QByteArray onDisk = child.capturedData();
    QCOMPARE(onDisk.size(), child.m_sent.size());
    QCOMPARE(onDisk, child.m_sent);
}

void TestCaptureFaults::fullDiskAtStopReportsWhatWasNotSaved()
{
    CaptureChild child;
    QVERIFY(child.start(QStringLiteral("1024")));
    child.feed(0, 300);
    QVERIFY(child.stop());
    const QStringList reports = child.reports();
    QCOMPARE(reports.size(), 2);
    QVERIFY2(reports.last().contains(QStringLiteral("字节的记录未能保存")), qPrintable(reports.last()));
    QVERIFY(child.fileSize() <= 1024);
}

QTEST_GUILESS_MAIN(TestCaptureFaults)
#include "tst_capturefaults.moc"
