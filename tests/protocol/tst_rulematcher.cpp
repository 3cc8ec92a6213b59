// Velmora workbench. Licensed under the MIT licence.
#include "rulematcher.h"

#include <QTest>

class TestRuleMatcher : public QObject
{
    Q_OBJECT

private slots:
    void pattern_data();
    void pattern();
    void stream_data();
    void stream();
    void everyCut_data();
    void everyCut();
    void bounded();
};

static BytePattern parsed(const QString &text, bool hex)
{
    const std::optional<BytePattern> pattern = BytePattern::parse(text, hex, nullptr);
    if (!pattern)
        qFatal("bad pattern %s", qPrintable(text));
    return *pattern;
}

void TestRuleMatcher::pattern_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<bool>("valid");
    QTest::addRow("hex with spaces") << "01 03 ?? 00" << true << true;
    QTest::addRow("hex without spaces") << "0103??00" << true << true;
    QTest::addRow("hex half wildcard") << "01 0?" << true << false;
    QTest::addRow("hex odd digits") << "010" << true << false;
    QTest::addRow("hex letter") << "0G" << true << false;
    QTest::addRow("hex sign") << "+1" << true << false;
    QTest::addRow("text") << "AT?" << false << true;
    QTest::addRow("empty") << "" << false << false;
    QTest::addRow("too long") << QString(BytePattern::MaximumBytes + 1, QLatin1Char('a')) << false << false;
}

void TestRuleMatcher::pattern()
{
    QFETCH(QString, text);
    QFETCH(bool, hex);
    QFETCH(bool, valid);
    QString error;
    QCOMPARE(BytePattern::parse(text, hex, &error).has_value(), valid);
    QCOMPARE(error.isEmpty(), valid);
}

// What a far end may send, in the pieces the line delivers, and the rules it triggers.
void TestRuleMatcher::stream_data()
{
    QTest::addColumn<QStringList>("patterns");     // "h:" hexadecimal, else text
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QList<int>>("matched");

    const QStringList modbus{"h:01 03 00 00 00 0A C5 CD", "h:01 06 ?? ?? ?? ?? ?? ??"};
    QTest::addRow("two requests in one read")
        << modbus << QList<QByteArray>{QByteArray::fromHex("01030000000AC5CD01060001000F0000")}
        << QList<int>{0, 1};
    QTest::addRow("noise before")
        << modbus << QList<QByteArray>{QByteArray::fromHex("FF0001"), QByteArray::fromHex("030000000AC5CD")}
        << QList<int>{0};
    QTest::addRow("wildcards match any byte")
        << modbus << QList<QByteArray>{QByteArray::fromHex("0106FFFF00000000")} << QList<int>{1};
    QTest::addRow("first rule wins")
        << QStringList{"AT?", "ATZ"} << QList<QByteArray>{"ATZ"} << QList<int>{0};
    QTest::addRow("later rule where the first does not match")
        << QStringList{"ATX", "ATZ"} << QList<QByteArray>{"AT", "Z"} << QList<int>{1};
    QTest::addRow("a request matches once")
        << QStringList{"AT"} << QList<QByteArray>{"AT", "", "T"} << QList<int>{0};
    QTest::addRow("overlapping requests each once")
        << QStringList{"AA"} << QList<QByteArray>{"AAA", "A"} << QList<int>{0, 0};
    QTest::addRow("prefix of a request, then noise")
        << QStringList{"ABC"} << QList<QByteArray>{"AB", "XABC"} << QList<int>{0};
    QTest::addRow("no rules") << QStringList{} << QList<QByteArray>{"AT"} << QList<int>{};
}

static QList<BytePattern> patternsOf(const QStringList &texts)
{
    QList<BytePattern> result;
    for (const QString &text : texts) {
        const bool hex = text.startsWith(QLatin1String("h:"));
        result.append(parsed(hex ? text.mid(2) : text, hex));
    }
    return result;
}

void TestRuleMatcher::stream()
{
    QFETCH(QStringList, patterns);
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QList<int>, matched);
    RuleMatcher matcher;
    matcher.setPatterns(patternsOf(patterns));
    QList<int> found;
    for (const QByteArray &read : reads)
        found += matcher.feed(read);
    QCOMPARE(found, matched);
}

// A stream cut at every position, and into single bytes, matches as the whole does.
void TestRuleMatcher::everyCut_data()
{
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<QByteArray>("stream");
    QTest::addRow("modbus slave")
        << QStringList{"h:01 03 ?? ?? ?? ?? ?? ??", "h:01 10 ?? ?? 00 01", "h:02 03"}
        << QByteArray::fromHex("0001030000000AC5CD99011000010001FF0203010301");
    QTest::addRow("text commands")
        << QStringList{"AT\r", "AT+?\r", "?\n"}
        << QByteArray("xxAT\rAT+A\rAT+\r\n\nAT");
}

void TestRuleMatcher::everyCut()
{
    QFETCH(QStringList, patterns);
    QFETCH(QByteArray, stream);
    RuleMatcher whole;
    whole.setPatterns(patternsOf(patterns));
    const QList<int> expected = whole.feed(stream);
    QVERIFY(!expected.isEmpty());

    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        RuleMatcher pieces;
        pieces.setPatterns(patternsOf(patterns));
        QList<int> found = pieces.feed(stream.left(cut));
        found += pieces.feed(stream.mid(cut));
        QCOMPARE(found, expected);
    }
    RuleMatcher bytes;
    bytes.setPatterns(patternsOf(patterns));
    QList<int> found;
    for (char c : stream)
        found += bytes.feed(QByteArray(1, c));
    QCOMPARE(found, expected);
}

// Data that never matches is not kept, whatever arrives.
void TestRuleMatcher::bounded()
{
    RuleMatcher matcher;
    matcher.setPatterns({parsed("01 02 03 04 05", true)});
    QByteArray noise(100000, '\x01');
    for (int i = 0; i < 10; ++i) {
        QVERIFY(matcher.feed(noise).isEmpty());
        QVERIFY(matcher.pendingBytes() < 5);
    }
    QCOMPARE(matcher.feed(QByteArray::fromHex("02030405")), QList<int>{0});
    QCOMPARE(matcher.pendingBytes(), 0);
}

QTEST_APPLESS_MAIN(TestRuleMatcher)
#include "tst_rulematcher.moc"
