#include "network_address.h"
#include "receiver_source.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace fixwatch {

// So that a failing row prints what it got.
inline void PrintTo(const NetworkAddress& address, std::ostream* out)
{
    *out << address.Name().toStdString();
}

namespace {

using Kind = NetworkAddress::Kind;

struct Accepted {
    const char* legend;
    const char* value;
    NetworkAddress expected;
};

TEST(NetworkAddress, ReadsTheThreeFormsWithIpv6InBrackets)
{
    const std::vector<Accepted> rows = {
        {"gpsd without a port takes 2947", "gpsd://localhost", {Kind::Gpsd, "localhost", 2947}},
        {"gpsd with a port", "gpsd://192.168.1.10:3000", {Kind::Gpsd, "192.168.1.10", 3000}},
        {"tcp by name and port", "tcp://nmea-mux.local:10110", {Kind::Tcp, "nmea-mux.local", 10110}},
        {"tcp to an IPv6 literal", "tcp://[::1]:10110", {Kind::Tcp, "::1", 10110}},
        {"udp on every address", "udp://:10110", {Kind::Udp, "", 10110}},
        {"udp on one IPv4 address", "udp://127.0.0.1:10110", {Kind::Udp, "127.0.0.1", 10110}},
        {"udp on one IPv6 address", "udp://[::1]:10110", {Kind::Udp, "::1", 10110}},
        {"the scheme in any case, blanks around ignored", "  TCP://Host:1 ", {Kind::Tcp, "Host", 1}},
        {"the highest port", "tcp://h:65535", {Kind::Tcp, "h", 65535}},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(NamesNetworkSource(QString::fromUtf8(row.value))) << row.legend << ": " << row.value;
        const NetworkAddressParse parse = ParseNetworkAddress(QString::fromUtf8(row.value));
        ASSERT_TRUE(parse.address) << row.legend << ": " << row.value << " -> "
                                   << parse.reason.toStdString();
        EXPECT_EQ(*parse.address, row.expected) << row.legend << ": " << row.value;
    }
}

struct Refused {
    const char* legend;
    const char* value;
    const char* reason;
};

TEST(NetworkAddress, AMalformedAddressSaysWhatIsMissingWithAnExample)
{
    const std::vector<Refused> rows = {
        {"tcp without a port", "tcp://192.168.1.10",
         "tcp:// needs a host and a port, as in tcp://192.168.1.10:10110."},
        {"tcp without a host", "tcp://:10110", "tcp:// needs a host and a port, as in tcp://192.168.1.10:10110."},
        {"tcp with an empty port", "tcp://h:", "tcp:// needs a host and a port, as in tcp://192.168.1.10:10110."},
        {"gpsd without a host", "gpsd://",
         "gpsd:// needs a host, as in gpsd://localhost or gpsd://192.168.1.10:2947."},
        {"udp without a port", "udp://127.0.0.1",
         "udp:// needs a port, as in udp://:10110 (every address) or udp://192.168.1.10:10110."},
        {"port 0", "tcp://h:0", "The port in tcp:// must be a number from 1 to 65535, as in tcp://192.168.1.10:10110."},
        {"port too high", "gpsd://h:65536",
         "The port in gpsd:// must be a number from 1 to 65535, as in gpsd://localhost or gpsd://192.168.1.10:2947."},
        {"port with a sign", "tcp://h:+1", "The port in tcp:// must be a number from 1 to 65535, as in tcp://192.168.1.10:10110."},
        {"a path after the port", "tcp://h:10110/nmea",
         "The port in tcp:// must be a number from 1 to 65535, as in tcp://192.168.1.10:10110."},
        {"IPv6 without brackets", "tcp://::1:10110", "An IPv6 address goes in brackets, as in tcp://[::1]:10110."},
        {"an unclosed bracket", "tcp://[::1:10110",
         "The IPv6 address after tcp:// lacks its closing bracket, as in tcp://[::1]:10110."},
        {"IPv4 in brackets", "tcp://[10.0.0.1]:10110",
         "The address in brackets after tcp:// is not an IPv6 address, as in tcp://[::1]:10110."},
        {"text after the brackets", "gpsd://[::1]x", "gpsd:// needs a host, as in gpsd://localhost or gpsd://192.168.1.10:2947."},
        {"a user name before the host", "tcp://me@h:1",
         "The host after tcp:// must be a host name or an IP address, as in tcp://192.168.1.10:10110."},
        {"a blank inside the host", "tcp://my host:1",
         "The host after tcp:// must be a host name or an IP address, as in tcp://192.168.1.10:10110."},
        {"udp on a host name", "udp://boat.local:10110",
         "udp:// listens on an IP address of this machine, as in udp://:10110 (every address) or udp://192.168.1.10:10110."},
    };
    for (const auto& row : rows) {
        const NetworkAddressParse parse = ParseNetworkAddress(QString::fromUtf8(row.value));
        EXPECT_FALSE(parse.address) << row.legend << ": " << row.value;
        EXPECT_EQ(parse.reason.toStdString(), row.reason) << row.legend << ": " << row.value;
    }
}

TEST(NetworkAddress, AnythingElseIsADevicePath)
{
    for (const char* value : {"/dev/ttyUSB0", "", "tcp:/h:1", "ftp://h:1", "/dev/gpsd://x", "gps://h"})
        EXPECT_FALSE(NamesNetworkSource(QString::fromUtf8(value))) << value;
}

TEST(NetworkAddress, NamesAndSourcesFollowTheKind)
{
    const std::vector<std::pair<NetworkAddress, const char*>> rows = {
        {{Kind::Gpsd, "localhost", 2947}, "gpsd on localhost:2947"},
        {{Kind::Tcp, "192.168.1.10", 10110}, "tcp 192.168.1.10:10110"},
        {{Kind::Tcp, "::1", 10110}, "tcp [::1]:10110"},
        {{Kind::Udp, "", 10110}, "udp :10110"},
    };
    for (const auto& [address, name] : rows) {
        EXPECT_EQ(address.Name().toStdString(), name);
        const auto source = MakeNetworkSource(address);
        ASSERT_TRUE(source) << name;
        EXPECT_EQ(source->Name().toStdString(), name);
        EXPECT_EQ(source->Description().toStdString(), name) << "nothing more is known before it opens";
        EXPECT_FALSE(source->IsOpen()) << name;
        EXPECT_EQ(source->Read(), "") << name;
    }
}

} // namespace
} // namespace fixwatch
