#include "gpsd_harness.h"
#include "gpsd_probe.h"
#include "gpsd_source.h"
#include "loopback_peer.h"
#include "network_test_support.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace fixwatch {
namespace {

using namespace test;
using Kind = NetworkAddress::Kind;

const std::string kRmc = "$GNRMC,003956.00,A,4552.65403,S,17030.00668,E,0.025,,120419,,,A,V*07\r\n";
const std::string kGga = "$GNGGA,003956.00,4552.65403,S,17030.00668,E,1,12,0.64,14.2,M,1.8,M,,*56\r\n";

// A test's own server stands in for gpsd, to see exactly what the source sends.
TEST(GpsdSourceOnAStandIn, AsksOnceForSentencesOnEachConnectionAndSendsNothingElse)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    GpsdSource source({Kind::Gpsd, QStringLiteral("127.0.0.1"), server.serverPort()});
    QSignalSpy lost(&source, &ReceiverSource::Lost);
    const auto receivedBy = [&](QTcpSocket* peer) {
        // Everything the source sent on this connection: read after the source is gone.
        WaitFor([&] { return peer->state() != QAbstractSocket::ConnectedState; });
        return peer->readAll().toStdString();
    };

    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
    ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    // A report split between two reads: the sentence before it shows that the first half
    // has been taken.
    peer->write("{\"class\":\"VERSION\",\"release\":\"3.22\"}\r\n");
    peer->write(QByteArray::fromStdString(kRmc) + "{\"class\":\"DEVICES\",\"devices\":[{\"path\":\"/dev/tty");
    EXPECT_EQ(ReadUntil(source, Contains("\n")), kRmc);
    peer->write("ACM0\",\"activated\":\"2026-12-07T06:19:38.102Z\"}]}\r\n" + QByteArray::fromStdString(kGga));
    EXPECT_EQ(ReadUntil(source, Contains("\n")), kGga);
    EXPECT_EQ(source.Description().toStdString(), "gpsd on 127.0.0.1:" + std::to_string(server.serverPort())
                                                      + " \u00B7 /dev/ttyACM0");

    ASSERT_TRUE(WaitFor([&] { return peer->bytesAvailable() >= qint64(GpsdSource::kWatchRequest.size()); }));
    EXPECT_EQ(peer->readAll().toStdString(), GpsdSource::kWatchRequest);

    // gpsd goes away and comes back: the request is made again on the new connection.
    peer->close();
    ASSERT_TRUE(WaitFor([&] { return lost.count() == 1; }));
    EXPECT_EQ(source.Reason().toStdString(),
              "The connection to gpsd on 127.0.0.1:" + std::to_string(server.serverPort()) + " was closed.");
    ASSERT_TRUE(WaitFor([&] { return source.Reconnect(); }));
    ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections(); }));
    QTcpSocket* second = server.nextPendingConnection();
    second->write(QByteArray::fromStdString(kGga));
    EXPECT_EQ(ReadUntil(source, Contains("\n")), kGga);
    source.Close();
    EXPECT_EQ(receivedBy(second), GpsdSource::kWatchRequest);
    EXPECT_EQ(lost.count(), 1);
}

// The lines of a capture as gpsd reads them, each without its line end.
std::set<std::string> CaptureLines(const std::filesystem::path& capture)
{
    std::set<std::string> lines;
    std::ifstream file(capture, std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.insert(line);
    }
    return lines;
}

// Checks text read from gpsd: every complete line ends in CR LF (whatever the capture's
// line end) and is one of the capture's, byte for byte, and none is JSON. Returns how many
// complete lines there were.
int CheckLines(const std::string& text, const std::set<std::string>& capture)
{
    int complete = 0;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2, ++complete) {
        const std::string line = text.substr(at, end - at);
        EXPECT_EQ(line.find('\n'), std::string::npos) << "a line end without CR: " << line;
        EXPECT_FALSE(!line.empty() && line.front() == '{') << "gpsd's JSON got through: " << line;
        EXPECT_EQ(capture.count(line), 1U) << "not a line of the capture: " << line;
    }
    return complete;
}

class GpsdSourceOnRealGpsd : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string missing = GpsdHarness::Missing(); !missing.empty())
            GTEST_SKIP() << missing;
        if (!std::filesystem::exists(capture))
            GTEST_SKIP() << "no capture at " << capture;
        ASSERT_TRUE(gpsd.Start()) << gpsd.Error();
    }

    const std::filesystem::path capture =
        std::filesystem::path(FIXWATCH_NMEA_LOGS) / "ublox-zed-f9p-nmea.nmea";
    GpsdHarness gpsd{capture.string()};
    std::set<std::string> lines = CaptureLines(capture);
};

TEST_F(GpsdSourceOnRealGpsd, PassesTheCapturesSentencesAndNamesTheDevice)
{
    GpsdSource source({Kind::Gpsd, QStringLiteral("localhost"), gpsd.Port()});
    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
    const std::string text = ReadUntil(source, [&](const std::string& read) {
        return std::count(read.begin(), read.end(), '\n') >= 200 && source.Description().contains(u'/');
    }, 10s);
    EXPECT_GE(CheckLines(text, lines), 200);
    EXPECT_TRUE(source.Description().startsWith(
        QStringLiteral("gpsd on localhost:%1 \u00B7 /dev/").arg(gpsd.Port())))
        << source.Description().toStdString();
}

TEST_F(GpsdSourceOnRealGpsd, AKilledGpsdIsLostAndReconnectedToWhenItReturns)
{
    GpsdSource source({Kind::Gpsd, QStringLiteral("127.0.0.1"), gpsd.Port()});
    QSignalSpy lost(&source, &ReceiverSource::Lost);
    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
    ASSERT_GT(CheckLines(ReadUntil(source, Contains("$GNGGA")), lines), 0);

    gpsd.Kill();
    ASSERT_TRUE(WaitFor([&] { return lost.count() == 1; }));
    EXPECT_EQ(source.Reason(), QStringLiteral("The connection to gpsd on 127.0.0.1:%1 was closed.").arg(gpsd.Port()));
    EXPECT_FALSE(source.IsOpen());
    CheckLines(source.Read(), lines); // what came before the loss
    EXPECT_FALSE(source.Reconnect()) << "gpsd is not back yet";

    ASSERT_TRUE(gpsd.Start()) << gpsd.Error();
    ASSERT_TRUE(WaitFor([&] { return source.Reconnect(); }, 10s)) << source.Reason().toStdString();
    const std::string text = ReadUntil(source, Contains("$GNGGA"), 10s);
    EXPECT_GT(CheckLines(text, lines), 0) << "no sentences after the return";
    EXPECT_TRUE(source.Description().contains(QStringLiteral(" \u00B7 /dev/"))) << source.Description().toStdString();
    EXPECT_EQ(lost.count(), 1);
}

TEST_F(GpsdSourceOnRealGpsd, TheProbeFindsGpsdOnlyWhereItAnswersAndWithinItsLimit)
{
    EXPECT_TRUE(GpsdAnswers(QHostAddress(QHostAddress::LocalHost), gpsd.Port()));
    gpsd.Kill();
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(GpsdAnswers(QHostAddress(QHostAddress::LocalHost), gpsd.Port()));
    EXPECT_LT(clock.elapsed(), 100) << "a refused connection is known at once";

    // A server that accepts and stays silent, and one that greets with NMEA instead.
    ThreadedTcpServer silent([](int, const std::atomic<bool>& stop) {
        while (!stop)
            std::this_thread::sleep_for(10ms);
    });
    ThreadedTcpServer nmea([](int socket, const std::atomic<bool>& stop) {
        SendAll(socket, kGga, stop);
        while (!stop)
            std::this_thread::sleep_for(10ms);
    });
    for (const quint16 port : {silent.Port(), nmea.Port()}) {
        clock.restart();
        EXPECT_FALSE(GpsdAnswers(QHostAddress(QHostAddress::LocalHost), port)) << port;
        EXPECT_LT(clock.elapsed(), 400) << "the probe outlasted its limit";
    }
}

} // namespace
} // namespace fixwatch
