// Velmora workbench. Licensed under the MIT licence.
#include "sysdata.h"
#include "systemcodepage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QStringDecoder>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray le16(qint16 value)
{
    return QByteArray(1, char(value & 0xFF)) + QByteArray(1, char((value >> 8) & 0xFF));
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

SysData withTexts(const QString &outCommand, const QString &inCommand, qint16 saveInfo = 0)
{
    SysData record;
    record.OutCommand = outCommand;
    record.InCommand = inCommand;
    record.SaveInfo = saveInfo;
    return record;
}

// Every integer field holds its position in the file plus one, so a swap shows.
SysData distinctRecord()
{
    SysData record = withTexts(QStringLiteral("0A1B"), QStringLiteral("应答"), -1);
    qint16 value = 1;
    for (qint16 *field : { &record.OutPort, &record.InPort, &record.IOState, &record.OutSetB,
                           &record.OutSetD, &record.OutSetP, &record.OutSetS, &record.OutHand,
                           &record.InSetB, &record.InSetD, &record.InSetP, &record.InSetS,
                           &record.InHand, &record.ComFormat, &record.ComAuto, &record.ComTime })
        *field = value++;
    return record;
}

QByteArray zeroIntegers(const QByteArray &outCommand, const QByteArray &inCommand)
{
    return QByteArray(32, '\0') + le16(qint16(outCommand.size())) + outCommand
        + le16(qint16(inCommand.size())) + inCommand + le16(0);
}

} // namespace

Q_DECLARE_METATYPE(SysData)

// The record layout of sysdata.dat and the file rules around it.
class TestSysData : public QObject
{
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void shortData_data();
    void shortData();
    void textsAreCutToFit_data();
    void textsAreCutToFit();
    void fileRules();
    void linksAreNeverFollowed();
    void damagedFiles_data();
    void damagedFiles();
};

void TestSysData::layout_data()
{
    QTest::addColumn<SysData>("record");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("defaults") << SysData() << QByteArray(38, '\0');

    QByteArray fields;
    for (qint16 value = 1; value <= 16; ++value)
        fields += le16(value);
    const QByteArray answer = QStringLiteral("应答").toLocal8Bit();
    QTest::addRow("every field distinct") << distinctRecord()
        << fields + le16(4) + "0A1B" + le16(qint16(answer.size())) + answer + le16(-1);

    // Overlong texts are cut at the last whole character that fits.
    for (const QString &character : { QStringLiteral("A"), QStringLiteral("汉") }) {
        const QByteArray encoded = character.toLocal8Bit();
        const int fitting = SysData::MaxTextBytes / encoded.size();
        QTest::addRow("overlong %d-byte characters", int(encoded.size()))
            << withTexts(character.repeated(fitting + 10), QStringLiteral("X"))
            << zeroIntegers(encoded.repeated(fitting), "X");
    }
}

void TestSysData::layout()
{
    QFETCH(SysData, record);
    QFETCH(QByteArray, bytes);
    QCOMPARE(record.toBytes(), bytes);
    QCOMPARE(SysData::fromBytes(bytes).toBytes(), bytes);
}

void TestSysData::shortData_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("integers");
    QTest::addColumn<QString>("outCommand");
    QTest::addColumn<QString>("inCommand");
    QTest::addRow("empty file") << 0 << false << QString() << QString();
    QTest::addRow("half an integer") << 3 << false << QString() << QString();
    QTest::addRow("integers only") << 32 << true << QString() << QString();
    QTest::addRow("half a count") << 33 << true << QString() << QString();
    QTest::addRow("text cut by the end") << 36 << true << QStringLiteral("0A") << QString();
    QTest::addRow("second text missing") << 38 << true << QStringLiteral("0A1B") << QString();
    QTest::addRow("save flag missing") << 46 << true << QStringLiteral("0A1B") << QStringLiteral("应答");
}

void TestSysData::shortData()
{
    QFETCH(int, length);
    QFETCH(bool, integers);
    QFETCH(QString, outCommand);
    QFETCH(QString, inCommand);
    const SysData record = SysData::fromBytes(distinctRecord().toBytes().left(length));
    QCOMPARE(record.InPort, qint16(integers ? 2 : 0));
    QCOMPARE(record.ComTime, qint16(integers ? 16 : 0));
    QCOMPARE(record.OutCommand, outCommand);
    QCOMPARE(record.InCommand, inCommand);
    QCOMPARE(record.SaveInfo, qint16(0));
}

// The code page's reading of stored text bytes, a leading U+FEFF kept as a character.
static QString decoded(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::ConvertInitialBom);
    return decoder(bytes);
}

static QString repeatedUnits(std::initializer_list<char16_t> units, int times)
{
    QString once;
    for (char16_t unit : units)
        once += QChar(unit);
    return once.repeated(times);
}

// Whatever a text holds, its stored bytes stay within the 16-bit count and read back
// as the text cut at a character boundary, and the fields around it keep their values.
void TestSysData::textsAreCutToFit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addRow("empty") << QString();
    QTest::addRow("22000 unpaired low surrogates") << repeatedUnits({0xDC00}, 22000);
    QTest::addRow("22000 unpaired high surrogates") << repeatedUnits({0xD800}, 22000);
    QTest::addRow("12000 unpaired surrogates") << repeatedUnits({0xDFFF}, 12000);
    QTest::addRow("high surrogates before pairs") << repeatedUnits({0xD83D, 0xD83D, 0xDE00}, 9000);
    QTest::addRow("pairs reversed") << repeatedUnits({0xDE00, 0xD83D}, 12000);
    QTest::addRow("4-byte characters across the cap") << repeatedUnits({0xD83D, 0xDE00}, 8200);
    QTest::addRow("ASCII then a pair on the cap")
        << QString(QLatin1Char('A')).repeated(SysData::MaxTextBytes - 2) + repeatedUnits({0xD83D, 0xDE00}, 2);
    QTest::addRow("mixed widths") << QStringLiteral("a汉é\U0001F600").repeated(4000);
    QTest::addRow("control and null characters") << repeatedUnits({0, 0xFFFF, 0xFFFE, 0x7F}, 10000);
    QTest::addRow("leading byte order mark") << repeatedUnits({0xFEFF, 'A'}, 3);
    QTest::addRow("exactly the cap") << QString(QLatin1Char('B')).repeated(SysData::MaxTextBytes);
}

void TestSysData::textsAreCutToFit()
{
    QFETCH(QString, text);
    SysData record = distinctRecord();
    record.OutCommand = text;
    record.InCommand = text;
    const QByteArray bytes = record.toBytes();

    const QByteArray whole = SystemCodePage::fromUnicode(text);
    const int count = quint16(qFromLittleEndian<qint16>(bytes.constData() + 32));
    QVERIFY2(count <= SysData::MaxTextBytes, qPrintable(QString::number(count)));
    QCOMPARE(bytes.size(), 38 + 2 * count);
    const QByteArray stored = bytes.mid(34, count);
    QVERIFY(whole.startsWith(stored));
    // Nothing is cut that would have fitted: the next character takes at most 4 bytes.
    QVERIFY(stored.size() == whole.size() || stored.size() > SysData::MaxTextBytes - 4);

    const SysData back = SysData::fromBytes(bytes);
    QCOMPARE(back.OutCommand, decoded(stored));
    QCOMPARE(back.InCommand, back.OutCommand);
    QVERIFY(decoded(whole).startsWith(back.OutCommand));
    SysData expected = distinctRecord();
    expected.OutCommand = back.OutCommand;
    expected.InCommand = back.InCommand;
    QVERIFY(back == expected);
    QCOMPARE(back.toBytes(), bytes);
}

void TestSysData::fileRules()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sysdata.dat");
    // A longer record written before keeps its tail.
    SysData longer = distinctRecord();
    longer.OutCommand = QStringLiteral("0102030405060708");
    QVERIFY(longer.save(path));
    const SysData shorter = distinctRecord();
    QVERIFY(shorter.save(path));
    const QByteArray record = shorter.toBytes();
    QCOMPARE(readAll(path), record + longer.toBytes().mid(record.size()));
    bool ok = false;
    QVERIFY(SysData::load(path, &ok) == shorter);
    QVERIFY(ok);

    // A folder cannot be opened as the file.
    QVERIFY(SysData::load(dir.path(), &ok) == SysData());
    QVERIFY(!ok);
    QVERIFY(!shorter.save(dir.path()));
}

// A link in place of the file is neither read nor written: the file it names stays as
// it was, also when it does not exist yet.
void TestSysData::linksAreNeverFollowed()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sysdata.dat");
    const QString other = dir.filePath("other");
    const QByteArray content("not a settings record, and not to be overwritten");
    {
        QFile file(other);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QVERIFY(QFile::link(other, path));
    bool ok = true;
    QVERIFY(SysData::load(path, &ok) == SysData());
    QVERIFY(!ok);
    QVERIFY(!distinctRecord().save(path));
    QCOMPARE(readAll(other), content);

    QVERIFY(QFile::remove(path) && QFile::remove(other));
    QVERIFY(QFile::link(other, path));
    QVERIFY(SysData::load(path, &ok) == SysData());
    QVERIFY(!distinctRecord().save(path));
    QVERIFY(!QFile::exists(other));
}

// Whatever the file holds, reading it gives a record and writing replaces its front.
void TestSysData::damagedFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addRow("empty") << QByteArray();
    QByteArray garbage(3 * 1024 * 1024, '\0');
    quint32 state = 12345;
    for (char &byte : garbage) {
        state = state * 1103515245u + 12345u;
        byte = char(state >> 24);
    }
    QTest::addRow("megabytes of garbage") << garbage;
    QTest::addRow("counts of 65535") << QByteArray(100, '\xFF');
}

void TestSysData::damagedFiles()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath("sysdata.dat");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    bool ok = false;
    const SysData read = SysData::load(path, &ok);
    QVERIFY(ok);
    QVERIFY(read == SysData::fromBytes(content));
    QVERIFY(read.toBytes().size() <= 38 + 2 * SysData::MaxTextBytes);
    QVERIFY(distinctRecord().save(path));
    const QByteArray record = distinctRecord().toBytes();
    QCOMPARE(readAll(path), record + content.mid(record.size()));
    QVERIFY(SysData::load(path) == distinctRecord());
}

QTEST_GUILESS_MAIN(TestSysData)
#include "tst_sysdata.moc"
