// Velmora workbench. Licensed under the MIT licence.
#include "sysdata.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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

// Every integer field holds its position in the file plus one, so a swap shows.
SysData distinctRecord()
{
    SysData record;
    qint16 value = 1;
    for (qint16 *field : { &record.OutPort, &record.InPort, &record.IOState, &record.OutSetB,
                           &record.OutSetD, &record.OutSetP, &record.OutSetS, &record.OutHand,
                           &record.InSetB, &record.InSetD, &record.InSetP, &record.InSetS,
                           &record.InHand, &record.ComFormat, &record.ComAuto, &record.ComTime })
        *field = value++;
    record.OutCommand = QStringLiteral("0A1B");
    record.InCommand = QStringLiteral("应答");
    record.SaveInfo = -1;
    return record;
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
    void loadCreatesOrFails();
    void saveKeepsOlderTail();
    void longTextIsClippedOnCharacterBoundary_data();
    void longTextIsClippedOnCharacterBoundary();
};

void TestSysData::layout_data()
{
    QTest::addColumn<SysData>("record");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addRow("defaults") << SysData() << QByteArray(38, '\0');

    SysData twoLetters;
    twoLetters.OutCommand = QStringLiteral("AB");
    twoLetters.SaveInfo = 1;
    QTest::addRow("two-letter command") << twoLetters
        << QByteArray(32, '\0') + QByteArray("\x02\x00" "AB" "\x00\x00" "\x01\x00", 8);

    QByteArray fields;
    for (qint16 value = 1; value <= 16; ++value)
        fields += le16(value);
    const QByteArray inCommand = QStringLiteral("应答").toLocal8Bit();
    QTest::addRow("every field distinct") << distinctRecord()
        << fields + le16(4) + "0A1B" + le16(qint16(inCommand.size())) + inCommand + le16(-1);
}

void TestSysData::layout()
{
    QFETCH(SysData, record);
    QFETCH(QByteArray, bytes);
    QCOMPARE(record.toBytes(), bytes);
    QVERIFY(SysData::fromBytes(bytes) == record);
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

void TestSysData::loadCreatesOrFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sysdata.dat");
    bool ok = false;
    QVERIFY(SysData::load(path, &ok) == SysData());
    QVERIFY(ok);
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFile(path).size(), 0);

    // A folder cannot be opened as the file.
    QVERIFY(SysData::load(dir.path(), &ok) == SysData());
    QVERIFY(!ok);
    QVERIFY(!distinctRecord().save(dir.path()));
}

void TestSysData::saveKeepsOlderTail()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sysdata.dat");
    SysData longer = distinctRecord();
    longer.OutCommand = QStringLiteral("0102030405060708");
    QVERIFY(longer.save(path));
    const QByteArray before = readAll(path);

    const SysData shorter = distinctRecord();
    QVERIFY(shorter.save(path));
    const QByteArray record = shorter.toBytes();
    QCOMPARE(readAll(path), record + before.mid(record.size()));
    QVERIFY(SysData::load(path) == shorter);
}

void TestSysData::longTextIsClippedOnCharacterBoundary_data()
{
    QTest::addColumn<QString>("character");
    QTest::addRow("one-byte letters") << QStringLiteral("A");
    QTest::addRow("multi-byte characters") << QStringLiteral("汉");
}

void TestSysData::longTextIsClippedOnCharacterBoundary()
{
    QFETCH(QString, character);
    const int characterBytes = character.toLocal8Bit().size();
    SysData record;
    record.OutCommand = character.repeated(SysData::MaxTextBytes / characterBytes + 10);
    record.InCommand = QStringLiteral("X");
    const SysData back = SysData::fromBytes(record.toBytes());
    const int keptBytes = back.OutCommand.toLocal8Bit().size();
    QVERIFY(keptBytes <= SysData::MaxTextBytes);
    QVERIFY(keptBytes > SysData::MaxTextBytes - characterBytes);
    QVERIFY(record.OutCommand.startsWith(back.OutCommand));
    QCOMPARE(back.InCommand, QStringLiteral("X"));
}

QTEST_GUILESS_MAIN(TestSysData)
#include "tst_sysdata.moc"
