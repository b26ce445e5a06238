#include "gpsd_harness.h"
#include "network_address.h"
#include "tcp_source.h"
#include "test_peers.h"
#include "udp_source.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <charconv>
#include <chrono>
#include <fstream>
#include <string_view>
#include <thread>

namespace fixwatch {

// So that a failing row prints what it got.
inline void PrintTo(const NetworkAddress& address, std::ostream* out) { *out << qPrintable(address.Name()); }

namespace {

using namespace test;
using Kind = NetworkAddress::Kind;

TEST(NetworkAddress, ReadsTheThreeFormsWithIpv6InBracketsAndNamesTheirSources)
{
    const struct {
        const char* value;
        NetworkAddress expected;
        const char* name;
    } rows[] = {
        {"gpsd://localhost", {Kind::Gpsd, "localhost", 2947}, "gpsd on localhost:2947"}, // gpsd's own port
        {"gpsd://192.168.1.10:3000", {Kind::Gpsd, "192.168.1.10", 3000}, "gpsd on 192.168.1.10:3000"},
        {"tcp://nmea-mux.local:10110", {Kind::Tcp, "nmea-mux.local", 10110}, "tcp nmea-mux.local:10110"},
        {"tcp://[::1]:65535", {Kind::Tcp, "::1", 65535}, "tcp [::1]:65535"},
        {"udp://:10110", {Kind::Udp, "", 10110}, "udp :10110"}, // every address
        {"udp://[::1]:10110", {Kind::Udp, "::1", 10110}, "udp [::1]:10110"},
        {"  TCP://Host:1 ", {Kind::Tcp, "Host", 1}, "tcp Host:1"}, // any case, blanks around ignored
        // A gpsd address may name the device to watch; the name stays gpsd's.
        {"gpsd://[::1]:3000/dev/serial/by-id/gps", {Kind::Gpsd, "::1", 3000, "/dev/serial/by-id/gps"}, "gpsd on [::1]:3000"},
        {"gpsd://localhost/dev/ttyACM0", {Kind::Gpsd, "localhost", 2947, "/dev/ttyACM0"}, "gpsd on localhost:2947"},
        {"gpsd://localhost/", {Kind::Gpsd, "localhost", 2947}, "gpsd on localhost:2947"},
    };
    for (const auto& row : rows) {
        EXPECT_TRUE(NamesNetworkSource(QString::fromUtf8(row.value))) << row.value;
        const NetworkAddressParse parse = ParseNetworkAddress(QString::fromUtf8(row.value));
        ASSERT_TRUE(parse.address) << row.value << " -> " << parse.reason.toStdString();
        EXPECT_EQ(*parse.address, row.expected) << row.value;
        const auto source = MakeNetworkSource(*parse.address);
        EXPECT_EQ(source->Name().toStdString(), row.name);
        // Nothing more is known before it opens than the device asked for.
        const QString device = row.expected.device.isEmpty() ? "" : " \u00B7 " + row.expected.device;
        EXPECT_EQ(source->Description(), QString::fromUtf8(row.name) + device);
    }
    for (const char* value : {"/dev/ttyUSB0", "", "tcp:/h:1", "ftp://h:1", "/dev/gpsd://x", "gps://h"})
        EXPECT_FALSE(NamesNetworkSource(QString::fromUtf8(value))) << value << " is a device path";
}

TEST(NetworkAddress, AMalformedAddressSaysWhatIsMissingWithAnExample)
{
    const std::string tcp = "tcp://192.168.1.10:10110", gpsd = "gpsd://localhost or gpsd://192.168.1.10:2947",
                      udp = "udp://:10110 (every address) or udp://192.168.1.10:10110.",
                      v6 = "tcp://[::1]:10110.";
    const std::vector<std::pair<const char*, std::string>> rows = {
        {"tcp://192.168.1.10", "tcp:// needs a host and a port, as in " + tcp + "."},
        {"gpsd://", "gpsd:// needs a host, as in " + gpsd + "."},
        {"gpsd://[::1]x", "gpsd:// needs a host, as in " + gpsd + "."},
        {"udp://127.0.0.1", "udp:// needs a port, as in " + udp},
        {"tcp://h:0", "The port in tcp:// must be a number from 1 to 65535, as in " + tcp + "."},
        {"gpsd://h:65536", "The port in gpsd:// must be a number from 1 to 65535, as in " + gpsd + "."},
        {"tcp://h:+1", "The port in tcp:// must be a number from 1 to 65535, as in " + tcp + "."},
        {"tcp://h:10110/nmea", "The port in tcp:// must be a number from 1 to 65535, as in " + tcp + "."},
        {"tcp://::1:10110", "An IPv6 address goes in brackets, as in " + v6},
        {"tcp://[::1:10110", "The IPv6 address after tcp:// lacks its closing bracket, as in " + v6},
        {"tcp://[10.0.0.1]:1", "The address in brackets after tcp:// is not an IPv6 address, as in " + v6},
        {"tcp://me@h:1", "The host after tcp:// must be a host name or an IP address, as in " + tcp + "."},
        {"udp://boat.local:10110", "udp:// listens on an IP address of this machine, as in " + udp},
        {"gpsd://h/dev/tty\x1b[2J", "The device after the gpsd address must be a path, as in gpsd://localhost/dev/ttyACM0."},
        {"gpsd://h:x/dev/ttyACM0", "The port in gpsd:// must be a number from 1 to 65535, as in " + gpsd + "."},
    };
    for (const auto& [value, reason] : rows) {
        const NetworkAddressParse parse = ParseNetworkAddress(QString::fromUtf8(value));
        EXPECT_FALSE(parse.address) << value;
        EXPECT_EQ(parse.reason.toStdString(), reason) << value;
    }
}

NetworkAddress Local(Kind kind, quint16 port) { return {kind, QStringLiteral("127.0.0.1"), port}; }

TEST(TcpSource, AFailedOpenSaysWhyInTheUsersWords)
{
    const quint16 unused = GpsdHarness::FreePort();
    const std::string port = std::to_string(unused);
    const std::pair<NetworkAddress, std::string> rows[] = {
        {Local(Kind::Tcp, unused),
         "Cannot connect to tcp 127.0.0.1:" + port + ": connection refused. Nothing listens on that port."},
        {{Kind::Tcp, "fixwatch-test.invalid", 10110},
         "Cannot connect to tcp fixwatch-test.invalid:10110: host fixwatch-test.invalid not found."},
    };
    for (const auto& [address, reason] : rows) {
        const auto source = MakeNetworkSource(address);
        EXPECT_FALSE(source->Open()) << reason;
        EXPECT_EQ(source->Reason().toStdString(), reason);
    }
}

// The client the server has, once it has one.
QTcpSocket* Accepted(QTcpServer& server)
{
    return WaitFor([&] { return server.hasPendingConnections(); }) ? server.nextPendingConnection() : nullptr;
}

TEST(TcpSource, ReceivesEveryByteSendsNothingAndADroppedConnectionIsLostOnceUntilReconnect)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const quint16 port = server.serverPort();
    TcpSource source(Local(Kind::Tcp, port));
    QSignalSpy lost(&source, &ReceiverSource::Lost);
    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
    QTcpSocket* peer = Accepted(server);
    ASSERT_TRUE(peer);

    std::string sent;
    for (int b = 0; b < 256; ++b)
        sent += static_cast<char>(b);
    sent += "$GPGGA,1*00\r\n$GPGLL,2*00\n";
    // A lone LF (byte 10 and the last line's) gets the CR the line assembly needs.
    std::string expected = sent;
    expected.insert(10, "\r");
    expected.insert(expected.size() - 1, "\r");
    peer->write(sent.data(), static_cast<qint64>(sent.size()));
    EXPECT_EQ(ReadUntil(source, [&](const std::string& read) { return read.size() >= expected.size(); }),
              expected);

    peer->write("$GPGGA,1*00\r\n");
    peer->flush();
    peer->close();
    server.close();
    ASSERT_TRUE(WaitFor([&] { return lost.count() == 1; }));
    const QString reason = QStringLiteral("The connection to tcp 127.0.0.1:%1 was closed.").arg(port);
    EXPECT_EQ(lost.at(0).at(0).toString(), reason);
    EXPECT_FALSE(source.IsOpen());
    EXPECT_EQ(source.Read(), "$GPGGA,1*00\r\n") << "what came before the loss is still handed out";

    EXPECT_LT(CpuMsWhileWaiting(500), 200) << "the event loop kept busy after the loss";

    EXPECT_FALSE(source.Reconnect()) << "nothing listens";
    EXPECT_EQ(source.Reason(), reason) << "the reason of the loss stays while reconnecting";
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
    ASSERT_TRUE(WaitFor([&] { return source.Reconnect(); }));
    peer = Accepted(server);
    ASSERT_TRUE(peer);
    peer->write("$GPRMC,2*00\r\n");
    EXPECT_EQ(ReadUntil(source, Contains("\n")), "$GPRMC,2*00\r\n");
    EXPECT_EQ(lost.count(), 1);

    source.Close();
    ASSERT_TRUE(WaitFor([&] { return peer->state() != QAbstractSocket::ConnectedState; }));
    EXPECT_EQ(peer->readAll().size(), 0) << "the source sent something";
}

quint16 FreeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

TEST(UdpSource, DatagramsAreReceivedAsTextInOrderEveryLineEndingInCrLf)
{
    const quint16 port = FreeUdpPort();
    for (const QString& host : {QString(), QStringLiteral("127.0.0.1")}) {
        UdpSource source({Kind::Udp, host, port});
        ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
        QUdpSocket sender;
        // LF alone; a sentence with no line end; a CR LF split between two datagrams; a
        // sentence cut between datagrams; a byte beyond ASCII.
        for (const std::string datagram :
             {"$GPGGA,1*00\n$GPGLL,2*00\n", "$GPRMC,3*00", "$GPVTG,4*00\r", "\n$GPGSA,5", "*00", "\xB0"})
            sender.writeDatagram(datagram.data(), qint64(datagram.size()), QHostAddress::LocalHost, port);
        EXPECT_EQ(ReadUntil(source, Contains("\xB0")),
                  "$GPGGA,1*00\r\n$GPGLL,2*00\r\n$GPRMC,3*00\r\n$GPVTG,4*00\r\n$GPGSA,5*00\r\n\xB0")
            << "listening on " << source.Name().toStdString();
        source.Close();
    }
}

// Numbered lines, so that a read shows whether text was lost inside it, repeated or reordered.
std::string Lines(std::uint64_t& next, std::size_t bytes)
{
    std::string text;
    while (text.size() < bytes)
        text += "$FWTST," + std::to_string(next++) + "*00\r\n";
    return text;
}

std::int64_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::int64_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

// Takes the reads of a source as the window's session does: a read may end inside a line,
// which the next read finishes, unless the source dropped text in between; then the
// unfinished line goes, and the read begins a line. Every whole line must be one the peer
// sent, numbered higher than the last, and with `whole` (TCP) none may be missing inside a
// read.
struct NumberedLines {
    void Take(const ReceiverSource& source, const std::string& read, bool whole)
    {
        handed += read.size();
        const bool dropped = source.Dropped() != droppedBefore;
        droppedBefore = source.Dropped();
        if (dropped) {
            unfinished.clear();
            if (!read.empty()) {
                EXPECT_EQ(read.front(), '$') << "the read after a loss begins inside a line";
            }
        }
        unfinished += read;
        bool first = true;
        std::size_t at = 0;
        for (std::size_t end; (end = unfinished.find("\r\n", at)) != std::string::npos; at = end + 2) {
            const std::string_view line(unfinished.data() + at, end - at);
            ASSERT_TRUE(line.rfind("$FWTST,", 0) == 0 && line.size() > 10 && line.substr(line.size() - 3) == "*00"
                        && line.find('$', 1) == std::string_view::npos)
                << "a line spliced from two: " << line;
            std::uint64_t number = 0;
            std::from_chars(line.data() + 7, line.data() + line.size() - 3, number);
            EXPECT_GT(number, last) << "older text came after newer";
            EXPECT_TRUE(!whole || (first && dropped) || number == last + 1) << "text missing inside a read";
            last = number;
            first = false;
        }
        unfinished.erase(0, at);
    }

    std::string unfinished;
    std::uint64_t last = 0, handed = 0, droppedBefore = 0;
};

// Reads the source four times a second for 1.5 s, and on until the peer has sent 16 full reads
// (a slow or sanitized build sends less in that time), while the peer floods it: memory stays
// bounded, every read is nearly full but no more, of whole lines, each newer than the last,
// and what went is counted.
void ReadFlood(ReceiverSource& source, const std::atomic<std::uint64_t>& sent)
{
    constexpr int kRounds = 6, kMostRounds = 120;
    QTest::qWait(250); // the buffers fill up before memory is measured
    const std::int64_t resident = ResidentBytes();
    std::size_t largestRead = 0;
    NumberedLines lines;
    for (int round = 0; round < kRounds || (sent <= 16 * ReceiverSource::kMaxReadLength && round < kMostRounds);
         ++round) {
        QTest::qWait(250);
        const std::string read = source.Read();
        largestRead = std::max(largestRead, read.size());
        lines.Take(source, read, false);
    }
    EXPECT_GT(sent, 16 * ReceiverSource::kMaxReadLength) << "not a flood";
    EXPECT_LE(largestRead, ReceiverSource::kMaxReadLength) << "a read is never more than its bound";
    EXPECT_GT(largestRead, ReceiverSource::kMaxReadLength - 64) << "a read in a flood is full but for a line";
    EXPECT_GT(source.Dropped(), 0u) << "the loss is counted";
    EXPECT_LE(lines.handed + source.Dropped(), sent.load());
#ifndef __SANITIZE_ADDRESS__ // AddressSanitizer holds freed memory back, so resident memory is not ours
    EXPECT_LT(ResidentBytes() - resident, 16 << 20) << "memory grew with the amount sent";
#else
    (void)resident;
#endif
}

TEST(NetworkFlood, ATcpFloodComesInFullReadsLosesWholeLinesOnlyAndCountsEveryByteThatWent)
{
    // 40 reads' worth at once, faster than four reads a second take it; then the peer waits.
    constexpr std::uint64_t kTotal = 40 * ReceiverSource::kMaxReadLength;
    std::atomic<std::uint64_t> sent{0}, newest{0};
    ThreadedTcpServer server([&](int socket, const std::atomic<bool>& stop) {
        std::uint64_t next = 1;
        const std::string all = Lines(next, kTotal);
        newest = next - 1;
        if (SendAll(socket, all, stop))
            sent = all.size();
        while (!stop)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    });
    TcpSource source({Kind::Tcp, QStringLiteral("127.0.0.1"), server.Port()});
    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
    NumberedLines lines;
    std::size_t largestRead = 0;
    for (int round = 0; round < 200 && (sent == 0 || lines.handed + source.Dropped() < sent); ++round) {
        QTest::qWait(250);
        const std::string read = source.Read();
        largestRead = std::max(largestRead, read.size());
        lines.Take(source, read, true);
    }
    EXPECT_LE(largestRead, ReceiverSource::kMaxReadLength) << "a read is never more than its bound";
    EXPECT_GT(largestRead, ReceiverSource::kMaxReadLength - 64) << "a read in a flood is full but for a line";
    EXPECT_GT(source.Dropped(), 0u);
    EXPECT_EQ(lines.handed + source.Dropped(), sent.load()) << "every byte was handed out or counted as lost";
    EXPECT_EQ(lines.last, newest.load()) << "the newest line came last";
    EXPECT_TRUE(lines.unfinished.empty());
}

TEST(NetworkFlood, AUdpFloodCostsBoundedMemoryAndTheNewestTextWins)
{
    const quint16 port = FreeUdpPort();
    UdpSource source({Kind::Udp, QStringLiteral("127.0.0.1"), port});
    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
    std::atomic<std::uint64_t> sent{0};
    ThreadedUdpSender sender(port, [&](int socket, const std::atomic<bool>& stop) {
        for (std::uint64_t next = 1; !stop;) {
            const std::string datagram = Lines(next, 1000);
            if (::send(socket, datagram.data(), datagram.size(), 0) > 0)
                sent += datagram.size();
        }
    });
    ReadFlood(source, sent);
}

} // namespace
} // namespace fixwatch
