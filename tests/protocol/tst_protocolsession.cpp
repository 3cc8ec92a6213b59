// Velmora tests. Licensed under the MIT licence.
#include "portmap.h"
#include "session.h"

#include <pseudoterminal.h>
#include <portmapfile.h>
#include <systemcodepage.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A session answering by rules on Com 1, whose far end the test plays.
class AnswerBench
{
public:
    AnswerBench() : m_farEnd(m_folder.filePath(QStringLiteral("com1")))
    {
        PortMap::setFolder(m_folder.path());
        PortMap::setUserFolder(m_folder.path());
        writePortMap(m_folder.path(), {{1, m_farEnd.slavePath()}});
        session.loadOptions(m_folder.filePath(QStringLiteral("velmora.ini")));
        session.scanPorts({});
    }

    Session::Choices choices(const QList<ProtocolSet::Rule> &rules, bool hex) const
    {
        Session::Choices choices;
        choices.mode = TransferEngine::ModeAnswer;
        choices.outPort = choices.inPort = 1;
        choices.outSettings = choices.inSettings = QStringLiteral("9600,N,8,1");
        choices.format = hex ? CommandCodec::FormatHex : CommandCodec::FormatText;
        choices.answerRules = rules;
        return choices;
    }

    QTemporaryDir m_folder;
    PseudoTerminal m_farEnd;
    Session session;
};

ProtocolSet::Rule rule(const QString &expected, const QString &answer, bool hex = true,
                       int delay = 0)
{
    ProtocolSet::Rule rule;
    rule.expectedHex = rule.answerHex = hex;
    rule.expected = expected;
    rule.answer = answer;
    rule.delayMilliseconds = delay;
    return rule;
}

ProtocolSet::Rule modbusSlave()
{
    ProtocolSet::Rule slave = rule(QStringLiteral("01 03 ?? ?? ?? ?? ?? ??"),
                                   QStringLiteral("01 03 02 00 2A"));
    slave.checksum.algorithm = Checksum::Algorithm::Crc16Modbus;
    slave.checksum.order = Checksum::ByteOrder::LittleEndian;
    return slave;
}

const QByteArray ModbusRequest = QByteArray::fromHex("01030000000AC5CD");
const QByteArray ModbusReply = QByteArray::fromHex("010302002A") + QByteArray::fromHex("399B");

} // namespace

Q_DECLARE_METATYPE(ProtocolSet::Command)

// Mode 3 answering by rules, against a far end on a pseudo-terminal: however the line
// cuts the requests, each is answered once, by the first rule that matches. And a row of
// the command list sent the way the command box sends.
class TestProtocolSession : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void delay();
    void withoutRulesTheExpectedCommandAnswers();
    void rulesEditedWhileRunningApplyAtOnce();
    void rulesAnswerUnderAFrameRule();
    void listedCommand_data();
    void listedCommand();
    void listedCommandRefused();
    void receivedFramesAreChecked();
};

void TestProtocolSession::answers_data()
{
    QTest::addColumn<QList<ProtocolSet::Rule>>("rules");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<QByteArray>("answers");

    QTest::addRow("split into single bytes") << QList{modbusSlave()} << true
        << [] { QList<QByteArray> bytes; for (char c : ModbusRequest) bytes << QByteArray(1, c); return bytes; }()
        << ModbusReply;
    QTest::addRow("two requests in one write") << QList{modbusSlave()} << true
        << QList<QByteArray>{ModbusRequest + ModbusRequest} << ModbusReply + ModbusReply;
    QTest::addRow("noise before") << QList{modbusSlave()} << true
        << QList<QByteArray>{QByteArray::fromHex("FF00"), ModbusRequest} << ModbusReply;
    QTest::addRow("wildcards") << QList{modbusSlave()} << true
        << QList<QByteArray>{QByteArray::fromHex("0103FFEEDDCCBBAA")} << ModbusReply;
    QTest::addRow("two rules match, the first wins")
        << QList{rule(QStringLiteral("AT?"), QStringLiteral("first"), false),
                 rule(QStringLiteral("ATZ"), QStringLiteral("second"), false)}
        << false << QList<QByteArray>{"AT", "Z"} << QByteArray("first");
    QTest::addRow("a rule that is off does not answer")
        << QList{[] { ProtocolSet::Rule r = rule(QStringLiteral("AT"), QStringLiteral("no"), false);
                      r.enabled = false; return r; }(),
                 rule(QStringLiteral("AT"), QStringLiteral("OK"), false)}
        << false << QList<QByteArray>{"AT"} << QByteArray("OK");
}

void TestProtocolSession::answers()
{
    QFETCH(QList<ProtocolSet::Rule>, rules);
    QFETCH(bool, hex);
    QFETCH(QList<QByteArray>, writes);
    QFETCH(QByteArray, answers);
    AnswerBench bench;
    QSignalSpy sent(&bench.session, &Session::sent);
    QVERIFY(!bench.session.start(bench.choices(rules, hex)).refused());
    for (const QByteArray &piece : writes) {
        QVERIFY(bench.m_farEnd.write(piece));
        QTest::qWait(5);
    }
    // Each request once: nothing more comes after the answers.
    QCOMPARE(bench.m_farEnd.read(400).toHex(' '), answers.toHex(' '));
    QTRY_COMPARE(sent.size(), writes.size() == 1 && answers == ModbusReply + ModbusReply ? 2 : 1);
    if (hex)
        QCOMPARE(sent.first().first().toString(), QStringLiteral("01 03 02 00 2A 39 9B"));
    bench.session.stop();
}

// A rule's delay holds its answer back; a stop drops an answer still due.
void TestProtocolSession::delay()
{
    AnswerBench bench;
    ProtocolSet::Rule slow = rule(QStringLiteral("PING"), QStringLiteral("PONG"), false, 300);
    QVERIFY(!bench.session.start(bench.choices({slow}, false)).refused());
    QElapsedTimer clock;
    clock.start();
    QVERIFY(bench.m_farEnd.write("PING"));
    QCOMPARE(bench.m_farEnd.read(1000, 4), QByteArray("PONG"));
    QVERIFY2(clock.elapsed() >= 290, qPrintable(QString::number(clock.elapsed())));

    QVERIFY(bench.m_farEnd.write("PING"));
    QTest::qWait(50);
    bench.session.stop();
    QVERIFY(!bench.session.start(bench.choices({slow}, false)).refused());
    QCOMPARE(bench.m_farEnd.read(600), QByteArray());
    bench.session.stop();
}

// Rules that are all off leave the single expected command in charge.
void TestProtocolSession::withoutRulesTheExpectedCommandAnswers()
{
    AnswerBench bench;
    ProtocolSet::Rule off = rule(QStringLiteral("AT"), QStringLiteral("rule"), false);
    off.enabled = false;
    Session::Choices choices = bench.choices({off}, false);
    choices.inCommand = QStringLiteral("AT");
    choices.outCommand = QStringLiteral("OK");
    QVERIFY(!bench.session.start(choices).refused());
    QVERIFY(bench.m_farEnd.write("AT"));
    QCOMPARE(bench.m_farEnd.read(400), QByteArray("OK"));
    bench.session.stop();
}

// Rules edited during a run answer from the next request on; an answer already due
// goes out as its rule said when it was due.
void TestProtocolSession::rulesEditedWhileRunningApplyAtOnce()
{
    AnswerBench bench;
    ProtocolSet::Rule slow = rule(QStringLiteral("PING"), QStringLiteral("PONG"), false, 200);
    Session::Choices choices = bench.choices({slow}, false);
    bench.session.setChoices(choices);
    QSignalSpy received(&bench.session, &Session::received);
    QVERIFY(!bench.session.start(choices).refused());
    QVERIFY(bench.m_farEnd.write("PING"));
    const auto shown = [&received] {
        QString text;
        for (const QList<QVariant> &event : std::as_const(received))
            text += event.at(0).toString();
        return text;
    };
    QTRY_COMPARE(shown(), QStringLiteral("PING"));
    choices.answerRules = {rule(QStringLiteral("HELLO"), QStringLiteral("WORLD"), false)};
    bench.session.setChoices(choices);
    QCOMPARE(bench.m_farEnd.read(600), QByteArray("PONG"));
    QVERIFY(bench.m_farEnd.write("HELLO"));
    QCOMPARE(bench.m_farEnd.read(400), QByteArray("WORLD"));
    QVERIFY(bench.m_farEnd.write("PING"));
    QCOMPARE(bench.m_farEnd.read(400), QByteArray());
    bench.session.stop();
}

// A frame rule cuts what the pane shows; the rules still see every byte as it comes.
void TestProtocolSession::rulesAnswerUnderAFrameRule()
{
    AnswerBench bench;
    LineOptions options = bench.session.lineOptions();
    options.frames.kind = FrameRule::Terminator;
    options.frames.terminator = "\x7e";
    bench.session.setLineOptions(options);
    QVERIFY(!bench.session.start(bench.choices({modbusSlave()}, true)).refused());
    QVERIFY(bench.m_farEnd.write(ModbusRequest.left(3)));
    QTest::qWait(5);
    QVERIFY(bench.m_farEnd.write(ModbusRequest.mid(3)));
    QCOMPARE(bench.m_farEnd.read(400).toHex(' '), ModbusReply.toHex(' '));
    bench.session.stop();
}

void TestProtocolSession::listedCommand_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<ProtocolSet::Command>("command");
    QTest::addColumn<QByteArray>("sent");

    ProtocolSet::Command modbus;
    modbus.name = QStringLiteral("read");
    modbus.hex = true;
    modbus.data = QStringLiteral("01 03 00 00 00 0A");
    modbus.checksum.algorithm = Checksum::Algorithm::Crc16Modbus;
    modbus.checksum.order = Checksum::ByteOrder::LittleEndian;
    ProtocolSet::Command nmea;
    nmea.name = QStringLiteral("nmea");
    nmea.data = QStringLiteral("AT");
    nmea.checksum.algorithm = Checksum::Algorithm::Xor8;
    nmea.checksum.output = Checksum::Output::AsciiHex;
    for (bool running : {false, true}) {
        const char *when = running ? "during a run" : "while stopped";
        QTest::addRow("modbus request, %s", when) << running << modbus
            << QByteArray::fromHex("01030000000AC5CD");
        QTest::addRow("checksum before the line window's CR LF, %s", when) << running << nmea
            << QByteArray("AT15\r\n");
    }
    ProtocolSet::Command ownEnding = nmea;
    ownEnding.lineEnding = ProtocolSet::LineEnding::Lf;
    QTest::addRow("a row's own line ending") << true << ownEnding << QByteArray("AT15\n");
}

void TestProtocolSession::listedCommand()
{
    QFETCH(bool, running);
    QFETCH(ProtocolSet::Command, command);
    QFETCH(QByteArray, sent);
    AnswerBench bench;
    LineOptions options = bench.session.lineOptions();
    options.lineEnd = LineOptions::EndCRLF;
    bench.session.setLineOptions(options);
    Session::Choices choices = bench.choices({}, false);
    choices.mode = TransferEngine::ModeReceive;
    choices.period = 200;
    choices.outCommand = QStringLiteral("box");
    bench.session.setChoices(choices);
    if (running)
        QVERIFY(!bench.session.start(choices).refused());
    QSignalSpy shown(&bench.session, &Session::sent);
    QVERIFY(!bench.session.sendCommand(command).refused());
    QCOMPARE(bench.m_farEnd.read(1500, sent.size()).toHex(' '), sent.toHex(' '));
    QCOMPARE(bench.m_farEnd.read(300), QByteArray());
    QCOMPARE(shown.size(), 1);
    // The command box's text stays the session's.
    QCOMPARE(bench.session.choices().outCommand, QStringLiteral("box"));
    QCOMPARE(bench.session.choices().mode, qint16(TransferEngine::ModeReceive));
    bench.session.stop();
}

// A row that is no command is refused as the command box's text would be.
void TestProtocolSession::listedCommandRefused()
{
    AnswerBench bench;
    bench.session.setChoices(bench.choices({}, false));
    ProtocolSet::Command bad;
    bad.hex = true;
    bad.data = QStringLiteral("0G");
    const Session::Refusal refusal = bench.session.sendCommand(bad);
    QCOMPARE(refusal.what, Session::Refusal::BadCommand);
    QCOMPARE(refusal.fault.problem, CommandCodec::CommandProblem::NotHexDigit);
    QVERIFY(!bench.session.portsOpen());
}

// Frames, as the 25 ms gap parts them, are marked good or bad in the pane and the capture.
void TestProtocolSession::receivedFramesAreChecked()
{
    AnswerBench bench;
    Checksum modbus;
    modbus.algorithm = Checksum::Algorithm::Crc16Modbus;
    modbus.order = Checksum::ByteOrder::LittleEndian;
    bench.session.setReceiveChecksum(modbus);
    bench.session.setCaptureFile(bench.m_folder.path(), QStringLiteral("capture.txt"));
    bench.session.setCapturing(true);
    Session::Choices choices = bench.choices({}, true);
    choices.mode = TransferEngine::ModeReceive;
    QSignalSpy received(&bench.session, &Session::received);
    QVERIFY(!bench.session.start(choices).refused());

    // A good frame split over two writes, then a bad one.
    QVERIFY(bench.m_farEnd.write(ModbusReply.left(3)));
    QTest::qWait(5);
    QVERIFY(bench.m_farEnd.write(ModbusReply.mid(3)));
    QTest::qWait(80);
    QByteArray bad = ModbusReply;
    bad[2] = 0x03;
    QVERIFY(bench.m_farEnd.write(bad));
    QTRY_VERIFY(received.size() >= 4);
    QTest::qWait(80);
    QString pane;
    for (const QList<QVariant> &event : std::as_const(received))
        pane += (event.at(1).toBool() ? QStringLiteral("\n") : QString()) + event.at(0).toString();
    const QString good = QStringLiteral("010302002A399B 〔校验正确〕");
    const QString wrong = QStringLiteral("010303002A399B 〔校验错误，应为 68 5B〕");
    QCOMPARE(pane, good + QStringLiteral("\n") + wrong);
    bench.session.stop();

    QFile capture(bench.m_folder.filePath(QStringLiteral("capture.txt")));
    QVERIFY(capture.open(QIODevice::ReadOnly));
    const QString captured = SystemCodePage::toUnicode(capture.readAll());
    QVERIFY2(captured.contains(QStringLiteral("〔校验正确〕")), qPrintable(captured));
    QVERIFY2(captured.contains(QStringLiteral("〔校验错误，应为 68 5B〕")), qPrintable(captured));
}

QTEST_GUILESS_MAIN(TestProtocolSession)
#include "tst_protocolsession.moc"
