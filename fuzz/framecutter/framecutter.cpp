// Velmora fuzz targets. Licensed under the MIT licence.
// Every frame rule on any stream, cut into reads of any size at any times: the cutter
// never crashes, the pieces joined back together are the stream (no byte lost or
// doubled), no frame is longer than the bound, and a length rule never holds more
// than a frame of the bound and a read.
#include "fuzzcheck.h"

#include <framecutter.h>

namespace {

FrameRule ruleFrom(FuzzInput &in)
{
    FrameRule rule;
    rule.kind = FrameRule::Kind(in.byte() % 6);
    rule.gapMilliseconds = 1 + in.byte();
    rule.terminator = in.bytes(1 + in.byte() % 4);
    rule.fixedLength = 1 + in.byte() % 40;
    rule.header = in.bytes(in.byte() % 4);
    rule.lengthOffset = in.byte() % 8;
    rule.lengthSize = QList<int>{1, 2, 4}.at(in.byte() % 3);
    rule.byteOrder = FrameRule::ByteOrder(in.byte() % 2);
    rule.lengthAddend = int(in.byte()) - 128;
    rule.maxLength = 1 + in.byte() % 64;
    return rule.bounded();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    const FrameRule rule = ruleFrom(in);
    FrameCutter cutter(rule, in.byte() % 50, in.byte() % 50);

    QByteArray stream;
    QByteArray joined;
    qint64 now = 0;
    qsizetype frameLength = 0;
    const auto take = [&](const QList<FramePiece> &pieces) {
        for (const FramePiece &piece : pieces) {
            FUZZ_CHECK(!piece.bytes.isEmpty());
            joined += piece.bytes;
            if (piece.kind == FramePiece::Frame) {
                frameLength = piece.starts ? piece.bytes.size() : frameLength + piece.bytes.size();
                FUZZ_CHECK(frameLength <= rule.maxLength || rule.kind == FrameRule::Default);
            }
        }
    };
    while (!in.atEnd()) {
        now += in.byte() % 40;
        const QByteArray read = in.bytes(1 + in.byte() % 32);
        stream += read;
        take(cutter.feed(read, now));
        FUZZ_CHECK(cutter.pending() <= rule.maxLength + 32);
        if (in.byte() % 8 == 0)
            take(cutter.expire(now + in.byte()));
    }
    take(cutter.flush());
    FUZZ_CHECK(joined == stream);
    FUZZ_CHECK(cutter.pending() == 0);
    return 0;
}
