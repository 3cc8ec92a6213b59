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
    void fileRules();
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

QTEST_GUILESS_MAIN(TestSysData)
#include "tst_sysdata.moc"
