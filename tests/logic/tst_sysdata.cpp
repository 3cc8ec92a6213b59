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

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

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

// The record layout of sysdata.dat and the file rules around it.
class TestSysData : public QObject
{
    Q_OBJECT

private slots:
    void defaultsAreThirtyEightZeroBytes();
    void twoLetterCommandLayout();
    void fieldOffsets_data();
    void fieldOffsets();
    void roundTrip();
    void shortData_data();
    void shortData();
    void loadCreatesEmptyFile();
    void loadUnopenableGivesDefaults();
    void saveKeepsOlderTail();
    void longTextIsClippedOnCharacterBoundary_data();
    void longTextIsClippedOnCharacterBoundary();
};

void TestSysData::defaultsAreThirtyEightZeroBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sysdata.dat");
    QVERIFY(SysData().save(path));
    QCOMPARE(readAll(path), QByteArray(38, '\0'));
}

void TestSysData::twoLetterCommandLayout()
{
    SysData record;
    record.OutCommand = QStringLiteral("AB");
    record.SaveInfo = 1;
    const QByteArray expected = QByteArray(32, '\0') + QByteArray("\x02\x00" "AB" "\x00\x00", 6)
        + QByteArray("\x01\x00", 2);
    QCOMPARE(record.toBytes(), expected);
}

void TestSysData::fieldOffsets_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("index");
    const char *names[] = { "OutPort", "InPort", "IOState", "OutSetB", "OutSetD", "OutSetP",
                            "OutSetS", "OutHand", "InSetB", "InSetD", "InSetP", "InSetS",
                            "InHand", "ComFormat", "ComAuto", "ComTime" };
    for (int i = 0; i < 16; ++i)
        QTest::addRow("%s at %d", names[i], 2 * i) << 2 * i << i;
}

void TestSysData::fieldOffsets()
{
    QFETCH(int, offset);
    QFETCH(int, index);
    const QByteArray bytes = distinctRecord().toBytes();
    QCOMPARE(bytes.mid(offset, 2), le16(qint16(index + 1)));
}

void TestSysData::roundTrip()
{
    const SysData record = distinctRecord();
    const QByteArray bytes = record.toBytes();
    const QByteArray inCommand = QStringLiteral("应答").toLocal8Bit();
    QCOMPARE(bytes.size(), 38 + 4 + inCommand.size());
    QCOMPARE(bytes.mid(38, 2), le16(qint16(inCommand.size())));
    QCOMPARE(bytes.right(2), le16(-1));
    QVERIFY(SysData::fromBytes(bytes) == record);
}

void TestSysData::shortData_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<qint16>("inPort");
    QTest::addColumn<qint16>("comTime");
    QTest::addColumn<QString>("outCommand");
    QTest::addColumn<QString>("inCommand");
    QTest::addColumn<qint16>("saveInfo");
    const QString both = QStringLiteral("0A1B");
    QTest::addRow("empty file") << 0 << qint16(0) << qint16(0) << QString() << QString() << qint16(0);
    QTest::addRow("half an integer") << 3 << qint16(0) << qint16(0) << QString() << QString() << qint16(0);
    QTest::addRow("integers only") << 32 << qint16(2) << qint16(16) << QString() << QString() << qint16(0);
    QTest::addRow("half a count") << 33 << qint16(2) << qint16(16) << QString() << QString() << qint16(0);
    QTest::addRow("text cut by the end") << 36 << qint16(2) << qint16(16) << QStringLiteral("0A")
                                         << QString() << qint16(0);
    QTest::addRow("second text missing") << 38 << qint16(2) << qint16(16) << both << QString()
                                         << qint16(0);
    QTest::addRow("save flag missing") << 40 + 6 << qint16(2) << qint16(16) << both
                                       << QStringLiteral("应答") << qint16(0);
}

void TestSysData::shortData()
{
    QFETCH(int, length);
    QFETCH(qint16, inPort);
    QFETCH(qint16, comTime);
    QFETCH(QString, outCommand);
    QFETCH(QString, inCommand);
    QFETCH(qint16, saveInfo);
    const SysData record = SysData::fromBytes(distinctRecord().toBytes().left(length));
    QCOMPARE(record.InPort, inPort);
    QCOMPARE(record.ComTime, comTime);
    QCOMPARE(record.OutCommand, outCommand);
    QCOMPARE(record.InCommand, inCommand);
    QCOMPARE(record.SaveInfo, saveInfo);
}

void TestSysData::loadCreatesEmptyFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sysdata.dat");
    bool ok = false;
    QVERIFY(SysData::load(path, &ok) == SysData());
    QVERIFY(ok);
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFile(path).size(), 0);
}

void TestSysData::loadUnopenableGivesDefaults()
{
    QTemporaryDir dir;
    bool ok = true;
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
    const QByteArray after = readAll(path);
    const QByteArray record = shorter.toBytes();
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.left(record.size()), record);
    QCOMPARE(after.mid(record.size()), before.mid(record.size()));
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
