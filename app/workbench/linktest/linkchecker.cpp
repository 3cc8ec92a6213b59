// Velmora workbench. Licensed under the MIT licence.
#include "linkchecker.h"

#include "blockframe.h"

#include <cstring>
#include <limits>
#include <tuple>

namespace {

int bitCount(unsigned char value)
{
    int count = 0;
    for (; value; value &= uchar(value - 1))
        ++count;
    return count;
}

const unsigned char *bytes(const QByteArray &array, qsizetype from = 0)
{
    return reinterpret_cast<const unsigned char *>(array.constData()) + from;
}

} // namespace

LinkChecker::LinkChecker(Form form, const TestPattern &pattern, int payloadBytes)
    : m_form(form),
      m_pattern(pattern),
      m_payloadBytes(qMax(1, payloadBytes)),
      m_blockBytes(m_payloadBytes + BlockFrame::Overhead)
{
    m_pattern.reset();
}

void LinkChecker::feed(const QByteArray &received)
{
    m_counts.bytesReceived += received.size();
    m_received.append(received);
    process(false);
}

void LinkChecker::finish(qint64 sentStreamBytes)
{
    m_finalBlocks = quint32(sentStreamBytes / m_blockBytes);
    process(true);
    if (m_form == Form::Framed) {
        if (m_nextBlock < m_finalBlocks) {
            const qint64 missing = m_finalBlocks - m_nextBlock;
            m_counts.blocksLost += missing;
            m_counts.bytesLost += missing * m_blockBytes;
            m_nextBlock = m_finalBlocks;
            m_position = qint64(m_nextBlock) * m_blockBytes;
        }
    } else if (m_positionKnown && sentStreamBytes > m_position) {
        m_counts.bytesLost += sentStreamBytes - m_position;
        m_position = sentStreamBytes;
    }
}

void LinkChecker::process(bool final)
{
    if (m_form == Form::Framed)
        processFramed(final);
    else
        processRaw(final);
    compact();
}

void LinkChecker::processRaw(bool final)
{
    for (;;) {
        if (!m_locked && !seekLock(final))
            return;
        const qsizetype available = m_received.size() - m_read;
        if (available == 0)
            return;
        ensureExpected(available);
        const unsigned char *r = bytes(m_received, m_read);
        const unsigned char *e = bytes(m_expected, m_expectedRead);
        qsizetype same = 0;
        while (same < available && r[same] == e[same])
            ++same;
        m_read += same;
        m_expectedRead += same;
        m_position += same;
        m_counts.bytesCompared += same;
        const qsizetype rest = available - same;
        if (rest == 0)
            return;
        // What follows the mismatch tells a flipped bit from a slip.
        if (rest < AlignWindow + AlignMatch && !final)
            return;
        ensureExpected(rest + AlignWindow + AlignMatch);
        Step step;
        if (!findStep(bytes(m_received, m_read), rest, bytes(m_expected, m_expectedRead),
                      m_expected.size() - m_expectedRead, false, step)) {
            ++m_counts.syncLosses;
            m_locked = false;
            m_positionKnown = false;
            continue;
        }
        const int substituted = qMin(step.received, step.expected);
        countSubstitutions(bytes(m_received, m_read), bytes(m_expected, m_expectedRead), substituted);
        m_counts.bytesInserted += step.received - substituted;
        m_counts.bytesLost += step.expected - substituted;
        m_read += step.received;
        m_expectedRead += step.expected;
        m_position += step.expected;
    }
}

// The pattern is seated on received bytes and must then match AlignMatch more.
bool LinkChecker::seekLock(bool final)
{
    const int seat = m_pattern.seatLength();
    while (m_received.size() - m_read >= seat + AlignMatch) {
        const unsigned char *r = bytes(m_received, m_read);
        TestPattern seated = m_pattern;
        if (seated.seat(r)) {
            TestPattern probe = seated;
            const QByteArray following = probe.take(AlignMatch);
            if (std::memcmp(following.constData(), r + seat, AlignMatch) == 0) {
                m_pattern = seated;
                m_expected.clear();
                m_expectedRead = 0;
                m_counts.bytesUnaligned += seat;
                m_read += seat;
                m_locked = true;
                return true;
            }
        }
        ++m_counts.bytesUnaligned;
        ++m_read;
    }
    if (final) {
        m_counts.bytesUnaligned += m_received.size() - m_read;
        m_read = m_received.size();
    }
    return false;
}

void LinkChecker::ensureExpected(qsizetype count)
{
    const qsizetype missing = count - (m_expected.size() - m_expectedRead);
    if (missing > 0)
        m_expected.append(m_pattern.take(missing));
}

// The smallest step (bytes of each side to pass) after which the two sides agree again
// for AlignMatch bytes, or up to where both end. The bytes passed on both sides are
// substitutions, the surplus on one side inserted or lost bytes. Between two blocks
// that check (`bounded`), both sides end together, so the step that keeps their
// lengths consistent comes first; in an open stream a substitution wins a tie, so that
// a flipped bit in a fixed pattern is not taken for an inserted byte.
bool LinkChecker::findStep(const unsigned char *r, qsizetype rn, const unsigned char *e,
                           qsizetype en, bool bounded, Step &step) const
{
    using Key = std::tuple<qint64, int, int, int>;
    const Key none{std::numeric_limits<qint64>::max(), 0, 0, 0};
    Key best = none;
    const qint64 excess = rn - en;
    for (int a = 0; a <= AlignWindow && a <= rn; ++a) {
        for (int b = 0; b <= AlignWindow && b <= en; ++b) {
            if (a == 0 && b == 0)
                continue;
            const Key key{bounded ? qAbs(excess - (a - b)) : 0, qMax(a, b), a != b, a + b};
            if (!(key < best))
                continue;
            const qsizetype rRest = rn - a;
            const qsizetype eRest = en - b;
            const qsizetype match = qMin<qsizetype>(AlignMatch, qMin(rRest, eRest));
            const bool longEnough = match == AlignMatch || (bounded ? rRest == eRest : match == rRest);
            if (longEnough && std::memcmp(r + a, e + b, size_t(match)) == 0) {
                best = key;
                step = {a, b};
            }
        }
    }
    return best != none;
}

void LinkChecker::countSubstitutions(const unsigned char *r, const unsigned char *e, qsizetype n)
{
    for (qsizetype i = 0; i < n; ++i) {
        const int wrong = bitCount(r[i] ^ e[i]);
        m_counts.bitErrors += wrong;
        m_counts.byteErrors += wrong > 0;
    }
    m_counts.bytesCompared += n;
}

void LinkChecker::processFramed(bool final)
{
    const int size = m_blockBytes;
    for (;;) {
        const qsizetype available = m_received.size() - m_read;
        const unsigned char *r = bytes(m_received, m_read);
        if (available >= size && BlockFrame::isBlock(r, size)) {
            const quint32 number = BlockFrame::number(r);
            if (number > m_nextBlock) {
                const qint64 missing = number - m_nextBlock;
                m_counts.blocksLost += missing;
                m_counts.bytesLost += missing * size;
                m_pattern.skip(missing * m_payloadBytes);
                m_nextBlock = number;
            }
            if (number < m_nextBlock) {
                ++m_counts.blocksDuplicated;
                m_counts.bytesDuplicated += size;
            } else {
                checkBlock(r);
            }
            m_read += size;
            continue;
        }
        // Damage: the bytes up to the next block that checks stand for the blocks
        // between this one and that one.
        qsizetype next = -1;
        for (qsizetype at = 1; at + size <= available && next < 0; ++at) {
            if (r[at] == BlockFrame::Mark0 && r[at + 1] == BlockFrame::Mark1 && BlockFrame::isBlock(r + at, size))
                next = at;
        }
        if (next < 0) {
            if (final) {
                if (available > 0) {
                    // The tail stands for the blocks the sender had still sent.
                    const quint32 end = qMax(m_nextBlock, qMin<quint32>(m_finalBlocks,
                                                                        m_nextBlock + quint32(available / size) + 1));
                    checkRegion(r, available, m_nextBlock, end);
                    m_read += available;
                }
                return;
            }
            if (available >= qsizetype(MaxUnframedBlocks) * size) {
                // No block in so much: noise, given up but for what may begin a block.
                const qsizetype dropped = available - (size - 1);
                m_counts.bytesUnaligned += dropped;
                m_read += dropped;
                ++m_counts.syncLosses;
                continue;
            }
            return;
        }
        const quint32 number = BlockFrame::number(r + next);
        if (number < m_nextBlock) {
            m_counts.bytesInserted += next;
        } else {
            // Blocks beyond what the damaged bytes could have held were lost whole.
            const quint32 heldAtMost = quint32(next / size) + 2;
            if (number - m_nextBlock > heldAtMost) {
                const quint32 missing = number - m_nextBlock - heldAtMost;
                checkRegion(r, next, m_nextBlock, m_nextBlock + heldAtMost);
                m_counts.blocksLost += missing;
                m_counts.bytesLost += qint64(missing) * size;
                m_pattern.skip(qint64(missing) * m_payloadBytes);
                m_nextBlock = number;
            } else {
                checkRegion(r, next, m_nextBlock, number);
            }
        }
        m_read += next;
    }
}

// A block that checks, in its place: only its payload can still differ from the
// pattern (a sender that went wrong, or damage the CRC missed).
void LinkChecker::checkBlock(const unsigned char *r)
{
    m_payload.resize(m_payloadBytes);
    unsigned char *expected = reinterpret_cast<unsigned char *>(m_payload.data());
    m_pattern.fill(expected, m_payloadBytes);
    const unsigned char *payload = r + BlockFrame::HeaderBytes;
    const qint64 errorsBefore = m_counts.byteErrors;
    if (std::memcmp(payload, expected, size_t(m_payloadBytes)) == 0)
        m_counts.bytesCompared += m_payloadBytes;
    else
        countSubstitutions(payload, expected, m_payloadBytes);
    m_counts.bytesCompared += BlockFrame::Overhead;
    if (m_counts.byteErrors == errorsBefore)
        ++m_counts.blocksGood;
    else
        ++m_counts.blocksCorrupted;
    ++m_nextBlock;
    m_position = qint64(m_nextBlock) * m_blockBytes;
}

QByteArray LinkChecker::expectedBlock(quint32 number)
{
    return BlockFrame::make(number, m_pattern.take(m_payloadBytes));
}

// Aligns the received bytes `r` with the blocks [first, end) as sent, and tells each
// block good, corrupted or lost.
void LinkChecker::checkRegion(const unsigned char *r, qsizetype rn, quint32 first, quint32 end)
{
    QByteArray sent;
    for (quint32 n = first; n < end; ++n)
        sent.append(expectedBlock(n));
    const unsigned char *e = bytes(sent);
    const qsizetype en = sent.size();
    const int size = m_blockBytes;
    QVector<qint64> arrived(int(end - first), 0);
    QVector<bool> damaged(int(end - first), false);
    qsizetype i = 0;
    qsizetype p = 0;
    while (i < rn && p < en) {
        if (r[i] == e[p]) {
            ++arrived[p / size];
            ++m_counts.bytesCompared;
            ++i;
            ++p;
            continue;
        }
        Step step;
        if (!findStep(r + i, rn - i, e + p, en - p, true, step))
            step = {1, 1};
        const int substituted = qMin(step.received, step.expected);
        for (int t = 0; t < substituted; ++t) {
            ++arrived[(p + t) / size];
            if (r[i + t] != e[p + t])
                damaged[(p + t) / size] = true;
        }
        countSubstitutions(r + i, e + p, substituted);
        for (int t = substituted; t < step.expected; ++t)
            damaged[(p + t) / size] = true;
        if (step.received > substituted)
            damaged[qMin(p + substituted, en - 1) / size] = true;
        m_counts.bytesInserted += step.received - substituted;
        m_counts.bytesLost += step.expected - substituted;
        i += step.received;
        p += step.expected;
    }
    for (qsizetype t = p; t < en; ++t)
        damaged[t / size] = true;
    m_counts.bytesLost += en - p;
    m_counts.bytesInserted += rn - i;
    if (rn > i && en > 0)
        damaged[(en - 1) / size] = true;
    for (int b = 0; b < arrived.size(); ++b) {
        if (arrived[b] == 0)
            ++m_counts.blocksLost;
        else if (damaged[b])
            ++m_counts.blocksCorrupted;
        else
            ++m_counts.blocksGood;
    }
    m_nextBlock = end;
    m_position = qint64(end) * size;
}

void LinkChecker::compact()
{
    if (m_read > 65536 || m_read == m_received.size()) {
        m_received.remove(0, m_read);
        m_read = 0;
    }
    if (m_expectedRead > 65536) {
        m_expected.remove(0, m_expectedRead);
        m_expectedRead = 0;
    }
}
