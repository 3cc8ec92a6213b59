// Velmora tests. Licensed under the MIT licence.
#include <framecutter.h>

#include <QTest>

namespace {

// Frames as the pieces make them up: a starting piece opens one, the others continue it.
QList<QByteArray> framesOf(const QList<FramePiece> &pieces, bool withSkipped = false)
{
    QList<QByteArray> frames;
    for (const FramePiece &piece : pieces) {
        if (piece.kind == FramePiece::Skipped && !withSkipped)
            continue;
        if (piece.starts || frames.isEmpty())
            frames.append(piece.bytes);
        else
            frames.last() += piece.bytes;
    }
    return frames;
}

QByteArray joined(const QList<FramePiece> &pieces)
{
    QByteArray all;
    for (const FramePiece &piece : pieces)
        all += piece.bytes;
    return all;
}

// Reads given as (time, bytes), fed in order, then flushed.
struct Read
{
    qint64 at;
    QByteArray bytes;
};
QList<FramePiece> cut(FrameCutter &cutter, const QList<Read> &reads)
{
    QList<FramePiece> pieces;
    for (const Read &read : reads)
        pieces += cutter.feed(read.bytes, read.at);
    pieces += cutter.flush();
    return pieces;
}

FrameRule terminatorRule(const QByteArray &terminator)
{
    FrameRule rule;
    rule.kind = FrameRule::Terminator;
    rule.terminator = terminator;
    return rule;
}

FrameRule lengthRule(const QByteArray &header, int offset, int size, FrameRule::ByteOrder order,
                     int addend)
{
    FrameRule rule;
    rule.kind = FrameRule::LengthField;
    rule.header = header;
    rule.lengthOffset = offset;
    rule.lengthSize = size;
    rule.byteOrder = order;
    rule.lengthAddend = addend;
    rule.maxLength = 64;
    return rule;
}

FrameRule fixedRule(int length, const QByteArray &header)
{
    FrameRule rule;
    rule.kind = FrameRule::FixedLength;
    rule.fixedLength = length;
    rule.header = header;
    return rule;
}

} // namespace

class FrameCutterTest : public QObject
{
    Q_OBJECT

private slots:
    void sameFramesHoweverTheReadsCut_data();
    void sameFramesHoweverTheReadsCut();
    void terminatorCases_data();
    void terminatorCases();
    void gapInCharacterTimes_data();
    void gapInCharacterTimes();
    void lostByteResynchronises_data();
    void lostByteResynchronises();
    void oversizeLengthRefusedAndBounded();
    void partialFrameGivenUpWhenQuiet();
    void frameTimeIsItsFirstByteRead();
    void boundCutsLongFrames();
};

// Whatever the reads, the length and terminator rules give the same frames, and the
// pieces joined are the stream.
void FrameCutterTest::sameFramesHoweverTheReadsCut_data()
{
    QTest::addColumn<FrameRule>("rule");
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QList<QByteArray>>("frames");

    QTest::addRow("terminator 7E")
        << terminatorRule("\x7e") << QByteArray("\x7e" "ab\x7e" "cd\x7e" "e")
        << QList<QByteArray>{"\x7e", "ab\x7e", "cd\x7e", "e"};
    QTest::addRow("terminator CR LF with a lone CR inside")
        << terminatorRule("\r\n") << QByteArray("a\rb\r\nc\r\r\n")
        << QList<QByteArray>{"a\rb\r\n", "c\r\r\n"};
    QTest::addRow("terminator overlapping itself")
        << terminatorRule("aab") << QByteArray("xaaab" "aab" "aaab")
        << QList<QByteArray>{"xaaab", "aab", "aaab"};
    QTest::addRow("fixed length 4")
        << fixedRule(4, {}) << QByteArray("abcdefghij")
        << QList<QByteArray>{"abcd", "efgh"};
    QTest::addRow("header and one-byte length")
        << lengthRule("\xAA\x55", 2, 1, FrameRule::ByteOrder::BigEndian, 3)
        << QByteArray("\xAA\x55\x02xy" "\xAA\x55\x00", 8)
        << QList<QByteArray>{QByteArray("\xAA\x55\x02xy", 5), QByteArray("\xAA\x55\x00", 3)};
    QTest::addRow("little-endian two-byte length, whole frame counted")
        << lengthRule("\x68", 1, 2, FrameRule::ByteOrder::LittleEndian, 0)
        << QByteArray("\x68\x05\x00zz" "\x68\x04\x00z", 9)
        << QList<QByteArray>{QByteArray("\x68\x05\x00zz", 5), QByteArray("\x68\x04\x00z", 4)};
}

void FrameCutterTest::sameFramesHoweverTheReadsCut()
{
    QFETCH(FrameRule, rule);
    QFETCH(QByteArray, stream);
    QFETCH(QList<QByteArray>, frames);

    for (qsizetype a = 0; a <= stream.size(); ++a) {
        for (qsizetype b = a; b <= stream.size(); ++b) {
            FrameCutter cutter(rule);
            const QList<FramePiece> pieces = cut(cutter, {{0, stream.left(a)},
                                                          {1, stream.mid(a, b - a)},
                                                          {2, stream.mid(b)}});
            QCOMPARE(joined(pieces), stream);
            const QList<QByteArray> got = framesOf(pieces);
            if (got != frames)
                qDebug() << "reads cut at" << a << b;
            QCOMPARE(got, frames);
        }
    }
}

void FrameCutterTest::terminatorCases_data()
{
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QList<bool>>("starts");   // of each piece handed out

    QTest::addRow("terminator split across two reads")
        << QList<QByteArray>{"ok\r", "\nnext"}
        << QList<QByteArray>{"ok\r\n", "next"} << QList<bool>{true, false, true};
    QTest::addRow("two frames in one read")
        << QList<QByteArray>{"a\r\nb\r\n"}
        << QList<QByteArray>{"a\r\n", "b\r\n"} << QList<bool>{true, true};
    QTest::addRow("terminator as the stream's first bytes")
        << QList<QByteArray>{"\r\nhello"}
        << QList<QByteArray>{"\r\n", "hello"} << QList<bool>{true, true};
    QTest::addRow("frame continued in a later read")
        << QList<QByteArray>{"he", "llo\r\n"}
        << QList<QByteArray>{"hello\r\n"} << QList<bool>{true, false};
}

void FrameCutterTest::terminatorCases()
{
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(QList<bool>, starts);

    FrameCutter cutter(terminatorRule("\r\n"));
    QList<FramePiece> pieces;
    for (qsizetype k = 0; k < reads.size(); ++k)
        pieces += cutter.feed(reads.at(k), k);
    QCOMPARE(framesOf(pieces), frames);
    QList<bool> pieceStarts;
    for (const FramePiece &piece : pieces)
        pieceStarts.append(piece.starts);
    QCOMPARE(pieceStarts, starts);
}

// Three and a half characters of 9600 baud 8N1 are 3.65 ms: reads 5 ms apart are
// frames of their own, reads 1 ms apart one frame.
void FrameCutterTest::gapInCharacterTimes_data()
{
    QTest::addColumn<qint64>("spacing");
    QTest::addColumn<int>("frames");

    QTest::addRow("5 ms apart") << qint64(5) << 3;
    QTest::addRow("1 ms apart") << qint64(1) << 1;
}

void FrameCutterTest::gapInCharacterTimes()
{
    QFETCH(qint64, spacing);
    QFETCH(int, frames);

    FrameRule rule;
    rule.kind = FrameRule::GapCharacters;
    const double characterMs = FrameRule::characterMilliseconds(9600, 8, false, 1);
    QCOMPARE(qRound(rule.gapFor(characterMs) * 100), 365);
    FrameCutter cutter(rule, rule.gapFor(characterMs));
    const QByteArray frame("\x01\x03\x00\x00\x00\x0A\xC5\xCD", 8);
    const QList<FramePiece> pieces = cut(cutter, {{100, frame}, {100 + spacing, frame},
                                                  {100 + 2 * spacing, frame}});
    QCOMPARE(framesOf(pieces).size(), frames);
    QCOMPARE(joined(pieces), frame + frame + frame);
}

// One byte lost: the broken frame swallows the next frame's start, the rest of that is
// skipped, and the frame after it comes out whole: no more than a frame's bytes go.
void FrameCutterTest::lostByteResynchronises_data()
{
    QTest::addColumn<FrameRule>("rule");
    QTest::addColumn<QByteArray>("frame");

    QTest::addRow("fixed length with header")
        << fixedRule(6, "\xA5") << QByteArray("\xA5\x01\x02\x03\x04\x05", 6);
    QTest::addRow("header and length field")
        << lengthRule("\xA5\x5A", 2, 1, FrameRule::ByteOrder::BigEndian, 0)
        << QByteArray("\xA5\x5A\x07\x10\x20\x30\x40", 7);
}

void FrameCutterTest::lostByteResynchronises()
{
    QFETCH(FrameRule, rule);
    QFETCH(QByteArray, frame);

    QByteArray stream = frame + frame + frame + frame;
    stream.remove(frame.size() - 2, 1);   // lost from the first frame's tail
    FrameCutter cutter(rule);
    const QList<FramePiece> pieces = cut(cutter, {{0, stream}});
    QCOMPARE(joined(pieces), stream);
    const QList<QByteArray> frames = framesOf(pieces);
    QCOMPARE(frames.size(), 3);
    QCOMPARE(frames.at(1), frame);
    QCOMPARE(frames.at(2), frame);
    QVERIFY(cutter.skippedBytes() > 0);
    QVERIFY(cutter.skippedBytes() < frame.size());
}

// A length beyond the bound is refused and counted; the bytes after it still frame, and
// a stream of such lengths never makes the cutter hold more than a read and a frame.
void FrameCutterTest::oversizeLengthRefusedAndBounded()
{
    FrameRule rule = lengthRule("\xA5", 1, 2, FrameRule::ByteOrder::BigEndian, 0);
    rule.maxLength = 32;
    FrameCutter cutter(rule);
    const QByteArray huge("\xA5\xFF\xFF", 3);
    const QByteArray good("\xA5\x00\x04z", 4);
    QList<FramePiece> pieces = cutter.feed(huge + good, 0);
    QCOMPARE(cutter.refusedLengths(), 1);
    QCOMPARE(framesOf(pieces), QList<QByteArray>{good});
    QCOMPARE(framesOf(pieces, true).first(), huge);

    qint64 out = 0;
    for (int k = 0; k < 1000; ++k) {
        out += joined(cutter.feed(huge.repeated(100), k)).size();
        QVERIFY(cutter.pending() <= rule.maxLength);
    }
    QCOMPARE(out + cutter.pending(), 300 * 1000);
    QCOMPARE(cutter.refusedLengths(), 1 + 100 * 1000);
}

// A partial frame of a length rule is given up when the line stays quiet, so the next
// frame after a far end's restart starts in step.
void FrameCutterTest::partialFrameGivenUpWhenQuiet()
{
    FrameCutter cutter(fixedRule(4, {}), 0, 20);
    QVERIFY(cutter.feed("ab", 0).isEmpty());
    QVERIFY(cutter.expire(10).isEmpty());
    const QList<FramePiece> given = cutter.expire(25);
    QCOMPARE(given.size(), 1);
    QCOMPARE(given.first().kind, FramePiece::Skipped);
    QCOMPARE(given.first().bytes, QByteArray("ab"));
    // Without the timer, the next read after the pause does the same.
    cutter.feed("x", 100);
    QCOMPARE(framesOf(cutter.feed("wxyz", 200)), QList<QByteArray>{"wxyz"});
}

void FrameCutterTest::frameTimeIsItsFirstByteRead()
{
    FrameCutter cutter(terminatorRule("\n"));
    QList<FramePiece> pieces = cutter.feed("one\ntw", 1000);
    pieces += cutter.feed("o\n", 1030);
    QCOMPARE(pieces.size(), 3);
    QCOMPARE(pieces.at(0).arrival, 1000);
    QCOMPARE(pieces.at(0).gap, -1);
    QCOMPARE(pieces.at(1).arrival, 1000);
    QCOMPARE(pieces.at(1).gap, 0);
    QCOMPARE(pieces.at(2).starts, false);
    pieces = cutter.feed("three\n", 1100);
    QCOMPARE(pieces.first().arrival, 1100);
    QCOMPARE(pieces.first().gap, 70);
}

void FrameCutterTest::boundCutsLongFrames()
{
    FrameRule rule = terminatorRule("\n");
    rule.maxLength = 4;
    FrameCutter cutter(rule);
    const QList<FramePiece> pieces = cut(cutter, {{0, "abcdefghij\nk"}});
    QCOMPARE(framesOf(pieces), (QList<QByteArray>{"abcd", "efgh", "ij\n", "k"}));
    QCOMPARE(cutter.cutFrames(), 2);
}

QTEST_GUILESS_MAIN(FrameCutterTest)
#include "tst_framecutter.moc"
