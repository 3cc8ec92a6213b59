// Velmora workbench. Licensed under the MIT licence.
#include "remoteaddress.h"

#include <QRegularExpression>

namespace {

const QString SchemeMark = QStringLiteral("://");

} // namespace

bool RemoteAddress::looksRemote(const QString &device)
{
    return device.contains(SchemeMark);
}

std::optional<RemoteAddress> RemoteAddress::parse(const QString &device)
{
    // A host may be a name, an IPv4 address or a bracketed IPv6 address.
    static const QRegularExpression form(QStringLiteral("^(tcp|rfc2217)://(\\[[0-9A-Fa-f:.]+\\]|[^:/\\[\\]\\s]+):(\\d{1,5})$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(device.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int port = match.captured(3).toInt();
    if (port < 1 || port > 65535)
        return std::nullopt;
    RemoteAddress address;
    address.protocol = match.captured(1).compare(QLatin1String("tcp"), Qt::CaseInsensitive) == 0
        ? Protocol::Raw
        : Protocol::Rfc2217;
    address.host = match.captured(2);
    if (address.host.startsWith(QLatin1Char('[')))
        address.host = address.host.mid(1, address.host.size() - 2);
    address.port = quint16(port);
    return address;
}

QString RemoteAddress::hostAndPort() const
{
    const QString shownHost = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return shownHost + QLatin1Char(':') + QString::number(port);
}
