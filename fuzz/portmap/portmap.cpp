// Velmora fuzz targets. Licensed under the MIT licence.
// The ports.ini parser on any text.
#include "fuzzcheck.h"

#include <portmap.h>
#include <systemcodepage.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = SystemCodePage::toUnicode(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    PortMap map;
    const QStringList malformed = map.applyOverrides(text);
    FUZZ_CHECK(malformed.size() <= text.count(QLatin1Char('\n')) + 1);
    for (int port = PortMap::FirstPort; port <= PortMap::LastPort; ++port)
        map.device(port);
    FUZZ_CHECK(map.device(PortMap::FirstPort - 1).isEmpty());
    FUZZ_CHECK(map.device(PortMap::LastPort + 1).isEmpty());

    // Applying the same text again changes nothing more.
    PortMap again = map;
    again.applyOverrides(text);
    for (int port = PortMap::FirstPort; port <= PortMap::LastPort; ++port)
        FUZZ_CHECK(again.device(port) == map.device(port));
    return 0;
}
