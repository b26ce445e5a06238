#pragma once

#include <QObject>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>

namespace fixwatch {

class ReceiverSource;

// A network source named by a port's configured value: gpsd://HOST[:PORT][/DEVICE],
// tcp://HOST:PORT or udp://[ADDRESS]:PORT. IPv6 literals are written in brackets.
struct NetworkAddress {
    enum class Kind {
        Gpsd,
        Tcp,
        Udp,
    };

    Kind kind = Kind::Tcp;
    // A host name or an IP address without brackets; empty for udp on every address.
    QString host;
    quint16 port = 0;
    // gpsd only: the device to watch, as gpsd names it ("/dev/ttyACM0"); empty for the
    // first one gpsd has.
    QString device = {};

    // As the status bar shows it: "gpsd on localhost:2947", "tcp 192.168.1.10:10110",
    // "udp :10110", "tcp [::1]:10110".
    QString Name() const;

    bool operator==(const NetworkAddress&) const = default;
};

// The port gpsd listens on unless told otherwise.
constexpr quint16 kGpsdDefaultPort = 2947;

// Either the address, or why the value is not one, in the user's words.
struct NetworkAddressParse {
    std::optional<NetworkAddress> address;
    QString reason;
};

// True when the value starts with gpsd://, tcp:// or udp:// (in any case, blanks around it
// ignored): it is then meant as a network source, and anything else is a device path.
bool NamesNetworkSource(QStringView value);

// Reads a value for which NamesNetworkSource is true. A malformed one gives no address and
// a reason such as "tcp:// needs a host and a port, as in tcp://192.168.1.10:10110.".
NetworkAddressParse ParseNetworkAddress(QStringView value);

// The closed source that receives from the address.
std::unique_ptr<ReceiverSource> MakeNetworkSource(const NetworkAddress& address,
                                                  QObject* parent = nullptr);

} // namespace fixwatch
