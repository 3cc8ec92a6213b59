// Velmora tests. Licensed under the MIT licence.
#include <capturelog.h>
#include <csvtable.h>
#include <systemcodepage.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A capture file as a spreadsheet table: written by the capture log, turned into CSV and
// read back, every record keeps its time, direction, bytes and text.
class TestCaptureExport : public QObject
{
    Q_OBJECT

private slots:
    void captureRoundTripsThroughCsv();
};

void TestCaptureExport::captureRoundTripsThroughCsv()
{
    QTemporaryDir folder;
    CaptureLog log;
    log.setFile(folder.path(), QStringLiteral("capture.txt"));
    const CaptureHeader header{QStringLiteral("发送通讯命令并接收数据"), QStringLiteral("数据发送端口：Com 15"),
                               QStringLiteral("9600,N,8,1"), QStringLiteral("数据接收端口：Com 16"),
                               QStringLiteral("9600,N,8,1")};
    const QDateTime first(QDate(2026, 12, 6), QTime(14, 30, 0));
    log.addHeader(header, first);
    log.addSent(QStringLiteral("温度?"));
    log.addReceived(QStringLiteral("[14:30:00.250] 温度,\"25\""));
    log.addHeader(header, first.addSecs(60));
    log.addSent(QStringLiteral("01 03 00 00"));
    log.addReceived(QStringLiteral("[14:31:00.125] 00 FF 0D 0A"), true);
    log.addReceived(QStringLiteral("[14:31:00.500] 7E"), true);
    QCOMPARE(log.flush(), CaptureLog::WriteStatus::Ok);

    QFile file(folder.filePath(QStringLiteral("capture.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray csv = CsvTable::write(CaptureLog::tableOf(SystemCodePage::toUnicode(file.readAll())));
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> rows = CsvTable::read(csv);
    const QString ff = SystemCodePage::toUnicode(QByteArray("\x00\xFF\r\n", 4));
    const QList<QStringList> expected{
        {"时间", "方向", "16进制", "文本", "校验"},
        {"12-06-2026 14:30:00", "发送 Com 15",
         QString::fromLatin1(SystemCodePage::fromUnicode("温度?").toHex(' ').toUpper()), "温度?", ""},
        {"12-06-2026 14:30:00.250", "接收 Com 16",
         QString::fromLatin1(SystemCodePage::fromUnicode("温度,\"25\"").toHex(' ').toUpper()), "温度,\"25\"", ""},
        {"12-06-2026 14:31:00", "发送 Com 15", "01 03 00 00", SystemCodePage::toUnicode(QByteArray("\x01\x03\x00\x00", 4)), ""},
        {"12-06-2026 14:31:00.125", "接收 Com 16", "00 FF 0D 0A", ff, ""},
        {"12-06-2026 14:31:00.500", "接收 Com 16", "7E", "~", ""},
    };
    QCOMPARE(rows, expected);
}

QTEST_GUILESS_MAIN(TestCaptureExport)
#include "tst_captureexport.moc"
