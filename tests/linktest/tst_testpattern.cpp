// Velmora tests. Licensed under the MIT licence.
#include "testpattern.h"

#include <QTest>

#include <vector>

// The generators against their polynomials, bit by bit.
class TstTestPattern : public QObject
{
    Q_OBJECT

private slots:
    void prbsFollowsPolynomial_data();
    void prbsFollowsPolynomial();
    void prbsPeriod_data();
    void prbsPeriod();
    void seatContinuesTheStream_data();
    void seatContinuesTheStream();
    void simplePatterns();
};

namespace {

struct Tap { TestPattern::Kind kind; int n; int m; bool inverted; };
const Tap taps[] = {
    {TestPattern::Prbs7, 7, 6, false}, {TestPattern::Prbs9, 9, 5, false},
    {TestPattern::Prbs15, 15, 14, true}, {TestPattern::Prbs23, 23, 18, true},
    {TestPattern::Prbs31, 31, 28, true},
};

// The sequence straight from the recurrence a(k) = a(k-n) ^ a(k-m), register all ones,
// packed least significant bit first.
QByteArray referenceBytes(const Tap &tap, int count)
{
    std::vector<int> bits(size_t(tap.n), 1);
    QByteArray out;
    for (int byte = 0; byte < count; ++byte) {
        int value = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const size_t k = bits.size();
            const int a = bits[k - size_t(tap.n)] ^ bits[k - size_t(tap.m)];
            bits.push_back(a);
            value |= (tap.inverted ? !a : a) << bit;
        }
        out.append(char(value));
    }
    return out;
}

} // namespace

void TstTestPattern::prbsFollowsPolynomial_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < 5; ++i)
        QTest::addRow("PRBS-%d", taps[i].n) << i;
}

void TstTestPattern::prbsFollowsPolynomial()
{
    QFETCH(int, index);
    const Tap tap = taps[index];
    TestPattern pattern(tap.kind);
    QCOMPARE(pattern.take(4096), referenceBytes(tap, 4096));
    pattern.reset();
    QCOMPARE(pattern.take(8), referenceBytes(tap, 8));
}

// 8 and 2^n - 1 share no factor, so the byte sequence repeats after exactly 2^n - 1
// bytes when the bit sequence does after 2^n - 1 bits.
void TstTestPattern::prbsPeriod_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < 4; ++i)
        QTest::addRow("PRBS-%d", taps[i].n) << i;
}

void TstTestPattern::prbsPeriod()
{
    QFETCH(int, index);
    const Tap tap = taps[index];
    const qsizetype period = (qsizetype(1) << tap.n) - 1;
    TestPattern pattern(tap.kind);
    const QByteArray first = pattern.take(period);
    const QByteArray second = pattern.take(period);
    QCOMPARE(second, first);
    // No shorter period: none at period / q for any prime factor q of the period.
    qsizetype rest = period;
    for (qsizetype q = 2; q <= rest; ++q) {
        if (rest % q != 0)
            continue;
        while (rest % q == 0)
            rest /= q;
        const qsizetype shorter = period / q;
        QVERIFY(first.mid(0, period - shorter) != first.mid(shorter));
    }
    // A maximal sequence holds 2^(n-1) ones per period.
    qint64 ones = 0;
    for (char c : first)
        ones += qPopulationCount(quint8(c));
    const qint64 expectedOnes = tap.inverted ? 8 * period - (qint64(1) << (tap.n - 1)) * 8
                                             : (qint64(1) << (tap.n - 1)) * 8;
    QCOMPARE(ones, expectedOnes);
}

void TstTestPattern::seatContinuesTheStream_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("user");
    for (int k = TestPattern::Prbs7; k <= TestPattern::UserBytes; ++k)
        QTest::addRow("%s", qPrintable(TestPattern::name(TestPattern::Kind(k))))
            << k << QByteArray("AT+CSQ\r\n");
}

void TstTestPattern::seatContinuesTheStream()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, user);
    TestPattern sender(TestPattern::Kind(kind), user);
    sender.skip(1234);
    TestPattern receiver(TestPattern::Kind(kind), user);
    const QByteArray seen = sender.take(receiver.seatLength());
    QVERIFY(receiver.seat(reinterpret_cast<const unsigned char *>(seen.constData())));
    QCOMPARE(receiver.take(300), sender.take(300));
}

void TstTestPattern::simplePatterns()
{
    TestPattern counting(TestPattern::Counting);
    const QByteArray bytes = counting.take(258);
    QCOMPARE(uchar(bytes[0]), 0);
    QCOMPARE(uchar(bytes[255]), 255);
    QCOMPARE(uchar(bytes[256]), 0);
    QCOMPARE(TestPattern(TestPattern::FixedAA).take(3), QByteArray("\xAA\xAA\xAA"));
    QCOMPARE(TestPattern(TestPattern::UserBytes, "AB").take(5), QByteArray("ABABA"));
    const unsigned char wrong = 0x56;
    QVERIFY(!TestPattern(TestPattern::Fixed55).seat(&wrong));
}

QTEST_APPLESS_MAIN(TstTestPattern)
#include "tst_testpattern.moc"
