// Velmora workbench. Licensed under the MIT licence.
#include "framecutter.h"

#include <algorithm>
#include <cstring>

namespace {

bool streamed(FrameRule::Kind kind)
{
    return kind != FrameRule::FixedLength && kind != FrameRule::LengthField;
}

} // namespace

FrameCutter::FrameCutter(const FrameRule &rule, double gapMs, double idleMs)
    : m_rule(rule.bounded()),
      m_gapMs(m_rule.kind == FrameRule::Default ? 25.0 : gapMs),
      m_idleMs(idleMs)
{
    // The terminator's prefix table: how much of it still matches after a mismatch.
    const QByteArray &t = m_rule.terminator;
    m_failure.resize(t.size());
    int k = 0;
    for (qsizetype i = 1; i < t.size(); ++i) {
        while (k > 0 && t[i] != t[k])
            k = m_failure[k - 1];
        if (t[i] == t[k])
            ++k;
        m_failure[i] = k;
    }
}

QList<FramePiece> FrameCutter::feed(const QByteArray &bytes, qint64 arrival)
{
    QList<FramePiece> out;
    if (bytes.isEmpty())
        return out;
    if (!streamed(m_rule.kind)) {
        if (m_idleMs > 0 && !m_held.isEmpty() && arrival - m_lastArrival > m_idleMs)
            skipHeld(out, m_held.size());
    }
    noteRead(arrival);
    switch (m_rule.kind) {
    case FrameRule::Terminator:
        cutByTerminator(out, bytes);
        break;
    case FrameRule::FixedLength:
    case FrameRule::LengthField:
        if (m_held.isEmpty())
            m_heldPosition = m_position;
        m_held += bytes;
        break;
    default:
        cutByGap(out, bytes);
        break;
    }
    m_position += bytes.size();
    if (!streamed(m_rule.kind))
        cutHeld(out);
    forgetReadsBefore(streamed(m_rule.kind) ? m_position - 1 : m_heldPosition);
    return out;
}

QList<FramePiece> FrameCutter::expire(qint64 now)
{
    if (m_idleMs <= 0 || m_held.isEmpty() || now - m_lastArrival < m_idleMs)
        return {};
    return flush();
}

QList<FramePiece> FrameCutter::flush()
{
    QList<FramePiece> out;
    skipHeld(out, m_held.size());
    m_open = 0;
    m_matched = 0;
    return out;
}

bool FrameCutter::streamedByGap() const
{
    return m_rule.kind == FrameRule::Default || m_rule.kind == FrameRule::GapMilliseconds
        || m_rule.kind == FrameRule::GapCharacters;
}

void FrameCutter::noteRead(qint64 arrival)
{
    const qint64 gap = m_lastArrival < 0 ? -1 : std::max<qint64>(0, arrival - m_lastArrival);
    m_reads.append({m_position, arrival, gap});
    m_lastArrival = arrival;
}

FrameCutter::Read FrameCutter::readAt(qint64 position) const
{
    for (qsizetype k = m_reads.size() - 1; k > 0; --k) {
        if (m_reads.at(k).position <= position)
            return m_reads.at(k);
    }
    return m_reads.first();
}

void FrameCutter::forgetReadsBefore(qint64 position)
{
    qsizetype keep = 0;
    while (keep + 1 < m_reads.size() && m_reads.at(keep + 1).position <= position)
        ++keep;
    m_reads.remove(0, keep);
}

void FrameCutter::addPiece(QList<FramePiece> &out, qint64 position, const char *data,
                           qsizetype size, FramePiece::Kind kind, bool starts, bool ends)
{
    if (size <= 0)
        return;
    if (kind == FramePiece::Skipped) {
        m_skipped += size;
        // Skipped bytes side by side make one piece.
        if (!out.isEmpty() && out.last().kind == FramePiece::Skipped) {
            out.last().bytes.append(data, size);
            return;
        }
    } else if (starts) {
        ++m_frames;
    }
    const Read read = readAt(position);
    FramePiece piece;
    piece.bytes = QByteArray(data, size);
    piece.kind = kind;
    piece.starts = starts;
    piece.ends = ends;
    piece.arrival = read.arrival;
    piece.gap = position == read.position ? read.gap : 0;
    out.append(std::move(piece));
}

// A read after a pause longer than the gap starts a frame; a frame at the bound ends
// there and the next byte starts another.
void FrameCutter::cutByGap(QList<FramePiece> &out, const QByteArray &bytes)
{
    const qint64 gap = m_reads.last().gap;
    bool starts = m_open == 0 || gap > m_gapMs;
    qsizetype done = 0;
    while (done < bytes.size()) {
        if (starts) {
            m_open = 0;
        } else if (m_open >= m_rule.maxLength) {
            ++m_cut;
            m_open = 0;
            starts = true;
        }
        const qsizetype take = std::min<qsizetype>(bytes.size() - done, m_rule.maxLength - m_open);
        m_open += take;
        addPiece(out, m_position + done, bytes.constData() + done, take, FramePiece::Frame, starts,
                 m_open >= m_rule.maxLength);
        done += take;
        starts = false;
    }
}

// A frame ends with the last byte of its terminator, or at the bound. While no part of
// the terminator is matched, the bytes up to its first byte only count, and are passed
// over at once.
void FrameCutter::cutByTerminator(QList<FramePiece> &out, const QByteArray &bytes)
{
    const QByteArray &t = m_rule.terminator;
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    bool starts = m_open == 0;
    qsizetype from = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (m_matched == 0) {
            // The byte that reaches the bound is looked at below, where the frame is cut.
            const qsizetype stop = std::min<qsizetype>(size, i + (m_rule.maxLength - m_open) - 1);
            const void *hit = std::memchr(data + i, t[0], size_t(std::max<qsizetype>(0, stop - i)));
            const qsizetype next = hit ? static_cast<const char *>(hit) - data : std::max(i, stop);
            m_open += next - i;
            i = next;
            if (i >= size)
                break;
        }
        const char b = data[i];
        while (m_matched > 0 && b != t[m_matched])
            m_matched = m_failure[m_matched - 1];
        if (b == t[m_matched])
            ++m_matched;
        ++m_open;
        const bool ended = m_matched == t.size();
        if (!ended && m_open < m_rule.maxLength)
            continue;
        if (!ended)
            ++m_cut;
        addPiece(out, m_position + from, data + from, i + 1 - from, FramePiece::Frame, starts);
        from = i + 1;
        starts = true;
        m_open = 0;
        m_matched = 0;
    }
    addPiece(out, m_position + from, data + from, size - from, FramePiece::Frame, starts, false);
}

// The length rules: whole frames out of the held bytes, each starting with the header;
// what cannot start a frame is skipped a byte at a time.
void FrameCutter::cutHeld(QList<FramePiece> &out)
{
    const QByteArray &header = m_rule.header;
    const qsizetype fieldEnd = m_rule.lengthOffset + m_rule.lengthSize;
    const qsizetype least = std::max<qsizetype>({fieldEnd, header.size(), 1});
    qsizetype from = 0;
    for (;;) {
        if (!header.isEmpty()) {
            qsizetype start = m_held.indexOf(header, from);
            if (start < 0) {
                // Keep an end that may be the header's beginning.
                start = m_held.size();
                for (qsizetype k = std::min(header.size() - 1, m_held.size() - from); k > 0; --k) {
                    if (m_held.endsWith(QByteArrayView(header).first(k))) {
                        start = m_held.size() - k;
                        break;
                    }
                }
            }
            addPiece(out, m_heldPosition + from, m_held.constData() + from, start - from,
                     FramePiece::Skipped, true);
            from = start;
        }
        const qsizetype have = m_held.size() - from;
        qint64 length = m_rule.fixedLength;
        if (m_rule.kind == FrameRule::LengthField) {
            if (have < fieldEnd || have < qsizetype(header.size()))
                break;
            length = lengthAt(from);
            if (length < least || length > m_rule.maxLength) {
                ++m_refused;
                addPiece(out, m_heldPosition + from, m_held.constData() + from, 1,
                         FramePiece::Skipped, true);
                ++from;
                continue;
            }
        }
        if (have < length)
            break;
        addPiece(out, m_heldPosition + from, m_held.constData() + from, length,
                 FramePiece::Frame, true);
        from += length;
    }
    m_held.remove(0, from);
    m_heldPosition += from;
}

void FrameCutter::skipHeld(QList<FramePiece> &out, qsizetype count)
{
    addPiece(out, m_heldPosition, m_held.constData(), count, FramePiece::Skipped, true);
    m_held.remove(0, count);
    m_heldPosition += count;
}

qint64 FrameCutter::lengthAt(qsizetype from) const
{
    const auto *field = reinterpret_cast<const uchar *>(m_held.constData() + from + m_rule.lengthOffset);
    quint64 value = 0;
    for (int k = 0; k < m_rule.lengthSize; ++k) {
        const int byte = m_rule.byteOrder == FrameRule::ByteOrder::BigEndian ? k : m_rule.lengthSize - 1 - k;
        value = (value << 8) | field[byte];
    }
    return qint64(value) + m_rule.lengthAddend;
}
