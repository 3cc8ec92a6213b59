// Velmora workbench. Licensed under the MIT licence.
#include "lineindex.h"

#include "systemcodepage.h"

#include <algorithm>
#include <cstring>

namespace {

// Read at least this much at a time, so that any row fits with the byte after it.
constexpr qint64 SmallestRead = 64 * 1024;
static_assert(SmallestRead > LineIndex::LongestRow);

// Where to cut a line longer than a row: after a byte below '@', which is a whole
// character in UTF-8 and is never the second byte of a double-byte code page's
// character; failing one in the row's second half, before a UTF-8 lead byte.
qint64 cutLongLine(QByteArrayView data)
{
    const qint64 end = LineIndex::LongestRow;
    for (qint64 k = end - 1; k >= end / 2; --k) {
        if (uchar(data.at(k)) < 0x40)
            return k + 1;
    }
    qint64 cut = end;
    while (cut > end - 4 && (uchar(data.at(cut)) & 0xC0) == 0x80)
        --cut;
    return cut;
}

} // namespace

LineIndex::LineIndex(const QString &path)
    : m_file(path)
{
}

qint64 LineIndex::rowLength(QByteArrayView data, bool reachesFileEnd)
{
    const qint64 look = std::min<qint64>(data.size(), LongestRow);
    if (const void *lineFeed = std::memchr(data.data(), '\n', size_t(look)))
        return static_cast<const char *>(lineFeed) - data.data() + 1;
    if (data.size() > LongestRow)
        return cutLongLine(data);
    return reachesFileEnd ? data.size() : -1;
}

void LineIndex::addRow(qint64 offset)
{
    if (m_rows % RowsPerMark == 0)
        m_marks.append(offset);
    ++m_rows;
}

void LineIndex::indexMore(qint64 bytes)
{
    if (m_complete)
        return;
    const qint64 wanted = std::max(bytes, SmallestRead);
    const QByteArrayView data = m_file.read(m_indexed, wanted);
    // Short of what was asked: the end of the file, or the file has shrunk since.
    const bool reachesEnd = data.size() < wanted;
    qint64 at = 0;
    while (at < data.size()) {
        const qint64 length = rowLength(data.sliced(at), reachesEnd);
        if (length < 0)
            break;
        addRow(m_indexed + at);
        at += length;
        m_afterBreak = data.at(at - 1) == '\n';
    }
    m_indexed += at;
    if (reachesEnd) {
        // A last line break begins an empty last row, and so does an empty file.
        if (m_afterBreak)
            addRow(m_indexed);
        m_complete = true;
    }
}

template<typename Visit>
void LineIndex::walkFrom(qint64 row, Visit visit)
{
    const qint64 mark = std::clamp<qint64>(row / RowsPerMark, 0, m_marks.size() - 1);
    qint64 current = mark * RowsPerMark;
    qint64 offset = m_marks.value(mark);
    while (current < m_rows) {
        const QByteArrayView data = m_file.read(offset, SmallestRead);
        const bool reachesEnd = data.size() < SmallestRead;
        qint64 at = 0;
        while (current < m_rows && at < data.size()) {
            qint64 length = rowLength(data.sliced(at), reachesEnd);
            if (length < 0)
                break;
            if (!visit(current, Row{offset + at, length}))
                return;
            at += length;
            ++current;
        }
        // The empty last row, or a file cut short since it was indexed.
        if (reachesEnd && at >= data.size()) {
            if (current < m_rows)
                visit(current, Row{offset + at, 0});
            return;
        }
        offset += at;
    }
}

QList<LineIndex::Row> LineIndex::rows(qint64 first, qint64 count)
{
    QList<Row> found;
    if (first < 0 || first >= m_rows || count <= 0)
        return found;
    walkFrom(first, [&](qint64 row, const Row &each) {
        if (row >= first)
            found.append(each);
        return qint64(found.size()) < count;
    });
    return found;
}

qint64 LineIndex::rowAt(qint64 offset)
{
    if (m_rows == 0)
        return 0;
    const auto next = std::upper_bound(m_marks.cbegin(), m_marks.cend(), offset);
    const qint64 mark = std::max<qint64>(next - m_marks.cbegin() - 1, 0);
    qint64 holding = mark * RowsPerMark;
    walkFrom(holding, [&](qint64 row, const Row &each) {
        holding = row;
        return offset >= each.offset + each.bytes;
    });
    return holding;
}

QString LineIndex::text(const Row &row)
{
    QByteArrayView bytes = m_file.read(row.offset, row.bytes);
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    return SystemCodePage::toUnicode(bytes.toByteArray());
}

QString LineIndex::decoded(qint64 offset, qint64 bytes)
{
    return SystemCodePage::toUnicode(m_file.read(offset, bytes).toByteArray());
}
