#include "captures.h"
#include "gpsd_harness.h"
#include "gpsd_probe.h"
#include "gpsd_source.h"
#include "gpsd_stream.h"
#include "test_peers.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fixwatch {
namespace {

using namespace test;
using Kind = NetworkAddress::Kind;

const std::string kRmc = "$GNRMC,003956.00,A,4552.65403,S,17030.00668,E,0.025,,120419,,,A,V*07\r\n";
const std::string kGga = "$GNGGA,003956.00,4552.65403,S,17030.00668,E,1,12,0.64,14.2,M,1.8,M,,*56\r\n";

// What a gpsd sends a watcher, its reports between the sentences it passes on.
const std::string kSession =
    "{\"class\":\"VERSION\",\"release\":\"3.22\",\"rev\":\"3.22\",\"proto_major\":3,\"proto_minor\":14}\r\n"
    "{\"class\":\"DEVICES\",\"devices\":[{\"class\":\"DEVICE\",\"path\":\"/dev/ttyACM0\","
    "\"activated\":\"2026-12-07T06:19:38.102Z\",\"native\":0,\"bps\":9600}]}\r\n"
    "{\"class\":\"WATCH\",\"enable\":true,\"json\":false,\"nmea\":true}\r\n"
    + kRmc + "\r\n" + kGga
    + "{\"class\":\"ERROR\",\"message\":\"Unrecognized request '?X'\"}\r\n"
    + "{ not even JSON\n" + kRmc;
const std::string kSentences = kRmc + "\r\n" + kGga + kRmc;

TEST(GpsdStream, PassesSentencesByteForByteAndNoJsonHoweverTheReadsSplit)
{
    for (std::size_t cut = 0; cut <= kSession.size(); ++cut) {
        GpsdStream stream;
        std::string text;
        stream.Take(std::string_view(kSession).substr(0, cut), text);
        stream.Take(std::string_view(kSession).substr(cut), text);
        ASSERT_EQ(text, kSentences) << "reads split at " << cut;
        ASSERT_EQ(stream.DevicesText().toStdString(), "/dev/ttyACM0") << "reads split at " << cut;
    }
    GpsdStream stream;
    std::string text;
    for (char byte : kSession)
        stream.Take(std::string_view(&byte, 1), text);
    EXPECT_EQ(text, kSentences) << "one byte per read";
}

TEST(GpsdStream, AnOverlongReportOrAResetLeavesTheNextLineIntact)
{
    GpsdStream stream;
    std::string text, huge = "{\"class\":\"DEVICES\",\"devices\":[";
    while (huge.size() <= GpsdStream::kMaxJsonLine)
        huge += "{\"path\":\"/dev/ttyUSB9\",\"activated\":\"2026\"},";
    for (std::size_t at = 0; at < huge.size(); at += 1000)
        stream.Take(std::string_view(huge).substr(at, 1000), text);
    stream.Take("{}]}\r\n" + kGga, text);
    EXPECT_EQ(text, kGga);
    EXPECT_TRUE(stream.Devices().isEmpty()) << "the overlong report was not read";

    // A new connection starts at the beginning of a line, with no devices known.
    stream.Take(R"({"class":"DEVICE","path":"/dev/ttyACM0","activated":"t"})" "\r\n{\"class\":\"WA", text);
    ASSERT_EQ(stream.DevicesText().toStdString(), "/dev/ttyACM0");
    stream.Reset();
    text.clear();
    stream.Take(kGga, text);
    EXPECT_EQ(text, kGga);
    EXPECT_TRUE(stream.Devices().isEmpty());
}

TEST(GpsdStream, DevicesFollowTheReportsOfComingAndGoing)
{
    struct Step {
        const char* legend;
        std::string report;
        const char* shown;
    };
    const Step steps[] = {
        {"an inactive device in the list is not shown",
         R"({"class":"DEVICES","devices":[{"path":"/dev/ttyS0"},{"path":"/dev/ttyACM0","activated":"t"}]})",
         "/dev/ttyACM0"},
        {"a second device is activated", R"({"class":"DEVICE","path":"/dev/ttyUSB0","activated":"2026"})",
         "/dev/ttyACM0 and 1 more"},
        {"the same one again counts once", R"({"class":"DEVICE","path":"/dev/ttyUSB0","activated":1.5E9})",
         "/dev/ttyACM0 and 1 more"},
        {"the first goes away", R"({"class":"DEVICE","path":"/dev/ttyACM0","activated":0})", "/dev/ttyUSB0"},
        {"a TPV changes nothing", R"({"class":"TPV","path":"/dev/ttyS1","activated":"x"})", "/dev/ttyUSB0"},
        {"a new list replaces the old", R"({"class":"DEVICES","devices":[]})", ""},
    };
    GpsdStream stream;
    for (const auto& step : steps) {
        std::string text;
        stream.Take(step.report + "\r\n", text);
        EXPECT_EQ(stream.DevicesText().toStdString(), step.shown) << step.legend << ": " << step.report;
    }
}

TEST(GpsdStream, ADevicePathIsShownAsHarmlessBoundedText)
{
    struct Row {
        const char* legend;
        QString path;
        QString shown;
    };
    const Row rows[] = {
        {"a plain path", "/dev/ttyACM0", "/dev/ttyACM0"},
        {"controls, line breaks dropped", QString::fromUtf8("/dev/\x1b[2Jtty\r\nS0\t"), "/dev/[2JttyS0"},
        {"bidi overrides, separators dropped", QString::fromUtf8("/dev/\u202Eevil\u2028x"), "/dev/evilx"},
        {"blanks around trimmed", "  /dev/gps0 ", "/dev/gps0"},
        {"a long path cut with an ellipsis", QString(200, u'a'),
         QString(GpsdStream::kMaxPathLength - 1, u'a') + QChar(0x2026)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(GpsdStream::ShownPath(row.path), row.shown) << row.legend << ": " << row.path.toStdString();
}

// The test's own server stands in for gpsd, to see exactly what the source sends.
TEST(GpsdSourceOnAStandIn, AsksOnceForSentencesOnEachConnectionAndSendsNothingElse)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    GpsdSource source({Kind::Gpsd, QStringLiteral("127.0.0.1"), server.serverPort()});
    QSignalSpy lost(&source, &ReceiverSource::Lost);
    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
    ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections(); }));
    QTcpSocket* peer = server.nextPendingConnection();
    ASSERT_TRUE(WaitFor([&] { return peer->bytesAvailable() >= qint64(GpsdSource::kWatchRequest.size()); }));
    EXPECT_EQ(peer->readAll().toStdString(), GpsdSource::kWatchRequest);

    // gpsd goes away and comes back: the request is made again on the new connection.
    peer->close();
    ASSERT_TRUE(WaitFor([&] { return lost.count() == 1; }));
    ASSERT_TRUE(WaitFor([&] { return source.Reconnect(); }));
    ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections(); }));
    QTcpSocket* second = server.nextPendingConnection();
    second->write(QByteArray::fromStdString(kGga));
    EXPECT_EQ(ReadUntil(source, Contains("\n")), kGga);
    source.Close();
    WaitFor([&] { return second->state() != QAbstractSocket::ConnectedState; });
    EXPECT_EQ(second->readAll().toStdString(), GpsdSource::kWatchRequest);
    EXPECT_EQ(lost.count(), 1);
}

TEST(GpsdSourceOnRealGpsd, PassesOnlyTheCapturesSentencesAndReconnectsWhenAKilledGpsdReturns)
{
    if (const std::string missing = GpsdHarness::Missing(); !missing.empty())
        GTEST_SKIP() << missing;
    FIXWATCH_NEED_CAPTURES("ublox-zed-f9p-nmea.nmea");
    const auto capture = CapturePath("ublox-zed-f9p-nmea.nmea");
    std::ifstream file(capture, std::ios::binary);
    std::set<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.insert(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
    GpsdHarness gpsd(capture.string());
    ASSERT_TRUE(gpsd.Start()) << gpsd.Error();
    // Every complete line ends in CR LF, is one of the capture's byte for byte and none is
    // gpsd's JSON; how many there were.
    const auto checkLines = [&lines](const std::string& text) {
        int complete = 0;
        for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != text.npos; at = end + 2, ++complete) {
            const std::string line = text.substr(at, end - at);
            EXPECT_FALSE(line.starts_with('{')) << "gpsd's JSON got through: " << line;
            EXPECT_EQ(lines.count(line), 1U) << "not a line of the capture: " << line;
        }
        return complete;
    };

    GpsdSource source({Kind::Gpsd, QStringLiteral("localhost"), gpsd.Port()});
    QSignalSpy lost(&source, &ReceiverSource::Lost);
    ASSERT_TRUE(source.Open()) << source.Reason().toStdString();
    const auto linesAndDevice = [&](const std::string& read) {
        return std::count(read.begin(), read.end(), '\n') >= 200 && source.Description().contains(u'/');
    };
    EXPECT_GE(checkLines(ReadUntil(source, linesAndDevice, 10s)), 200);
    const QString name = QStringLiteral("gpsd on localhost:%1").arg(gpsd.Port());
    EXPECT_TRUE(source.Description().startsWith(name + " \u00B7 /dev/")) << qPrintable(source.Description());
    EXPECT_TRUE(GpsdAnswers(QHostAddress::LocalHost, gpsd.Port())) << "the probe finds it";

    gpsd.Kill();
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(GpsdAnswers(QHostAddress::LocalHost, gpsd.Port()));
    EXPECT_LT(clock.elapsed(), 100) << "a refused connection is known at once";
    ASSERT_TRUE(WaitFor([&] { return lost.count() == 1; }));
    EXPECT_EQ(source.Reason(), "The connection to " + name + " was closed.");
    EXPECT_FALSE(source.IsOpen());
    checkLines(source.Read()); // what came before the loss
    EXPECT_FALSE(source.Reconnect()) << "gpsd is not back yet";

    ASSERT_TRUE(gpsd.Start()) << gpsd.Error();
    ASSERT_TRUE(WaitFor([&] { return source.Reconnect(); }, 10s)) << source.Reason().toStdString();
    EXPECT_GT(checkLines(ReadUntil(source, Contains("$GNGGA"), 10s)), 0) << "no sentences after the return";
    EXPECT_EQ(lost.count(), 1);
}

TEST(GpsdProbe, GivesUpWithinItsLimitOnAServerThatIsSilentOrGreetsWithNmea)
{
    for (const std::string& greeting : {std::string(), kGga}) {
        ThreadedTcpServer server([&greeting](int socket, const std::atomic<bool>& stop) {
            SendAll(socket, greeting, stop);
            while (!stop)
                std::this_thread::sleep_for(10ms);
        });
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(GpsdAnswers(QHostAddress::LocalHost, server.Port())) << greeting;
        EXPECT_LT(clock.elapsed(), 400) << "the probe outlasted its limit";
    }
}

} // namespace
} // namespace fixwatch
