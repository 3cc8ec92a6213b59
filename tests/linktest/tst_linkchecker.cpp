// Velmora tests. Licensed under the MIT licence.
#include "faultstream.h"
#include "linkfigures.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <vector>

// The checker counts exactly what a far end did to the stream: flipped bits, dropped,
// inserted and duplicated bytes and blocks, silence.
class TstLinkChecker : public QObject
{
    Q_OBJECT

private slots:
    void countsInjectedFaults_data();
    void countsInjectedFaults();
    void sameCountsWhereverTheStreamIsCut();
    void randomFaultSchedules_data();
    void randomFaultSchedules();
    void rawRelocksAfterALongSlip_data();
    void rawRelocksAfterALongSlip();
    void noiseKeepsTheAccountsBalanced();
    void blockCrcIsZipsCrc32();
    void setupKeptInTheOptionsFile();
    void latencyFiguresByNearestRank();
};

namespace {

constexpr int Payload = 64;
constexpr int Blocks = 40;
constexpr int BlockBytes = Payload + BlockFrame::Overhead;

enum class Fault { None, FlipBit, Drop, Insert, DuplicateBlock, Silence };

struct Expected
{
    qint64 bitErrors = 0;
    qint64 lost = 0;
    qint64 inserted = 0;
    qint64 blocksLost = 0;
    qint64 blocksCorrupted = 0;
    qint64 blocksDuplicated = 0;
};

bool rawSlipVisible(TestPattern::Kind kind)
{
    return kind <= TestPattern::Counting || kind == TestPattern::UserBytes;
}

LinkCounts check(LinkChecker::Form form, const TestPattern &pattern, const QByteArray &received,
                 qint64 sentBytes, const QList<qsizetype> &cuts = {})
{
    LinkChecker checker(form, pattern, Payload);
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        checker.feed(received.mid(from, cut - from));
        from = cut;
    }
    checker.feed(received.mid(from));
    checker.finish(sentBytes);
    const LinkCounts &c = checker.counts();
    // Every received byte is accounted for once.
    if (c.bytesReceived != c.bytesCompared + c.bytesInserted + c.bytesUnaligned + c.bytesDuplicated)
        qWarning("received %lld, accounted %lld", c.bytesReceived,
                 c.bytesCompared + c.bytesInserted + c.bytesUnaligned + c.bytesDuplicated);
    return c;
}

} // namespace

void TstLinkChecker::countsInjectedFaults_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("count");
    const struct { Fault fault; int count; const char *name; } faults[] = {
        {Fault::None, 0, "clean"},
        {Fault::FlipBit, 3, "flip bit 3"},
        {Fault::Drop, 1, "drop 1"},
        {Fault::Drop, 10, "drop 10"},
        {Fault::Insert, 1, "insert 1"},
        {Fault::Insert, 5, "insert 5"},
        {Fault::DuplicateBlock, 1, "duplicate a block"},
        {Fault::Silence, 0, "falls silent"},
    };
    for (int form : {int(LinkChecker::Form::Framed), int(LinkChecker::Form::Raw)}) {
        for (int k = TestPattern::Prbs7; k <= TestPattern::UserBytes; ++k) {
            for (const auto &f : faults) {
                const bool raw = form == int(LinkChecker::Form::Raw);
                const bool slip = f.fault == Fault::Drop || f.fault == Fault::Insert;
                if (raw && (f.fault == Fault::DuplicateBlock || (slip && !rawSlipVisible(TestPattern::Kind(k)))))
                    continue;
                QTest::addRow("%s %s %s", raw ? "raw" : "framed",
                              qPrintable(TestPattern::name(TestPattern::Kind(k))), f.name)
                    << form << k << int(f.fault) << f.count;
            }
        }
    }
}

void TstLinkChecker::countsInjectedFaults()
{
    QFETCH(int, form);
    QFETCH(int, kind);
    QFETCH(int, fault);
    QFETCH(int, count);
    const auto linkForm = LinkChecker::Form(form);
    const TestPattern pattern(TestPattern::Kind(kind), "AT+CSQ?\r\n");
    const QByteArray sent = FaultStream::sent(linkForm, pattern, Payload, Blocks);
    QByteArray received = sent;
    Expected expected;
    const qsizetype at = 7 * BlockBytes + 23;
    switch (Fault(fault)) {
    case Fault::None:
        break;
    case Fault::FlipBit:
        FaultStream::flipBit(received, at, count);
        expected.bitErrors = 1;
        expected.blocksCorrupted = 1;
        break;
    case Fault::Drop:
        FaultStream::drop(received, at, count);
        expected.lost = count;
        expected.blocksCorrupted = 1;
        break;
    case Fault::Insert:
        FaultStream::insert(received, at, count);
        expected.inserted = count;
        expected.blocksCorrupted = 1;
        break;
    case Fault::DuplicateBlock:
        received.insert(12 * BlockBytes, sent.mid(11 * BlockBytes, BlockBytes));
        expected.blocksDuplicated = 1;
        break;
    case Fault::Silence:
        received.truncate(30 * BlockBytes);
        expected.lost = 10 * BlockBytes;
        expected.blocksLost = 10;
        break;
    }
    const LinkCounts c = check(linkForm, pattern, received, sent.size());
    QCOMPARE(c.bitErrors, expected.bitErrors);
    QCOMPARE(c.bytesLost, expected.lost);
    QCOMPARE(c.bytesInserted, expected.inserted);
    QCOMPARE(c.syncLosses, 0);
    QCOMPARE(c.bytesReceived, c.bytesCompared + c.bytesInserted + c.bytesUnaligned + c.bytesDuplicated);
    if (linkForm == LinkChecker::Form::Framed) {
        QCOMPARE(c.blocksLost, expected.blocksLost);
        QCOMPARE(c.blocksCorrupted, expected.blocksCorrupted);
        QCOMPARE(c.blocksDuplicated, expected.blocksDuplicated);
        QCOMPARE(c.blocksGood, Blocks - expected.blocksLost - expected.blocksCorrupted);
    }
}

// The checker holds back what it cannot count yet, so the bytes may arrive in any pieces.
void TstLinkChecker::sameCountsWhereverTheStreamIsCut()
{
    for (auto form : {LinkChecker::Form::Framed, LinkChecker::Form::Raw}) {
        const TestPattern pattern(TestPattern::Prbs9);
        const QByteArray sent = FaultStream::sent(form, pattern, Payload, 6);
        QByteArray received = sent;
        FaultStream::flipBit(received, 100, 0);
        FaultStream::drop(received, 250, 3);
        FaultStream::insert(received, 400, 2);
        const LinkCounts whole = check(form, pattern, received, sent.size());
        for (qsizetype cut = 1; cut < received.size(); ++cut) {
            const LinkCounts pieces = check(form, pattern, received, sent.size(), {cut});
            QCOMPARE(pieces.bitErrors, whole.bitErrors);
            QCOMPARE(pieces.bytesLost, whole.bytesLost);
            QCOMPARE(pieces.bytesInserted, whole.bytesInserted);
            QCOMPARE(pieces.blocksCorrupted, whole.blocksCorrupted);
        }
        QCOMPARE(whole.bitErrors, 1);
        QCOMPARE(whole.bytesLost, 3);
        QCOMPARE(whole.bytesInserted, 2);
    }
}

// Faults drawn at random, each in a block of its own with a clean block between.
void TstLinkChecker::randomFaultSchedules_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<int>("kind");
    for (int k : {TestPattern::Prbs7, TestPattern::Prbs15, TestPattern::Prbs31, TestPattern::Counting}) {
        QTest::addRow("framed %s", qPrintable(TestPattern::name(TestPattern::Kind(k)))) << int(LinkChecker::Form::Framed) << k;
        QTest::addRow("raw %s", qPrintable(TestPattern::name(TestPattern::Kind(k)))) << int(LinkChecker::Form::Raw) << k;
    }
}

void TstLinkChecker::randomFaultSchedules()
{
    QFETCH(int, form);
    QFETCH(int, kind);
    const auto linkForm = LinkChecker::Form(form);
    const TestPattern pattern{TestPattern::Kind(kind)};
    QRandomGenerator random(20261208 + kind * 7 + form);
    for (int round = 0; round < 30; ++round) {
        const int blocks = 60;
        const QByteArray sent = FaultStream::sent(linkForm, pattern, Payload, blocks);
        QByteArray received = sent;
        Expected expected;
        // From the end backwards, so that earlier positions stay where they were.
        for (int block = blocks - 3; block >= 2; block -= 2 + int(random.bounded(3))) {
            const qsizetype at = qsizetype(block) * BlockBytes + random.bounded(BlockBytes - 12) + 6;
            const int count = 1 + int(random.bounded(6));
            switch (random.bounded(3)) {
            case 0:
                FaultStream::flipBit(received, at, int(random.bounded(8)));
                ++expected.bitErrors;
                break;
            case 1:
                FaultStream::drop(received, at, count);
                expected.lost += count;
                break;
            default:
                FaultStream::insert(received, at, count);
                expected.inserted += count;
                break;
            }
            ++expected.blocksCorrupted;
        }
        QList<qsizetype> cuts;
        for (qsizetype c = random.bounded(200); c < received.size(); c += 1 + random.bounded(300))
            cuts.append(c);
        const LinkCounts c = check(linkForm, pattern, received, sent.size(), cuts);
        QCOMPARE(c.bitErrors, expected.bitErrors);
        QCOMPARE(c.bytesLost, expected.lost);
        QCOMPARE(c.bytesInserted, expected.inserted);
        if (linkForm == LinkChecker::Form::Framed)
            QCOMPARE(c.blocksCorrupted, expected.blocksCorrupted);
    }
}

// A slip beyond the alignment window: one sync loss, then lock again on clean bytes.
void TstLinkChecker::rawRelocksAfterALongSlip_data()
{
    QTest::addColumn<int>("kind");
    for (int k = TestPattern::Prbs7; k <= TestPattern::Prbs31; ++k)
        QTest::addRow("%s", qPrintable(TestPattern::name(TestPattern::Kind(k)))) << k;
}

void TstLinkChecker::rawRelocksAfterALongSlip()
{
    QFETCH(int, kind);
    const TestPattern pattern{TestPattern::Kind(kind)};
    QByteArray received = FaultStream::sent(LinkChecker::Form::Raw, pattern, Payload, Blocks);
    FaultStream::drop(received, 500, 700);
    FaultStream::flipBit(received, 1500, 5);
    LinkChecker checker(LinkChecker::Form::Raw, pattern, Payload);
    checker.feed(received);
    checker.finish(0);
    const LinkCounts &c = checker.counts();
    QCOMPARE(c.syncLosses, 1);
    QCOMPARE(c.bitErrors, 1);
    // Lock within the stated bound: n bytes to seat, then AlignMatch more to confirm.
    QVERIFY(c.bytesUnaligned <= TestPattern(pattern).seatLength() + LinkChecker::AlignWindow + LinkChecker::AlignMatch);
    QCOMPARE(c.bytesReceived, c.bytesCompared + c.bytesInserted + c.bytesUnaligned);
}

void TstLinkChecker::noiseKeepsTheAccountsBalanced()
{
    QRandomGenerator random(7);
    for (auto form : {LinkChecker::Form::Framed, LinkChecker::Form::Raw}) {
        LinkChecker checker(form, TestPattern(TestPattern::Prbs15), 16);
        for (int i = 0; i < 50; ++i) {
            QByteArray noise(int(random.bounded(400)), Qt::Uninitialized);
            for (char &b : noise)
                b = char(random.bounded(256));
            checker.feed(noise);
        }
        checker.finish(100000);
        const LinkCounts &c = checker.counts();
        QCOMPARE(c.bytesReceived, c.bytesCompared + c.bytesInserted + c.bytesUnaligned + c.bytesDuplicated);
        QCOMPARE(checker.pendingBytes(), 0);
    }
}

// The check value of CRC-32, and the same over every length the eight-byte steps leave a tail of.
void TstLinkChecker::blockCrcIsZipsCrc32()
{
    QCOMPARE(BlockFrame::crc32(reinterpret_cast<const unsigned char *>("123456789"), 9), 0xCBF43926u);
    const QByteArray bytes = TestPattern(TestPattern::Prbs9).take(37);
    for (qsizetype n = 0; n <= bytes.size(); ++n) {
        quint32 c = 0xFFFFFFFFu;
        for (qsizetype i = 0; i < n; ++i) {
            c ^= uchar(bytes[i]);
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        QCOMPARE(BlockFrame::crc32(reinterpret_cast<const unsigned char *>(bytes.constData()), n), ~c);
    }
}

// The defaults write nothing; a setup comes back as saved, beside the file's other groups;
// values out of range fall back to the defaults.
void TstLinkChecker::setupKeptInTheOptionsFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("velmora.ini"));
    QVERIFY(LinkSetup().save(path));
    QVERIFY(!QFile::exists(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Interface]\nLanguage=English\n");
    file.close();

    LinkSetup setup;
    setup.pattern = TestPattern::Prbs31;
    setup.form = LinkChecker::Form::Raw;
    setup.direction = LinkSetup::Direction::BothWays;
    setup.amount = LinkSetup::Amount::Bytes;
    setup.bytes = 123456;
    setup.pacePercent = 75;
    setup.payloadBytes = 1024;
    setup.bitErrorRateLimit = 1e-7;
    setup.userText = QStringLiteral(" AT\"OK\"; 测试\\ ");
    QVERIFY(setup.save(path));
    QVERIFY(LinkSetup::load(path) == setup);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("[Interface]\nLanguage=English\n"));
    file.close();

    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[LinkTest]\nPattern=99\nPace=250\nBlock=0\nBitErrorRateLimit=2\n");
    file.close();
    QVERIFY(LinkSetup::load(path) == LinkSetup());
}

// Counted in buckets, the round trips give what the sorted list of every sample gives by
// nearest rank: exactly below a millisecond, within 1 % above, the extremes exactly; for
// any number of samples and any spread.
void TstLinkChecker::latencyFiguresByNearestRank()
{
    QRandomGenerator random(17);
    for (int round = 0; round < 300; ++round) {
        const int samples = 1 + int(random.bounded(round < 30 ? 5 : 3000));
        const int spreads[] = {4, 900, 60000, 5000000};
        const qint64 spread = spreads[round % 4];
        LatencyRecord record;
        std::vector<qint64> all;
        for (int i = 0; i < samples; ++i) {
            all.push_back(qint64(random.bounded(quint64(spread))));
            record.add(all.back());
        }
        std::sort(all.begin(), all.end());
        const auto rank = [&all](double fraction) {
            return all[size_t(std::ceil(fraction * double(all.size()))) - 1] / 1000.0;
        };
        const auto near = [](double measured, double exact) {
            return exact < 1 ? measured == exact : qAbs(measured - exact) <= exact / 100;
        };
        const LatencyFigures figures = record.figures();
        QCOMPARE(figures.samples, samples);
        QCOMPARE(figures.minimum, all.front() / 1000.0);
        QCOMPARE(figures.maximum, all.back() / 1000.0);
        QVERIFY2(near(figures.median, rank(0.5)), qPrintable(QStringLiteral("median %1, sorted %2")
                                                                 .arg(figures.median).arg(rank(0.5))));
        QVERIFY2(near(figures.p99, rank(0.99)), qPrintable(QStringLiteral("p99 %1, sorted %2")
                                                               .arg(figures.p99).arg(rank(0.99))));
    }
    QCOMPARE(LatencyRecord().figures().samples, 0);
}

QTEST_APPLESS_MAIN(TstLinkChecker)
#include "tst_linkchecker.moc"
