// Velmora fuzz targets. Licensed under the MIT licence.
// Rules and a received stream: the stream cut anywhere matches as the whole does, and the
// matcher never keeps as much as its longest pattern.
#include "fuzzcheck.h"

#include <rulematcher.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> parts = bytes.split('\n');
    if (parts.size() < 2)
        return 0;
    // Every line but the last is a pattern, "h" first for hexadecimal; the last is the stream.
    QList<BytePattern> patterns;
    qsizetype longest = 0;
    for (qsizetype i = 0; i + 1 < parts.size() && patterns.size() < 8; ++i) {
        const bool hex = parts.at(i).startsWith('h');
        const std::optional<BytePattern> pattern =
            BytePattern::parse(QString::fromLatin1(hex ? parts.at(i).mid(1) : parts.at(i)), hex, nullptr);
        if (pattern) {
            patterns.append(*pattern);
            longest = qMax(longest, pattern->size());
        }
    }
    const QByteArray stream = parts.last();
    RuleMatcher whole;
    whole.setPatterns(patterns);
    const QList<int> expected = whole.feed(stream);
    const qsizetype cut = stream.isEmpty() ? 0 : qsizetype(quint8(stream.at(0))) % (stream.size() + 1);
    RuleMatcher pieces;
    pieces.setPatterns(patterns);
    QList<int> found = pieces.feed(stream.left(cut));
    FUZZ_CHECK(pieces.pendingBytes() < qMax<qsizetype>(longest, 1));
    found += pieces.feed(stream.mid(cut));
    FUZZ_CHECK(found == expected);
    FUZZ_CHECK(pieces.pendingBytes() < qMax<qsizetype>(longest, 1));
    return 0;
}
