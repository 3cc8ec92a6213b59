// Velmora workbench. Licensed under the MIT licence.
#include "textsearch.h"

#include "systemcodepage.h"

#include <algorithm>
#include <functional>
#include <iterator>

namespace {

uchar folded(char c)
{
    return (c >= 'A' && c <= 'Z') ? uchar(c - 'A' + 'a') : uchar(c);
}

struct FoldedHash
{
    size_t operator()(char c) const { return folded(c); }
};

struct FoldedEqual
{
    bool operator()(char a, char b) const { return folded(a) == folded(b); }
};

template<typename Iterator>
Iterator search(Iterator first, Iterator last, Iterator needleFirst, Iterator needleLast)
{
    const std::boyer_moore_horspool_searcher<Iterator, FoldedHash, FoldedEqual> searcher(needleFirst,
                                                                                         needleLast);
    return std::search(first, last, searcher);
}

} // namespace

TextSearch::TextSearch(const QString &path, const QString &text, Direction direction, qint64 from)
    : m_file(path)
    , m_needle(SystemCodePage::fromUnicode(text))
    , m_direction(direction)
    , m_from(std::clamp<qint64>(from, 0, m_file.size()))
    , m_next(m_from)
{
    m_finished = m_needle.isEmpty();
}

qint64 TextSearch::find(QByteArrayView data, QByteArrayView needle, Direction direction)
{
    if (needle.isEmpty() || needle.size() > data.size())
        return -1;
    if (direction == Direction::Forward) {
        const char *hit = search(data.cbegin(), data.cend(), needle.cbegin(), needle.cend());
        return hit == data.cend() ? -1 : hit - data.cbegin();
    }
    const auto hit = search(std::make_reverse_iterator(data.cend()), std::make_reverse_iterator(data.cbegin()),
                            std::make_reverse_iterator(needle.cend()),
                            std::make_reverse_iterator(needle.cbegin()));
    if (hit == std::make_reverse_iterator(data.cbegin()))
        return -1;
    // hit points at the match's last byte, counted from the end.
    return data.size() - (hit - std::make_reverse_iterator(data.cend())) - needle.size();
}

void TextSearch::searchMore(qint64 bytes)
{
    if (m_finished)
        return;
    const qint64 overlap = m_needle.size() - 1;
    bytes = std::max<qint64>(bytes, 1);
    if (m_direction == Direction::Forward) {
        const qint64 start = m_next;
        const QByteArrayView data = m_file.read(start, bytes + overlap);
        const qint64 hit = find(data, m_needle, m_direction);
        const bool atEnd = data.size() < bytes + overlap;
        m_next = start + (atEnd ? data.size() : bytes);
        if (hit >= 0)
            m_match = start + hit;
        m_finished = hit >= 0 || atEnd;
        return;
    }
    // A match may begin before m_next and end after it.
    const qint64 start = std::max<qint64>(0, m_next - bytes);
    const QByteArrayView data = m_file.read(start, m_next - start + overlap);
    const qint64 hit = find(data, m_needle, m_direction);
    if (hit >= 0 && start + hit < m_next)
        m_match = start + hit;
    m_next = start;
    m_finished = m_match >= 0 || start == 0;
}

double TextSearch::progress() const
{
    const qint64 way = m_direction == Direction::Forward ? m_file.size() - m_from : m_from;
    const qint64 gone = m_direction == Direction::Forward ? m_next - m_from : m_from - m_next;
    return way > 0 ? std::clamp(double(gone) / double(way), 0.0, 1.0) : 1.0;
}
