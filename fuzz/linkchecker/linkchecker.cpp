// Velmora fuzz targets. Licensed under the MIT licence.
// The link test's checker on anything a line may deliver: it never crashes, every byte
// received is accounted for once (compared, inserted, unaligned or part of a duplicated
// block), bit errors stay within the bits compared, and in the raw form the counts do
// not depend on how the reads cut the stream. A sent stream damaged at the input's
// choice checks the same way.
#include "fuzzcheck.h"

#include <blockframe.h>
#include <linkchecker.h>

namespace {

LinkCounts check(LinkChecker::Form form, const TestPattern &pattern, int payload, const QByteArray &received,
                 const QList<qsizetype> &cuts, qint64 sent)
{
    LinkChecker checker(form, pattern, payload);
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        checker.feed(received.mid(from, cut - from));
        from = cut;
    }
    checker.feed(received.mid(from));
    checker.finish(sent);
    FUZZ_CHECK(checker.pendingBytes() == 0);
    const LinkCounts c = checker.counts();
    FUZZ_CHECK(c.bytesReceived == received.size());
    FUZZ_CHECK(c.bytesReceived == c.bytesCompared + c.bytesInserted + c.bytesUnaligned + c.bytesDuplicated);
    FUZZ_CHECK(c.bitErrors <= c.bitsCompared() && c.byteErrors <= c.bytesCompared && c.byteErrors <= c.bitErrors);
    FUZZ_CHECK(c.bytesLost >= 0 && c.blocksLost >= 0);
    return c;
}

// The sent stream with the input's damage: each step keeps some bytes, then flips,
// drops or inserts.
QByteArray damaged(const QByteArray &sent, FuzzInput &input)
{
    QByteArray out;
    qsizetype at = 0;
    while (at < sent.size() && !input.atEnd()) {
        const qsizetype keep = qMin<qsizetype>(input.word(), sent.size() - at);
        out += sent.mid(at, keep);
        at += keep;
        const quint8 op = input.byte();
        const int count = 1 + (op >> 2) % 16;
        switch (op & 3) {
        case 0: if (at < sent.size()) out += char(sent.at(at++) ^ char(1 << (count % 8))); break;
        case 1: at += count; break;
        case 2: out += input.bytes(count); break;
        default: out += sent.mid(qMax<qsizetype>(0, at - count), count); break;
        }
    }
    out += sent.mid(at);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const quint8 shape = input.byte();
    const auto form = (shape & 1) ? LinkChecker::Form::Raw : LinkChecker::Form::Framed;
    const auto kind = TestPattern::Kind((shape >> 1) % (TestPattern::UserBytes + 1));
    const TestPattern pattern(kind, input.bytes(input.byte() % 8));
    const int payload = 1 + input.byte() % 96;
    const qsizetype cut = input.word();

    QByteArray received;
    qint64 sent = input.word();
    if (input.byte() & 1) {
        TestPattern generator = pattern;
        const int blocks = 1 + int(sent % 40);
        QByteArray stream;
        for (int n = 0; n < blocks; ++n) {
            const QByteArray payloadBytes = generator.take(payload);
            stream += form == LinkChecker::Form::Framed ? BlockFrame::make(quint32(n), payloadBytes) : payloadBytes;
        }
        sent = stream.size();
        received = damaged(stream, input);
    } else {
        received = input.rest();
    }

    const LinkCounts whole = check(form, pattern, payload, received, {}, sent);
    if (form == LinkChecker::Form::Raw && cut > 0 && cut < received.size()) {
        const LinkCounts pieces = check(form, pattern, payload, received, {cut}, sent);
        FUZZ_CHECK(pieces.bitErrors == whole.bitErrors);
        FUZZ_CHECK(pieces.bytesLost == whole.bytesLost);
        FUZZ_CHECK(pieces.bytesInserted == whole.bytesInserted);
        FUZZ_CHECK(pieces.syncLosses == whole.syncLosses);
    }
    return 0;
}
