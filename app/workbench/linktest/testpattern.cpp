// Velmora workbench. Licensed under the MIT licence.
#include "testpattern.h"

#include <QCoreApplication>
#include <QtEndian>

#include <vector>

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
// time, are the first n bytes, from which the bytes recurrence gives the first words.
void TestPattern::resetPrbs()
{
    const Polynomial p = polynomials[m_kind];
    m_n = p.n;
    m_m = p.m;
    m_inverted = p.inverted;
    std::array<unsigned char, 32> first{};
    quint32 reg = (1u << m_n) - 1;  // bit i holds a(k-1-i)
    for (int byte = 0; byte < m_n; ++byte) {
        unsigned char value = 0;
        for (int bit = 0; bit < 8; ++bit) {
            const quint32 a = ((reg >> (m_n - 1)) ^ (reg >> (m_m - 1))) & 1u;
            reg = ((reg << 1) | a) & ((1u << m_n) - 1);
            value |= uchar(a << bit);
        }
        first[byte] = value;
    }
    startWords(first.data(), 0);
}

// Bytes obey b(j) = b(j-n) ^ b(j-m): from n bytes of the sequence (not inverted) come the
// n words that begin `skipped` bytes after them.
void TestPattern::startWords(const unsigned char *bytes, int skipped)
{
    std::vector<unsigned char> run(size_t(skipped + 9 * m_n));
    std::copy(bytes, bytes + m_n, run.begin());
    for (size_t j = size_t(m_n); j < run.size(); ++j)
        run[j] = run[j - size_t(m_n)] ^ run[j - size_t(m_m)];
    for (int w = 0; w < m_n; ++w)
        m_words[w] = qFromLittleEndian<quint64>(run.data() + skipped + 8 * w);
    m_head = 0;
    m_used = 0;
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
    unsigned char value;
    fill(&value, 1);
    return value;
}

// The word at the head is taken: the one n words on takes its place,
// W(j+n) = W(j) ^ W(j+n-m).
void TestPattern::stepWord()
{
    int mid = m_head + (m_n - m_m);
    if (mid >= m_n)
        mid -= m_n;
    m_words[m_head] ^= m_words[mid];
    if (++m_head == m_n)
        m_head = 0;
    m_used = 0;
}

void TestPattern::fill(unsigned char *out, qsizetype count)
{
    if (!isPrbs()) {
        for (qsizetype i = 0; i < count; ++i)
            out[i] = next();
        return;
    }
    const quint64 flip = m_inverted ? ~quint64(0) : 0;
    qsizetype i = 0;
    while (i < count && m_used != 0) {
        out[i++] = uchar(((m_words[m_head] ^ flip) >> (8 * m_used)) & 0xFF);
        if (++m_used == 8)
            stepWord();
    }
    // Whole words, the ring's places in locals.
    int head = m_head;
    int mid = head + (m_n - m_m);
    if (mid >= m_n)
        mid -= m_n;
    for (; count - i >= 8; i += 8) {
        const quint64 word = m_words[head];
        qToLittleEndian<quint64>(word ^ flip, out + i);
        m_words[head] = word ^ m_words[mid];
        if (++head == m_n)
            head = 0;
        if (++mid == m_n)
            mid = 0;
    }
    m_head = head;
    while (i < count) {
        out[i++] = uchar(((m_words[m_head] ^ flip) >> (8 * m_used)) & 0xFF);
        if (++m_used == 8)
            stepWord();
    }
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
    if (isPrbs()) {
        unsigned char scratch[4096];
        for (qsizetype done = 0; done < count; done += qsizetype(sizeof scratch))
            fill(scratch, qMin<qsizetype>(count - done, qsizetype(sizeof scratch)));
    }
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
    std::array<unsigned char, 32> state{};
    for (int i = 0; i < m_n; ++i)
        state[i] = m_inverted ? uchar(~received[i]) : received[i];
    startWords(state.data(), m_n);  // past the bytes that seated it
    return true;
}
