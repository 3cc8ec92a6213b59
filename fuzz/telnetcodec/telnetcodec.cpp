// Velmora fuzz targets. Licensed under the MIT licence.
// The telnet side of a network line on anything a server may send: however the reads
// cut the stream, the data, the replies and the COM-PORT answers come out the same, and
// data escaped for the wire comes back as it was. A server that sends one piece and then
// another for ever makes the codec keep no more than a bound, and get back no more
// than it sent.
#include "fuzzcheck.h"

#include <telnetcodec.h>

#include <sanitizer/allocator_interface.h>

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

// What the codec may keep of any stream: a subnegotiation and the replies and answers
// of one read, whatever came before.
constexpr size_t KeptBytesBound = 16 * 1024;
// How much of the endless stream each run feeds.
constexpr qsizetype EndlessBytes = 256 * 1024;
constexpr qsizetype ReadBytes = 4096;

// `head` once, then `body` again and again, read by read and taken as a network line
// takes it. The codec's heap may not grow past the bound, and what it gives back is no
// more than what came in: three reply bytes for each three-byte negotiation, at most
// one answer for each six-byte subnegotiation.
void checkEndlessStream(const QByteArray &head, const QByteArray &body)
{
    if (body.isEmpty())
        return;
    TelnetCodec codec;
    codec.offers();
    const size_t heapBefore = __sanitizer_get_current_allocated_bytes();
    qsizetype fed = 0, replied = 0, answered = 0, answers = 0;
    // Reads of a few KiB, as a socket gives them, whatever the body's length.
    const QByteArray read = body.repeated(std::max<qsizetype>(1, ReadBytes / body.size()));
    for (QByteArray piece = head + read; fed < EndlessBytes; piece = read) {
        fed += piece.size();
        const qsizetype data = codec.decode(piece).size();
        FUZZ_CHECK(data <= piece.size());
        replied += codec.takeReplies().size();
        for (const TelnetCodec::ComPortAnswer &answer : codec.takeAnswers()) {
            answered += answer.value.size();
            ++answers;
        }
        const size_t heapNow = __sanitizer_get_current_allocated_bytes();
        FUZZ_CHECK(heapNow <= heapBefore || heapNow - heapBefore <= KeptBytesBound);
    }
    FUZZ_CHECK(replied <= fed);
    FUZZ_CHECK(answered + 6 * answers <= fed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const int cutCount = input.byte() % 8;
    QList<qsizetype> cuts;
    for (int k = 0; k < cutCount; ++k)
        cuts.append(input.word());
    const qsizetype headSize = input.byte();
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

    checkEndlessStream(stream.left(headSize), stream.mid(headSize));
    return 0;
}
