// Velmora tests. Licensed under the MIT licence.
#include "capturelog.h"
#include "portmap.h"
#include "transferengine.h"

#include <portmapfile.h>
#include <pseudoterminal.h>

#include <QTranslator>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr qint16 InPort = 16;
const QString Settings = QStringLiteral("9600,N,8,1");

// The engine receiving on a far end mapped as Com 16, under a frame rule.
class FramedBench
{
public:
    explicit FramedBench(const FrameRule &rule, qint16 format = 1)
    {
        PortMap::setFolder(m_folder.path());
        writePortMap(m_folder.path(), {{InPort, far.slavePath()}});
        engine.capture().setFile(m_folder.path(), QStringLiteral("capture.txt"));
        engine.setCapturing(true);
        LineOptions options;
        options.frames = rule;
        options.hexSpace = true;
        engine.setLineOptions(options);
        TransferEngine::Run run;
        run.mode = TransferEngine::ModeReceive;
        engine.openInPort({InPort, Settings, 0}, 1, format);
        engine.begin(run, {});
    }

    // The far end writes each piece, then lets the program read for `pauseMs`.
    void write(const QList<QByteArray> &pieces, int pauseMs)
    {
        for (const QByteArray &piece : pieces) {
            far.write(piece);
            QTest::qWait(pauseMs);
        }
    }

    // The pane's lines as the received signals build them: a new line where the signal
    // says so, and where the text breaks its line.
    QStringList lines() const
    {
        QString shown;
        for (const QList<QVariant> &event : received) {
            if (event.at(1).toBool())
                shown += QStringLiteral("\r\n");
            shown += event.at(0).toString();
        }
        return shown.split(QStringLiteral("\r\n"));
    }

    QString captured()
    {
        engine.writeCapture();
        QFile file(m_folder.filePath(QStringLiteral("capture.txt")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(file.readAll());
    }

    QStringList capturedLines()
    {
        QStringList lines = captured().split(QStringLiteral("\r\n"));
        lines.removeAll(QString());
        return lines.filter(QStringLiteral("接收数据："));
    }

    QTemporaryDir m_folder;
    PseudoTerminal far;
    TransferEngine engine;
    QSignalSpy received{&engine, &TransferEngine::received};
};

FrameRule ruleOf(FrameRule::Kind kind)
{
    FrameRule rule;
    rule.kind = kind;
    return rule;
}

Checksum modbus()
{
    Checksum checksum;
    checksum.algorithm = Checksum::Algorithm::Crc16Modbus;
    checksum.order = Checksum::ByteOrder::LittleEndian;
    return checksum;
}

// A Modbus reply with its right CRC, and one with a byte changed, which should have
// ended in 68 5B.
const QByteArray GoodReply = QByteArray::fromHex("010302002A399B");
const QByteArray BadReply = QByteArray::fromHex("010303002A399B");

// The marks of the window in English, as the translation gives them.
class EnglishMarks : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (qstrcmp(context, "CaptureLog") != 0)
            return {};
        if (qstrcmp(source, "[跳过] ") == 0)
            return QStringLiteral("[skipped] ");
        if (qstrcmp(source, " 〔校验正确〕") == 0)
            return QStringLiteral(" [checksum right]");
        return {};
    }
};

} // namespace

// The receive path under a frame rule, against a far end on a pseudo-terminal: one line
// of the pane and one capture record per frame.
class TestFramedReceive : public QObject
{
    Q_OBJECT

private slots:
    void framesByGap_data();
    void framesByGap();
    void framesByTerminator();
    void partialFrameShownAfterQuietAndAtStop();
    void framesCarryTheirVerdict_data();
    void framesCarryTheirVerdict();
    void marksFollowTheWindowLanguageCaptureKeepsChinese();
    void textFramesEndTheirOwnLines();
    void frameRuleKeptInOptionsFile();
};

void TestFramedReceive::framesByGap_data()
{
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<QStringList>("lines");

    // Far apart beyond any scheduling delay, and all in one write.
    QTest::addRow("pauses longer than the gap")
        << 150 << QStringList{"01 03 00", "01 03 01", "01 03 02"};
    QTest::addRow("no pause") << 0 << QStringList{"01 03 00 01 03 01 01 03 02"};
}

void TestFramedReceive::framesByGap()
{
    QFETCH(int, pauseMs);
    QFETCH(QStringList, lines);

    FrameRule rule = ruleOf(FrameRule::GapMilliseconds);
    rule.gapMilliseconds = 50;
    FramedBench bench(rule);
    const QList<QByteArray> frames{QByteArray("\x01\x03\x00", 3), QByteArray("\x01\x03\x01", 3),
                                   QByteArray("\x01\x03\x02", 3)};
    if (pauseMs == 0)
        bench.write({frames.join()}, 100);
    else
        bench.write(frames, pauseMs);
    QCOMPARE(bench.lines(), lines);
    QCOMPARE(bench.capturedLines().size(), lines.size());
}

void TestFramedReceive::framesByTerminator()
{
    FrameRule rule = ruleOf(FrameRule::Terminator);
    rule.terminator = "\x7e";
    FramedBench bench(rule);
    bench.write({"\x7e" "ab\x7e" "c", "d\x7e"}, 60);
    QCOMPARE(bench.lines(), (QStringList{"7E", "61 62 7E", "63 64 7E"}));
    QCOMPARE(bench.capturedLines(),
             (QStringList{"接收数据：7E", "接收数据：61 62 7E", "接收数据：63 64 7E"}));
}

// Bytes a length rule holds are never lost: the line's quiet gives them up as skipped,
// and so does the stop.
void TestFramedReceive::partialFrameShownAfterQuietAndAtStop()
{
    FrameRule rule = ruleOf(FrameRule::FixedLength);
    rule.fixedLength = 4;
    FramedBench bench(rule, 0);
    bench.write({"abcdef"}, 200);
    QCOMPARE(bench.lines(), (QStringList{"abcd", "[跳过] ef"}));
    bench.write({"gh"}, 5);
    bench.engine.stop();
    QCOMPARE(bench.lines(), (QStringList{"abcd", "[跳过] ef", "[跳过] gh"}));
}

void TestFramedReceive::framesCarryTheirVerdict_data()
{
    QTest::addColumn<FrameRule>("rule");
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QList<int>>("pausesMs");
    QTest::addColumn<QString>("ending");

    FrameRule terminator = ruleOf(FrameRule::Terminator);
    terminator.terminator = "\r\n";
    QTest::addRow("terminator, a frame split across reads and two frames in one")
        << terminator << QList<QByteArray>{GoodReply.left(3), GoodReply.mid(3) + "\r\n" + BadReply + "\r\n"}
        << QList<int>{20, 100} << QStringLiteral(" 0D 0A");
    FrameRule fixed = ruleOf(FrameRule::FixedLength);
    fixed.fixedLength = int(GoodReply.size());
    QTest::addRow("fixed length, a frame split across reads")
        << fixed << QList<QByteArray>{GoodReply.left(3), GoodReply.mid(3) + BadReply}
        << QList<int>{20, 100} << QString();
    // A gap far beyond any scheduling delay; the frame ends with the pause after it.
    FrameRule gap = ruleOf(FrameRule::GapMilliseconds);
    gap.gapMilliseconds = 200;
    QTest::addRow("gap, a frame split across reads")
        << gap << QList<QByteArray>{GoodReply.left(3), GoodReply.mid(3), BadReply}
        << QList<int>{20, 500, 500} << QString();
}

// With a checksum chosen, every frame the rule cuts ends with its verdict in the pane
// and in its capture record, also when its bytes came in several reads.
void TestFramedReceive::framesCarryTheirVerdict()
{
    QFETCH(FrameRule, rule);
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QList<int>, pausesMs);
    QFETCH(QString, ending);

    FramedBench bench(rule);
    bench.engine.setReceiveChecksum(modbus());
    for (qsizetype k = 0; k < reads.size(); ++k)
        bench.write({reads.at(k)}, pausesMs.at(k));
    const QStringList lines{"01 03 02 00 2A 39 9B" + ending + " 〔校验正确〕",
                            "01 03 03 00 2A 39 9B" + ending + " 〔校验错误，应为 68 5B〕"};
    QTRY_COMPARE(bench.lines(), lines);
    QCOMPARE(bench.capturedLines(),
             (QStringList{"接收数据：" + lines.at(0), "接收数据：" + lines.at(1)}));
}

// The pane speaks the window's language; the capture keeps its marks in Chinese, as its
// labels, for those who read capture files.
void TestFramedReceive::marksFollowTheWindowLanguageCaptureKeepsChinese()
{
    EnglishMarks english;
    QCoreApplication::installTranslator(&english);
    FrameRule rule = ruleOf(FrameRule::FixedLength);
    rule.fixedLength = int(GoodReply.size());
    rule.header = GoodReply.left(2);
    FramedBench bench(rule);
    bench.engine.setReceiveChecksum(modbus());
    bench.write({"\x7e" + GoodReply}, 100);
    QTRY_COMPARE(bench.lines(), (QStringList{"[skipped] 7E", "01 03 02 00 2A 39 9B [checksum right]"}));
    QCoreApplication::removeTranslator(&english);
    QCOMPARE(bench.capturedLines(),
             (QStringList{"接收数据：[跳过] 7E", "接收数据：01 03 02 00 2A 39 9B 〔校验正确〕"}));
}

// Text frames ended by CR LF stand one a line, with no empty line between them; the
// mark goes at the end of its frame's line, and the capture's CSV has each verdict.
void TestFramedReceive::textFramesEndTheirOwnLines()
{
    FrameRule rule = ruleOf(FrameRule::Terminator);
    rule.terminator = "\r\n";
    FramedBench bench(rule, 0);
    Checksum xor8;
    xor8.algorithm = Checksum::Algorithm::Xor8;
    xor8.output = Checksum::Output::AsciiHex;
    bench.engine.setReceiveChecksum(xor8);
    bench.write({"AB03\r\nAC03\r\nAB", "03\r\n"}, 60);
    const QString good = QStringLiteral(" 〔校验正确〕");
    const QString bad = QStringLiteral(" 〔校验错误，应为 30 32〕");
    QTRY_COMPARE(bench.lines(), (QStringList{"AB03" + good, "AC03" + bad, "AB03" + good, ""}));

    QList<QStringList> rows = CaptureLog::tableOf(bench.captured());
    QStringList texts;
    QStringList verdicts;
    for (const QStringList &row : rows.mid(1)) {
        texts.append(row.at(3));
        verdicts.append(row.at(4));
    }
    QCOMPARE(texts, (QStringList{"AB03\r\n", "AC03\r\n", "AB03\r\n"}));
    QCOMPARE(verdicts, (QStringList{"正确", "错误，应为 30 32", "正确"}));
}

void TestFramedReceive::frameRuleKeptInOptionsFile()
{
    QTemporaryDir folder;
    const QString path = LineOptions::filePath(folder.path());
    LineOptions options;
    QVERIFY(options.save(path));
    QVERIFY(!QFile::exists(path) || !QFile(path).open(QIODevice::ReadOnly)
            || !QFile(path).readAll().contains("Frames"));
    options.frames = ruleOf(FrameRule::LengthField);
    options.frames.header = QByteArray("\xAA\x55", 2);
    options.frames.lengthSize = 2;
    options.frames.byteOrder = FrameRule::ByteOrder::LittleEndian;
    options.frames.lengthAddend = -3;
    options.frames.gapCharacters = 5.5;
    options.frames.showGap = true;
    QVERIFY(options.save(path));
    QCOMPARE(LineOptions::load(path), options);
}

QTEST_GUILESS_MAIN(TestFramedReceive)
#include "tst_framedreceive.moc"
