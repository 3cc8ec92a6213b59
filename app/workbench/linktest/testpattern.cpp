// Velmora workbench. Licensed under the MIT licence.
#include "testpattern.h"

#include <QCoreApplication>

namespace {

struct Polynomial
{
    int n;          // x^n + x^m + 1
    int m;
    bool inverted;  // O.150 sends the longer sequences inverted
};

// ITU-T O.150: 2^7-1, 2^9-1 (x^9+x^5+1), 2^15-1 (x^15+x^14+1, inverted),
// 2^23-1 (x^23+x^18+1, inverted), 2^31-1 (x^31+x^28+1, inverted).
constexpr Polynomial polynomials[] = {
    {7, 6, false}, {9, 5, false}, {15, 14, true}, {23, 18, true}, {31, 28, true},
};

} // namespace

TestPattern::TestPattern(Kind kind, const QByteArray &userBytes)
    : m_kind(kind), m_user(userBytes.isEmpty() ? QByteArray(1, '\0') : userBytes)
{
    reset();
}

int TestPattern::registerLength() const
{
    return isPrbs() ? polynomials[m_kind].n : 0;
}

QString TestPattern::name(Kind kind)
{
    switch (kind) {
    case Prbs7: return QStringLiteral("PRBS-7");
    case Prbs9: return QStringLiteral("PRBS-9");
    case Prbs15: return QStringLiteral("PRBS-15");
    case Prbs23: return QStringLiteral("PRBS-23");
    case Prbs31: return QStringLiteral("PRBS-31");
    case Counting: return QStringLiteral("00..FF");
    case Fixed55: return QStringLiteral("55");
    case FixedAA: return QStringLiteral("AA");
    case Fixed00: return QStringLiteral("00");
    case FixedFF: return QStringLiteral("FF");
    case UserBytes: return QCoreApplication::translate("TestPattern", "自定义");
    }
    return {};
}

void TestPattern::reset()
{
    m_userIndex = 0;
    m_counter = 0;
    if (isPrbs())
        resetPrbs();
}

// The register starts with every stage at one; its first 8n bits, stepped one at a
// time, fill the byte ring that every later byte is computed from.
void TestPattern::resetPrbs()
{
    const Polynomial p = polynomials[m_kind];
    m_n = p.n;
    m_m = p.m;
    m_inverted = p.inverted;
    m_head = 0;
    quint32 reg = (1u << m_n) - 1;  // bit i holds a(k-1-i)
    for (int byte = 0; byte < m_n; ++byte) {
        unsigned char value = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const quint32 a = ((reg >> (m_n - 1)) ^ (reg >> (m_m - 1))) & 1u;
            reg = ((reg << 1) | a) & ((1u << m_n) - 1);
            value |= uchar(a << bit);
        }
        m_ring[byte] = value;
    }
}

unsigned char TestPattern::next()
{
    switch (m_kind) {
    case Counting: return m_counter++;
    case Fixed55: return 0x55;
    case FixedAA: return 0xAA;
    case Fixed00: return 0x00;
    case FixedFF: return 0xFF;
    case UserBytes: {
        const unsigned char value = uchar(m_user[m_userIndex]);
        m_userIndex = (m_userIndex + 1) % m_user.size();
        return value;
    }
    default: break;
    }
    // The ring holds bytes j .. j+n-1 with j at m_head; byte j+n-m is n-m further on.
    const unsigned char oldest = m_ring[m_head];
    int mid = m_head + (m_n - m_m);
    if (mid >= m_n)
        mid -= m_n;
    const unsigned char value = oldest ^ m_ring[mid];
    m_ring[m_head] = value;
    if (++m_head == m_n)
        m_head = 0;
    return m_inverted ? uchar(~oldest) : oldest;
}

void TestPattern::fill(unsigned char *out, qsizetype count)
{
    if (!isPrbs()) {
        for (qsizetype i = 0; i < count; ++i)
            out[i] = next();
        return;
    }
    // next() without its switch, the register in locals: the checker's own pace.
    const int n = m_n;
    const int span = m_n - m_m;
    const unsigned char flip = m_inverted ? 0xFF : 0x00;
    int head = m_head;
    int mid = head + span >= n ? head + span - n : head + span;
    unsigned char *ring = m_ring.data();
    for (qsizetype i = 0; i < count; ++i) {
        const unsigned char oldest = ring[head];
        ring[head] = oldest ^ ring[mid];
        out[i] = oldest ^ flip;
        if (++head == n)
            head = 0;
        if (++mid == n)
            mid = 0;
    }
    m_head = head;
}

QByteArray TestPattern::take(qsizetype count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    fill(reinterpret_cast<unsigned char *>(bytes.data()), count);
    return bytes;
}

void TestPattern::skip(qsizetype count)
{
    if (m_kind == UserBytes) {
        m_userIndex = (m_userIndex + count) % m_user.size();
        return;
    }
    if (m_kind == Counting) {
        m_counter = uchar(m_counter + count);
        return;
    }
    if (isPrbs())
        for (qsizetype i = 0; i < count; ++i)
            next();
}

int TestPattern::seatLength() const
{
    if (isPrbs())
        return m_n;
    if (m_kind == UserBytes)
        return int(qMin<qsizetype>(m_user.size(), 64));
    return 1;
}

bool TestPattern::seat(const unsigned char *received)
{
    switch (m_kind) {
    case Counting:
        m_counter = uchar(received[0] + 1);
        return true;
    case Fixed55: case FixedAA: case Fixed00: case FixedFF: {
        TestPattern probe(m_kind);
        return received[0] == probe.next();
    }
    case UserBytes: {
        const int length = seatLength();
        for (qsizetype phase = 0; phase < m_user.size(); ++phase) {
            bool fits = true;
            for (int i = 0; i < length && fits; ++i)
                fits = uchar(m_user[(phase + i) % m_user.size()]) == received[i];
            if (fits) {
                m_userIndex = (phase + length) % m_user.size();
                return true;
            }
        }
        return false;
    }
    default:
        break;
    }
    // Any n bytes are a state of the register (all zero only in a broken stream, which
    // the check that follows the seat finds).
    for (int i = 0; i < m_n; ++i)
        m_ring[i] = m_inverted ? uchar(~received[i]) : received[i];
    m_head = 0;
    skip(m_n);  // past the bytes that seated it
    return true;
}
