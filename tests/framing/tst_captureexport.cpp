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
    void verdictsFillTheirColumn();
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

// Checked frames carry their verdict into the checksum column and lose the mark from
// their text: in framed records, in the default's frames that share one received line,
// and for a mark that a send separated from its frame. Unchecked frames leave it empty;
// skipped bytes keep the block hexadecimal and say so beside their direction.
void TestCaptureExport::verdictsFillTheirColumn()
{
    const auto good = [](const QByteArray &hex) {
        return QString::fromLatin1(hex) + CaptureLog::verdictMark(true, {}, CaptureLog::Language::Capture);
    };
    const auto bad = [](const QByteArray &hex, const QByteArray &expected) {
        return QString::fromLatin1(hex) + CaptureLog::verdictMark(false, expected, CaptureLog::Language::Capture);
    };
    QTemporaryDir folder;
    CaptureLog log;
    log.setFile(folder.path(), QStringLiteral("capture.txt"));
    const CaptureHeader header{QStringLiteral("发送通讯命令并接收数据"), QStringLiteral("数据发送端口：Com 15"),
                               QStringLiteral("9600,N,8,1"), QStringLiteral("数据接收端口：Com 16"),
                               QStringLiteral("9600,N,8,1")};
    log.addHeader(header, QDateTime(QDate(2026, 12, 6), QTime(14, 30, 0)));
    // Framed records, one of them unmarked (a length rule's skipped bytes).
    log.addReceivedFrames({good("[14:30:00.100] 01 03 02 00 2A 39 9B"),
                           bad("[14:30:00.200] 01 03 03 00 2A 39 9B", "\x68\x5B"),
                           "[14:30:00.300] [跳过] 7E"},
                          {true, true, true});
    log.addSent(QStringLiteral("01 03"));
    // The default's frames run on in one received record, each followed by its mark.
    log.addReceived(QStringLiteral("01 03 02 00 2A"));
    log.addReceived(QStringLiteral(" 39 9B"));
    log.addReceived(CaptureLog::verdictMark(true, {}, CaptureLog::Language::Capture));
    log.addReceived(QStringLiteral("[14:30:01.500] 01 03 03 00 2A 39 9B"));
    log.addSent(QStringLiteral("01 03"));
    log.addReceived(CaptureLog::verdictMark(false, "\x68\x5B", CaptureLog::Language::Capture));
    QCOMPARE(log.flush(), CaptureLog::WriteStatus::Ok);

    QFile file(folder.filePath(QStringLiteral("capture.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QStringList> rows =
        CsvTable::read(CsvTable::write(CaptureLog::tableOf(SystemCodePage::toUnicode(file.readAll()))));
    QStringList verdicts;
    QStringList times;
    QStringList bytes;
    for (const QStringList &row : rows.mid(1)) {
        times.append(row.at(0));
        bytes.append(row.at(2));
        verdicts.append(row.at(4));
    }
    QCOMPARE(bytes, (QStringList{"01 03 02 00 2A 39 9B", "01 03 03 00 2A 39 9B", "7E", "01 03",
                                 "01 03 02 00 2A 39 9B", "01 03 03 00 2A 39 9B", "01 03"}));
    QCOMPARE(verdicts, (QStringList{"正确", "错误，应为 68 5B", "", "", "正确", "错误，应为 68 5B", ""}));
    QCOMPARE(times.at(5), QStringLiteral("12-06-2026 14:30:01.500"));
    QCOMPARE(rows.at(3).at(1), QStringLiteral("接收 Com 16 跳过"));
}

QTEST_GUILESS_MAIN(TestCaptureExport)
#include "tst_captureexport.moc"
