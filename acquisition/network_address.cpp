#include "network_address.h"

#include "gpsd_source.h"
#include "tcp_source.h"
#include "udp_source.h"

#include <QHostAddress>

#include <algorithm>
#include <array>

namespace fixwatch {
namespace {

using Kind = NetworkAddress::Kind;

struct Scheme {
    QLatin1StringView prefix;
    Kind kind;
};

constexpr std::array kSchemes = {
    Scheme{QLatin1StringView("gpsd://"), Kind::Gpsd},
    Scheme{QLatin1StringView("tcp://"), Kind::Tcp},
    Scheme{QLatin1StringView("udp://"), Kind::Udp},
};

// The longest host name the resolver accepts.
constexpr qsizetype kMaxHostLength = 253;
constexpr int kMaxPortDigits = 5;
// The longest device path gpsd keeps.
constexpr qsizetype kMaxDevicePathLength = 128;

const Scheme* SchemeOf(QStringView value)
{
    for (const Scheme& scheme : kSchemes)
        if (value.startsWith(scheme.prefix, Qt::CaseInsensitive))
            return &scheme;
    return nullptr;
}

QString Example(Kind kind)
{
    switch (kind) {
    case Kind::Gpsd:
        return QStringLiteral("gpsd://localhost or gpsd://192.168.1.10:2947");
    case Kind::Tcp:
        return QStringLiteral("tcp://192.168.1.10:10110");
    case Kind::Udp:
        return QStringLiteral("udp://:10110 (every address) or udp://192.168.1.10:10110");
    }
    return {};
}

QString Needs(Kind kind)
{
    switch (kind) {
    case Kind::Gpsd:
        return QStringLiteral("gpsd:// needs a host, as in %1.").arg(Example(kind));
    case Kind::Tcp:
        return QStringLiteral("tcp:// needs a host and a port, as in %1.").arg(Example(kind));
    case Kind::Udp:
        return QStringLiteral("udp:// needs a port, as in %1.").arg(Example(kind));
    }
    return {};
}

QString SchemeText(Kind kind)
{
    for (const Scheme& scheme : kSchemes)
        if (scheme.kind == kind)
            return scheme.prefix.toString();
    return {};
}

std::optional<quint16> ParsePort(QStringView text)
{
    if (text.isEmpty() || text.size() > kMaxPortDigits)
        return std::nullopt;
    int port = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        port = port * 10 + (c.unicode() - u'0');
    }
    if (port < 1 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

bool IsHostName(QStringView host)
{
    if (host.isEmpty() || host.size() > kMaxHostLength || host.startsWith(u'.')
        || host.startsWith(u'-'))
        return false;
    for (QChar c : host)
        if (!c.isLetterOrNumber() && c != u'.' && c != u'-' && c != u'_')
            return false;
    return true;
}

NetworkAddressParse Fail(QString reason)
{
    return {std::nullopt, std::move(reason)};
}

} // namespace

QString NetworkAddress::Name() const
{
    const QString shownHost = host.contains(u':') ? u'[' + host + u']' : host;
    QString endpoint = shownHost + u':' + QString::number(port);
    switch (kind) {
    case Kind::Gpsd:
        return QStringLiteral("gpsd on ") + endpoint;
    case Kind::Tcp:
        return QStringLiteral("tcp ") + endpoint;
    case Kind::Udp:
        return QStringLiteral("udp ") + endpoint;
    }
    return endpoint;
}

bool NamesNetworkSource(QStringView value)
{
    return SchemeOf(value.trimmed()) != nullptr;
}

NetworkAddressParse ParseNetworkAddress(QStringView value)
{
    value = value.trimmed();
    const Scheme* scheme = SchemeOf(value);
    if (!scheme)
        return Fail(QStringLiteral("This is not a network address: it names no gpsd://, tcp:// or udp:// source."));
    const Kind kind = scheme->kind;
    QStringView rest = value.mid(scheme->prefix.size());

    // gpsd://HOST[:PORT]/dev/ttyACM0 watches that device of the gpsd.
    QString device;
    if (kind == Kind::Gpsd) {
        if (const auto slash = rest.indexOf(u'/'); slash >= 0) {
            device = rest.mid(slash).toString();
            rest = rest.left(slash);
            if (device == u'/')
                device.clear();
            else if (device.size() > kMaxDevicePathLength
                     || std::any_of(device.cbegin(), device.cend(), [](QChar c) { return !c.isPrint(); }))
                return Fail(QStringLiteral("The device after the gpsd address must be a path, as in "
                                           "gpsd://localhost/dev/ttyACM0."));
        }
    }

    // Split HOST[:PORT] or [IPV6][:PORT].
    QStringView host;
    std::optional<QStringView> portText;
    const bool bracketed = rest.startsWith(u'[');
    if (bracketed) {
        const auto close = rest.indexOf(u']');
        if (close < 0)
            return Fail(QStringLiteral("The IPv6 address after %1 lacks its closing bracket, as in %1[::1]:10110.")
                            .arg(SchemeText(kind)));
        host = rest.mid(1, close - 1);
        const QStringView after = rest.mid(close + 1);
        if (after.startsWith(u':'))
            portText = after.mid(1);
        else if (!after.isEmpty())
            return Fail(Needs(kind));
    } else {
        const auto colons = rest.count(u':');
        if (colons > 1)
            return Fail(QStringLiteral("An IPv6 address goes in brackets, as in %1[::1]:10110.")
                            .arg(SchemeText(kind)));
        const auto colon = rest.indexOf(u':');
        host = colon < 0 ? rest : rest.left(colon);
        if (colon >= 0)
            portText = rest.mid(colon + 1);
    }

    NetworkAddress address;
    address.kind = kind;
    if (host.isEmpty() && (kind != Kind::Udp || bracketed))
        return Fail(Needs(kind));
    if (!portText) {
        if (kind != Kind::Gpsd)
            return Fail(Needs(kind));
        address.port = kGpsdDefaultPort;
    } else if (portText->isEmpty()) {
        return Fail(Needs(kind));
    } else if (const auto port = ParsePort(*portText)) {
        address.port = *port;
    } else {
        return Fail(QStringLiteral("The port in %1 must be a number from 1 to 65535, as in %2.")
                        .arg(SchemeText(kind), Example(kind)));
    }

    if (bracketed) {
        if (QHostAddress(host.toString()).protocol() != QAbstractSocket::IPv6Protocol)
            return Fail(QStringLiteral("The address in brackets after %1 is not an IPv6 address, as in %1[::1]:10110.")
                            .arg(SchemeText(kind)));
    } else if (kind == Kind::Udp) {
        if (!host.isEmpty() && QHostAddress(host.toString()).protocol() != QAbstractSocket::IPv4Protocol)
            return Fail(QStringLiteral("udp:// listens on an IP address of this machine, as in %1.")
                            .arg(Example(kind)));
    } else if (!IsHostName(host)) {
        return Fail(QStringLiteral("The host after %1 must be a host name or an IP address, as in %2.")
                        .arg(SchemeText(kind), Example(kind)));
    }
    address.host = host.toString();
    address.device = device;
    return {address, {}};
}

std::unique_ptr<ReceiverSource> MakeNetworkSource(const NetworkAddress& address, QObject* parent)
{
    switch (address.kind) {
    case Kind::Gpsd:
        return std::make_unique<GpsdSource>(address, parent);
    case Kind::Tcp:
        return std::make_unique<TcpSource>(address, parent);
    case Kind::Udp:
        return std::make_unique<UdpSource>(address, parent);
    }
    return nullptr;
}

} // namespace fixwatch
