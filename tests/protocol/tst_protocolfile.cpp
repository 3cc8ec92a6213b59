// Velmora workbench. Licensed under the MIT licence.
#include "protocolfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestProtocolFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void faults_data();
    void faults();
    void storeKeepsWhatItCannotRead_data();
    void storeKeepsWhatItCannotRead();
    void importAddsRows();
    void renamedCommandKeepsItsSteps();
};

static ProtocolSet sampleSet()
{
    ProtocolSet set;
    ProtocolSet::Command read;
    read.name = QStringLiteral("读保持寄存器");
    read.hex = true;
    read.data = QStringLiteral("01 03 00 00 00 0A");
    read.lineEnding = ProtocolSet::LineEnding::None;
    read.checksum.algorithm = Checksum::Algorithm::Crc16Modbus;
    read.checksum.order = Checksum::ByteOrder::LittleEndian;
    read.hotkey = 1;
    ProtocolSet::Command at;
    at.name = QStringLiteral("AT");
    at.data = QStringLiteral("AT");
    at.lineEnding = ProtocolSet::LineEnding::CrLf;
    at.checksum.algorithm = Checksum::Algorithm::Custom;
    at.checksum.custom = {12, 0x80F, 0, false, true, 0};
    at.checksum.output = Checksum::Output::AsciiHex;
    set.commands = {read, at};

    ProtocolSet::Rule rule;
    rule.expectedHex = true;
    rule.expected = QStringLiteral("01 03 ?? ?? ?? ?? ?? ??");
    rule.answerHex = true;
    rule.answer = QStringLiteral("01 03 02 00 2A");
    rule.checksum = read.checksum;
    rule.delayMilliseconds = 250;
    ProtocolSet::Rule off;
    off.enabled = false;
    off.expected = QStringLiteral("AT?");
    off.answer = QStringLiteral("OK");
    set.rules = {rule, off};

    using Step = ProtocolSet::Step;
    set.sequence = {{Step::RepeatBegin}, {Step::Send, QStringLiteral("AT")},
                    {Step::Expect, {}, 500, false, QStringLiteral("OK")},
                    {Step::Wait, {}, 100}, {Step::RepeatEnd, {}, 0, false, {}, 10}};
    set.namedSequences = {{QStringLiteral("smoke"), {{Step::Send, QStringLiteral("AT")}}},
                          {QStringLiteral("soak"), set.sequence}};
    set.stopAtFailure = false;
    set.receiveChecksum = read.checksum;
    return set;
}

void TestProtocolFile::roundTrip()
{
    const ProtocolSet set = sampleSet();
    const QByteArray json = ProtocolFile::toJson(set);
    const ProtocolFile::Parsed parsed = ProtocolFile::parse(json);
    QVERIFY2(parsed.set, qPrintable(parsed.reason));
    QVERIFY(*parsed.set == set);
    QCOMPARE(ProtocolFile::toJson(*parsed.set), json);
    QVERIFY(ProtocolFile::parse(ProtocolFile::toJson(ProtocolSet())).set);
    // A set without named sequences writes no key for them: files read as before.
    QVERIFY(!ProtocolFile::toJson(ProtocolSet()).contains("\"sequences\""));
}

// A file that does not parse names the line of its fault and the reason.
void TestProtocolFile::faults_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");
    const QByteArray head = "{\n\"format\": \"velmora-protocol\",\n\"version\": 1,\n";
    QTest::addRow("syntax") << head + "\"commands\": [\n{\"name\": \"a\",,}\n]}" << 5 << "";
    QTest::addRow("not ours") << QByteArray("{\"commands\": []}") << 1 << "velmora-protocol";
    QTest::addRow("newer version") << QByteArray("{\"format\": \"velmora-protocol\",\n\"version\": 9}")
                                   << 2 << "版本 9";
    QTest::addRow("bad hex data")
        << head + "\"commands\": [{\"name\": \"a\", \"format\": \"hex\", \"data\": \"0x\"}]}" << 4
        << "commands 第1项";
    QTest::addRow("hotkey F13")
        << head + "\"commands\": [{\"name\": \"a\", \"hotkey\": \"F13\"}]}" << 4 << "F1 到 F12";
    QTest::addRow("delay over 10 s")
        << head + "\"rules\": [\n{\"expected\": \"A\", \"delayMs\": 10001}]}" << 4 << "rules 第1项";
    QTest::addRow("delay beyond any number")
        << head + "\"rules\": [\n{\"expected\": \"A\", \"delayMs\": 1e107}]}" << 4 << "delayMs";
    QTest::addRow("unknown step")
        << head + "\"sequence\": [{\"step\": \"jump\"}]}" << 4 << "sequence 第1项";
    QTest::addRow("repeat without end")
        << head + "\"sequence\": [{\"step\": \"repeat\"}]}" << 4 << "\"end\"";
    QTest::addRow("named sequence without a name")
        << head + "\"sequence\": [],\n\"sequences\": [{\"steps\": []}]}" << 5 << "sequences 第1项";
    QTest::addRow("named sequence called as the main one")
        << head + "\"sequences\": [{\"name\": \"sequence\"}]}" << 4 << "\"sequence\"";
    QTest::addRow("two sequences of one name")
        << head + "\"sequences\": [{\"name\": \"a\"},\n{\"name\": \"a\"}]}" << 4 << "sequences 第2项";
    QTest::addRow("named sequence with a bad step")
        << head + "\"sequences\": [{\"name\": \"a\", \"steps\": [{\"step\": \"wait\"}]}]}" << 4 << "steps 第1项";
    QTest::addRow("named sequence with a repeat without end")
        << head + "\"sequences\": [{\"name\": \"a\", \"steps\": [{\"step\": \"repeat\"}]}]}" << 4 << "\"end\"";
}

void TestProtocolFile::faults()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(QString, reason);
    const ProtocolFile::Parsed parsed = ProtocolFile::parse(text);
    QVERIFY(!parsed.set);
    QCOMPARE(parsed.line, line);
    QVERIFY2(parsed.reason.contains(reason), qPrintable(parsed.reason));
}

// The store writes only over what it read or wrote itself.
void TestProtocolFile::storeKeepsWhatItCannotRead_data()
{
    QTest::addColumn<QByteArray>("before");      // the file before the load; empty: none
    QTest::addColumn<QByteArray>("meanwhile");   // written by someone else after the load
    QTest::addColumn<int>("saved");
    const QByteArray good = ProtocolFile::toJson(sampleSet());
    QTest::addRow("no file") << QByteArray() << QByteArray() << int(ProtocolStore::Result::Done);
    QTest::addRow("its own file") << good << QByteArray() << int(ProtocolStore::Result::Done);
    QTest::addRow("a broken file") << QByteArray("{\"format\": \"velmora-protocol\", ")
                                   << QByteArray() << int(ProtocolStore::Result::Unreadable);
    QTest::addRow("changed since read") << good << good + " " << int(ProtocolStore::Result::Changed);
    QTest::addRow("created since read") << QByteArray() << good << int(ProtocolStore::Result::Changed);
}

void TestProtocolFile::storeKeepsWhatItCannotRead()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, meanwhile);
    QFETCH(int, saved);
    QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(ProtocolFile::FileName));
    const auto put = [&path](const QByteArray &bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    if (!before.isEmpty())
        put(before);
    ProtocolStore store(path);
    ProtocolSet set;
    store.load(&set);
    if (!meanwhile.isEmpty())
        put(meanwhile);
    set.commands.clear();   // less than the file held
    QCOMPARE(int(store.save(set)), saved);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    if (saved == int(ProtocolStore::Result::Done)) {
        QCOMPARE(after, ProtocolFile::toJson(set));
        // The next save goes over the store's own file.
        set.rules.clear();
        QCOMPARE(store.save(set), ProtocolStore::Result::Done);
    } else {
        QCOMPARE(after, meanwhile.isEmpty() ? before : meanwhile);
    }
}

// A colleague's file adds its rows: a name taken already gets a number, a hotkey taken
// already is dropped.
void TestProtocolFile::importAddsRows()
{
    ProtocolSet mine = sampleSet();
    ProtocolSet theirs = sampleSet();
    theirs.commands[1].hotkey = 2;
    mine.merge(theirs);
    QCOMPARE(mine.commands.size(), 4);
    QCOMPARE(mine.rules.size(), 4);
    QCOMPARE(mine.commands.at(2).name, QStringLiteral("读保持寄存器 (2)"));
    QCOMPARE(mine.commands.at(2).hotkey, 0);
    QCOMPARE(mine.commands.at(3).name, QStringLiteral("AT (2)"));
    QCOMPARE(mine.commands.at(3).hotkey, 2);
}

// Every sequence, the named ones too, sends the renamed command under its new name.
void TestProtocolFile::renamedCommandKeepsItsSteps()
{
    ProtocolSet set = sampleSet();
    set.renameCommand(1, QStringLiteral("AT+CSQ"));
    QCOMPARE(set.commands.at(1).name, QStringLiteral("AT+CSQ"));
    QCOMPARE(set.sequence.at(1).command, QStringLiteral("AT+CSQ"));
    for (const ProtocolSet::NamedSequence &named : set.namedSequences) {
        for (const ProtocolSet::Step &step : named.steps) {
            if (step.kind == ProtocolSet::Step::Send)
                QCOMPARE(step.command, QStringLiteral("AT+CSQ"));
        }
    }
    QCOMPARE(set.commandNamed(QStringLiteral("AT")), -1);
}

QTEST_APPLESS_MAIN(TestProtocolFile)
#include "tst_protocolfile.moc"
