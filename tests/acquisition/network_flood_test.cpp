#include "loopback_peer.h"
#include "network_test_support.h"
#include "tcp_source.h"
#include "udp_source.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <atomic>
#include <charconv>
#include <cstdint>
#include <string>

namespace fixwatch {
namespace {

using namespace test;
using Kind = NetworkAddress::Kind;

constexpr auto kFloodTime = 1500ms;

// Numbered lines, so that what is read shows whether text was lost in its middle, repeated
// or reordered.
std::string Lines(std::uint64_t& next, std::size_t bytes)
{
    std::string text;
    while (text.size() < bytes)
        text += "$FWTST," + std::to_string(next++) + "*00\r\n";
    return text;
}

// The numbers of the complete lines of one read; the first line may be the cut end of an
// older one, so it is left out.
std::vector<std::uint64_t> Numbers(const std::string& read)
{
    std::vector<std::uint64_t> numbers;
    std::size_t at = read.find('\n');
    for (std::size_t end; at != std::string::npos && (end = read.find('\n', at + 1)) != std::string::npos; at = end) {
        const std::size_t comma = read.find(',', at);
        std::uint64_t number = 0;
        std::from_chars(read.data() + comma + 1, read.data() + end, number);
        numbers.push_back(number);
    }
    return numbers;
}

struct FloodFigures {
    std::size_t largestRead = 0;
    qint64 longestStallMs = 0; // the longest the event loop let a 10 ms timer wait
    std::int64_t residentGrowth = 0;
};

// Reads the source four times a second while the sender floods it. Every read is a piece of
// the sent stream, newer than the last read; with `whole`, nothing is missing inside a read.
FloodFigures ReadFlood(ReceiverSource& source, bool whole)
{
    FloodFigures figures;
    QElapsedTimer sinceBeat;
    sinceBeat.start();
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        figures.longestStallMs = std::max(figures.longestStallMs, sinceBeat.restart());
    });
    heartbeat.start(10);

    QTest::qWait(250); // the buffers fill up before memory is measured
    const std::size_t resident = ResidentBytes();
    std::uint64_t last = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kFloodTime.count()) {
        QTest::qWait(250);
        const std::string read = source.Read();
        figures.largestRead = std::max(figures.largestRead, read.size());
        const auto numbers = Numbers(read);
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            EXPECT_GT(numbers[i], last) << "older text came after newer";
            if (whole && i > 0) {
                EXPECT_EQ(numbers[i], numbers[i - 1] + 1) << "text missing inside a read";
            }
            last = numbers[i];
        }
    }
    figures.residentGrowth = static_cast<std::int64_t>(ResidentBytes()) - static_cast<std::int64_t>(resident);
    return figures;
}

void ExpectBounded(const FloodFigures& figures, std::uint64_t sent)
{
    std::cout << "flood: " << sent / 1000000 << " MB sent, largest read " << figures.largestRead
              << " B, memory growth " << figures.residentGrowth / 1024 << " KiB, longest stall "
              << figures.longestStallMs << " ms\n";
    EXPECT_GT(sent, 16 * ReceiverSource::kMaxReadLength) << "not a flood";
    EXPECT_EQ(figures.largestRead, ReceiverSource::kMaxReadLength) << "a read is full in a flood, never more";
    EXPECT_LT(figures.residentGrowth, 16 << 20) << "memory grew with the amount sent";
    EXPECT_LT(figures.longestStallMs, 500) << "the event loop did not get round to its timers";
}

TEST(NetworkFlood, ATcpFloodCostsBoundedMemoryAndTheNewestTextWins)
{
    std::atomic<std::uint64_t> sent{0};
    ThreadedTcpServer server([&](int socket, const std::atomic<bool>& stop) {
        std::uint64_t next = 1;
        while (!stop) {
            const std::string block = Lines(next, 1 << 16);
            if (!SendAll(socket, block, stop))
                return;
            sent += block.size();
        }
    });
    TcpSource source({Kind::Tcp, QStringLiteral("127.0.0.1"), server.Port()});
    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
    const FloodFigures figures = ReadFlood(source, true);
    ExpectBounded(figures, sent);
}

TEST(NetworkFlood, AUdpFloodCostsBoundedMemoryAndTheNewestTextWins)
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    const quint16 port = probe.localPort();
    probe.close();
    UdpSource source({Kind::Udp, QStringLiteral("127.0.0.1"), port});
    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();

    std::atomic<std::uint64_t> sent{0};
    ThreadedUdpSender sender(port, [&](int socket, const std::atomic<bool>& stop) {
        std::uint64_t next = 1;
        while (!stop) {
            const std::string datagram = Lines(next, 1000);
            if (::send(socket, datagram.data(), datagram.size(), 0) > 0)
                sent += datagram.size();
        }
    });
    const FloodFigures figures = ReadFlood(source, false);
    ExpectBounded(figures, sent);
}

} // namespace
} // namespace fixwatch
