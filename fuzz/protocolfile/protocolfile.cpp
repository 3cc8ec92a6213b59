// Velmora fuzz targets. Licensed under the MIT licence.
// The command list's file: any text either parses into a set that writes back to a file
// reading the same, or names a reason; a line named lies within the text.
#include "fuzzcheck.h"

#include <protocolfile.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const ProtocolFile::Parsed parsed = ProtocolFile::parse(text);
    if (!parsed.set) {
        FUZZ_CHECK(!parsed.reason.isEmpty());
        FUZZ_CHECK(parsed.line >= 0 && parsed.line <= text.count('\n') + 1);
        return 0;
    }
    const QByteArray written = ProtocolFile::toJson(*parsed.set);
    const ProtocolFile::Parsed again = ProtocolFile::parse(written);
    FUZZ_CHECK(again.set);
    FUZZ_CHECK(*again.set == *parsed.set);
    FUZZ_CHECK(ProtocolFile::toJson(*again.set) == written);
    for (const ProtocolSet::Command &command : parsed.set->commands)
        FUZZ_CHECK(command.payload().has_value());
    for (const ProtocolSet::Rule &rule : parsed.set->rules)
        FUZZ_CHECK(rule.pattern().has_value() && rule.answerPayload().has_value());
    return 0;
}
