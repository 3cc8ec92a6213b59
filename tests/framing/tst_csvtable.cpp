// Velmora tests. Licensed under the MIT licence.
#include <csvtable.h>

#include <QTest>

class CsvTableTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void spreadsheetForm();
};

void CsvTableTest::roundTrip_data()
{
    QTest::addColumn<QList<QStringList>>("rows");

    QTest::addRow("Chinese text") << QList<QStringList>{{"时间", "方向", "文本"}, {"12:00:00.001", "A", "接收数据：你好"}};
    QTest::addRow("quotes, commas and line breaks")
        << QList<QStringList>{{"a,b", "say \"hi\"", "one\r\ntwo", "lone\nLF", "cr\r"}};
    QTest::addRow("empty fields") << QList<QStringList>{{"", "x", ""}, {""}};
    QString binary;
    for (int b = 1; b < 256; ++b)
        binary += QChar(b);
    QTest::addRow("every Latin-1 character") << QList<QStringList>{{binary, QByteArray("\x00\xff", 2).toHex()}};
}

void CsvTableTest::roundTrip()
{
    QFETCH(QList<QStringList>, rows);
    QCOMPARE(CsvTable::read(CsvTable::write(rows)), rows);
}

void CsvTableTest::spreadsheetForm()
{
    const QByteArray csv = CsvTable::write({{"time", "hex"}, {"1", "7E 01,\"x\""}});
    QCOMPARE(csv, QByteArray("\xEF\xBB\xBFtime,hex\r\n1,\"7E 01,\"\"x\"\"\"\r\n"));
}

QTEST_GUILESS_MAIN(CsvTableTest)
#include "tst_csvtable.moc"
