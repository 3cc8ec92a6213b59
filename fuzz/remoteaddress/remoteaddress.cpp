// Velmora fuzz targets. Licensed under the MIT licence.
// The network address of a port map entry on any text: an address it takes is written
// back as the port map would hold it and reads as the same address, and the parts it
// takes never outgrow the text.
#include "fuzzcheck.h"

#include <remoteaddress.h>

namespace {

QString written(const RemoteAddress &address)
{
    const QString scheme = address.protocol == RemoteAddress::Protocol::Rfc2217 ? QStringLiteral("rfc2217")
                                                                                : QStringLiteral("tcp");
    return scheme + QStringLiteral("://") + address.hostAndPort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString device = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<RemoteAddress> address = RemoteAddress::parse(device);
    if (!address)
        return 0;
    FUZZ_CHECK(RemoteAddress::looksRemote(device));
    FUZZ_CHECK(!address->host.isEmpty());
    FUZZ_CHECK(address->host.size() < device.size());
    FUZZ_CHECK(address->port >= 1);

    const std::optional<RemoteAddress> again = RemoteAddress::parse(written(*address));
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->protocol == address->protocol);
    FUZZ_CHECK(again->host == address->host);
    FUZZ_CHECK(again->port == address->port);
    FUZZ_CHECK(again->hostAndPort() == address->hostAndPort());
    return 0;
}
