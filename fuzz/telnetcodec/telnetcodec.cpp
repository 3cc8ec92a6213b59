// Velmora fuzz targets. Licensed under the MIT licence.
// The telnet side of a network line on anything a server may send: however the reads
// cut the stream, the data, the replies and the COM-PORT answers come out the same, and
// data escaped for the wire comes back as it was.
#include "fuzzcheck.h"

#include <telnetcodec.h>

#include <algorithm>

namespace {

struct Decoded
{
    QByteArray data;
    QByteArray replies;
    QList<TelnetCodec::ComPortAnswer> answers;
};

Decoded decodeInPieces(const QByteArray &stream, const QList<qsizetype> &cuts)
{
    TelnetCodec codec;
    codec.offers();
    Decoded out;
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        out.data += codec.decode(stream.mid(from, cut - from));
        from = cut;
    }
    out.data += codec.decode(stream.mid(from));
    out.replies = codec.takeReplies();
    out.answers = codec.takeAnswers();
    return out;
}

bool sameAnswers(const QList<TelnetCodec::ComPortAnswer> &a, const QList<TelnetCodec::ComPortAnswer> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype k = 0; k < a.size(); ++k) {
        if (a.at(k).command != b.at(k).command || a.at(k).value != b.at(k).value)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const int cutCount = input.byte() % 8;
    QList<qsizetype> cuts;
    for (int k = 0; k < cutCount; ++k)
        cuts.append(input.word());
    const QByteArray stream = input.rest();
    for (qsizetype &cut : cuts)
        cut = stream.isEmpty() ? 0 : cut % (stream.size() + 1);
    std::sort(cuts.begin(), cuts.end());

    const Decoded whole = decodeInPieces(stream, {});
    const Decoded pieces = decodeInPieces(stream, cuts);
    FUZZ_CHECK(pieces.data == whole.data);
    FUZZ_CHECK(pieces.replies == whole.replies);
    FUZZ_CHECK(sameAnswers(pieces.answers, whole.answers));
    FUZZ_CHECK(whole.data.size() <= stream.size());

    TelnetCodec codec;
    FUZZ_CHECK(codec.decode(TelnetCodec::escaped(stream)) == stream);
    return 0;
}
