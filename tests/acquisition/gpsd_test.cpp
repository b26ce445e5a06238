#include "captures.h"
#include "gpsd_harness.h"
#include "gpsd_probe.h"
#include "gpsd_source.h"
#include "gpsd_stream.h"
#include "test_peers.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <vector>

namespace fixwatch {
namespace {

using namespace test;
using Kind = NetworkAddress::Kind;

const std::string kRmc = "$GNRMC,003956.00,A,4552.65403,S,17030.00668,E,0.025,,120419,,,A,V*07\r\n";
const std::string kGga = "$GNGGA,003956.00,4552.65403,S,17030.00668,E,1,12,0.64,14.2,M,1.8,M,,*56\r\n";

const std::string kVersion =
    "{\"class\":\"VERSION\",\"release\":\"3.22\",\"rev\":\"3.22\",\"proto_major\":3,\"proto_minor\":14}\r\n";
std::string DevicesReport(const std::string& devices)
{
    return "{\"class\":\"DEVICES\",\"devices\":[" + devices + "]}\r\n";
}
std::string Device(const std::string& path, bool active = true)
{
    return "{\"class\":\"DEVICE\",\"path\":\"" + path + "\"" + (active ? ",\"activated\":\"2026-12-07T06:19:38.102Z\"" : "")
           + ",\"native\":0,\"bps\":9600}";
}
std::string WatchEcho(const std::string& device = "")
{
    return "{\"class\":\"WATCH\",\"enable\":true,\"json\":false,\"nmea\":true"
           + (device.empty() ? "" : ",\"device\":\"" + device + "\"") + "}\r\n";
}

// What a gpsd sends a watcher of /dev/ttyACM0, its reports between the sentences it passes
// on; the sentence before its confirmation of the watch is not yet the device's.
const std::string kSession =
    kVersion + DevicesReport(Device("/dev/ttyACM0") + "," + Device("/dev/ttyUSB0")) + kGga
    + WatchEcho("/dev/ttyACM0") + kRmc + "\r\n" + kGga
    + "{\"class\":\"ERROR\",\"message\":\"Unrecognized request '?X'\"}\r\n"
    + "{ not even JSON\n" + kRmc;
const std::string kSentences = kRmc + "\r\n" + kGga + kRmc;

TEST(GpsdStream, PassesTheWatchedSentencesByteForByteAndNoJsonHoweverTheReadsSplit)
{
    for (std::size_t cut = 0; cut <= kSession.size(); ++cut) {
        GpsdStream stream;
        stream.Reset("/dev/ttyACM0");
        std::string text;
        stream.Take(std::string_view(kSession).substr(0, cut), text);
        stream.Take(std::string_view(kSession).substr(cut), text);
        ASSERT_EQ(text, kSentences) << "reads split at " << cut;
        ASSERT_EQ(stream.DevicesText().toStdString(), "/dev/ttyACM0 \u00B7 1 other device") << "split at " << cut;
        ASSERT_EQ(stream.TakeRequest(), "") << "the device was named: nothing more to ask";
    }
    GpsdStream stream;
    stream.Reset("/dev/ttyACM0");
    std::string text;
    for (char byte : kSession)
        stream.Take(std::string_view(&byte, 1), text);
    EXPECT_EQ(text, kSentences) << "one byte per read";
}

TEST(GpsdStream, WatchesTheFirstActiveDeviceAndPassesNothingUntilGpsdConfirmsIt)
{
    GpsdStream stream;
    std::string text;
    const std::string devices = Device("/dev/ttyS0", false) + "," + Device("/dev/pts/1") + "," + Device("/dev/pts/2");
    stream.Take(kVersion + DevicesReport(devices) + WatchEcho() + kGga + kRmc, text);
    EXPECT_EQ(stream.TakeRequest(), std::string(R"(?WATCH={"device":"/dev/pts/1","enable":true,"nmea":true})") + "\n");
    EXPECT_EQ(stream.TakeRequest(), "") << "asked once";
    EXPECT_EQ(text, "") << "sentences of every device came before the watch of one";
    EXPECT_EQ(stream.State(), GpsdStream::Watch::Choosing);

    stream.Take(DevicesReport(Device("/dev/pts/1") + "," + Device("/dev/pts/2")) + WatchEcho("/dev/pts/1") + kGga, text);
    EXPECT_EQ(text, kGga);
    EXPECT_EQ(stream.DevicesText().toStdString(), "/dev/pts/1 \u00B7 1 other device");
    stream.Take(std::string(R"({"class":"DEVICE","path":"/dev/ttyUSB0","activated":1.5E9})") + "\r\n", text);
    EXPECT_EQ(stream.DevicesText().toStdString(), "/dev/pts/1 \u00B7 2 other devices");
    stream.Take(std::string(R"({"class":"DEVICE","path":"/dev/pts/2","activated":0})") + "\r\n", text);
    EXPECT_EQ(stream.DevicesText().toStdString(), "/dev/pts/1 \u00B7 1 other device");
}

TEST(GpsdStream, AnErrorBeforeTheWatchIsARefusalAndTheRequestCannotBeBrokenOpen)
{
    GpsdStream stream;
    stream.Reset("/dev/ttyACM9");
    std::string text;
    stream.Take(kVersion + "{\"class\":\"ERROR\",\"message\":\"No such device as /dev/ttyACM9\x1b[2J\"}\r\n" + kGga, text);
    EXPECT_EQ(stream.State(), GpsdStream::Watch::Refused);
    EXPECT_EQ(stream.Refusal().toStdString(), "No such device as /dev/ttyACM9[2J");
    EXPECT_EQ(text, "");

    // A path with quotes and a line break stays one request of one device.
    const std::string request = GpsdStream::WatchRequest("/dev/x\"}\n?WATCH={\"enable\":false");
    EXPECT_EQ(request, std::string(R"(?WATCH={"device":"/dev/x\"}\n?WATCH={\"enable\":false",)")
                           + R"("enable":true,"nmea":true})" + "\n");
    EXPECT_EQ(GpsdStream::WatchRequest(), std::string(R"(?WATCH={"enable":true,"nmea":true})") + "\n");
}

TEST(GpsdStream, AnOverlongReportOrAResetLeavesTheNextLineIntact)
{
    // A gpsd without devices, or too old to list them: what it passes on is one device's.
    GpsdStream stream;
    std::string text, huge = "{\"class\":\"DEVICES\",\"devices\":[";
    stream.Take(kVersion + DevicesReport("") + WatchEcho(), text);
    EXPECT_EQ(stream.TakeRequest(), "");
    while (huge.size() <= GpsdStream::kMaxJsonLine)
        huge += "{\"path\":\"/dev/ttyUSB9\",\"activated\":\"2026\"},";
    for (std::size_t at = 0; at < huge.size(); at += 1000)
        stream.Take(std::string_view(huge).substr(at, 1000), text);
    stream.Take("{}]}\r\n" + kGga, text);
    EXPECT_EQ(text, kGga);
    EXPECT_TRUE(stream.Devices().isEmpty()) << "the overlong report was not read";
    EXPECT_EQ(stream.DevicesText(), "");

    // A new connection starts at the beginning of a line, with no devices and no watch.
    stream.Take("{\"class\":\"WA", text);
    stream.Reset("/dev/ttyACM0");
    text.clear();
    stream.Take(WatchEcho("/dev/ttyACM0") + kGga, text);
    EXPECT_EQ(text, kGga);
    EXPECT_TRUE(stream.Devices().isEmpty());
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

// A stand-in that greets as gpsd does, then never answers the watch.
TEST(GpsdSourceOnAStandIn, StartFailsWithinTheLimitOnSilence)
{
    ThreadedTcpServer silent([](int socket, const std::atomic<bool>& stop) {
        SendAll(socket, kVersion, stop);
        while (!stop)
            std::this_thread::sleep_for(10ms);
    });
    GpsdSource source({Kind::Gpsd, QStringLiteral("127.0.0.1"), silent.Port()});
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(source.Open());
    EXPECT_LT(clock.elapsed(), TcpSource::kConnectLimit.count() + 1000);
    EXPECT_EQ(source.Reason(), QStringLiteral("Cannot connect to gpsd on 127.0.0.1:%1: no answer within 3 s.").arg(silent.Port()));
}

// Two receivers behind one gpsd, as gpsfake serves two captures: each source watches one
// of them, never a mix, and stays with gpsd when it is killed and comes back.
TEST(GpsdSourceOnRealGpsd, WatchesOneOfTwoDevicesTheFirstOrTheNamedOneAndReconnectsWhenGpsdReturns)
{
    if (const std::string missing = GpsdHarness::Missing(); !missing.empty())
        GTEST_SKIP() << missing;
    FIXWATCH_NEED_CAPTURES("garmin48.nmea");
    FIXWATCH_NEED_CAPTURES("ublox-lea-5h.nmea");
    const std::string captures[] = {CapturePath("garmin48.nmea").string(), CapturePath("ublox-lea-5h.nmea").string()};
    std::set<std::string> own[2];
    for (int i = 0; i < 2; ++i)
        for (const std::string& line : CaptureLines(captures[i]))
            own[i].insert(line);
    // How many complete lines of `text` belong to each capture alone. Every one must end in
    // CR LF and be a capture's line byte for byte, never gpsd's JSON.
    const auto whose = [&own](const std::string& text) {
        std::array<int, 2> count{};
        for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != text.npos; at = end + 2) {
            const std::string line = text.substr(at, end - at);
            EXPECT_FALSE(line.starts_with('{')) << "gpsd's JSON got through: " << line;
            EXPECT_TRUE(own[0].count(line) || own[1].count(line)) << "not a line of the captures: " << line;
            for (int i = 0; i < 2; ++i)
                count[i] += int(own[i].count(line) && !own[1 - i].count(line));
        }
        return count;
    };
    const auto lines = [](long least) {
        return [least](const std::string& text) { return std::count(text.begin(), text.end(), '\n') >= least; };
    };

    GpsdHarness gpsd({captures[0], captures[1]});
    ASSERT_TRUE(gpsd.Start()) << gpsd.Error();
    const std::vector<std::string> devices = gpsd.Devices();
    ASSERT_EQ(devices.size(), 2U);
    const std::pair<QString, std::string> rows[] = {{"localhost", ""}, {"127.0.0.1", devices[1]}};
    std::unique_ptr<GpsdSource> sources[2];
    for (int row = 0; row < 2; ++row) {
        const auto& [host, named] = rows[row];
        auto& source = sources[row] = std::make_unique<GpsdSource>(
            NetworkAddress{Kind::Gpsd, host, gpsd.Port(), QString::fromStdString(named)});
        ASSERT_TRUE(source->Open()) << source->Reason().toStdString();
        const std::string watched = named.empty() ? devices[0] : named;
        EXPECT_EQ(source->Description(), QStringLiteral("gpsd on %1:%2 \u00B7 %3 \u00B7 1 other device")
                                             .arg(host)
                                             .arg(gpsd.Port())
                                             .arg(QString::fromStdString(watched)));
        const auto count = whose(ReadUntil(*source, lines(300), 10s));
        const int mine = watched == devices[0] ? 0 : 1;
        EXPECT_GT(count[mine], 50) << "watching " << watched;
        EXPECT_EQ(count[1 - mine], 0) << "watching " << watched << ": the other receiver's sentences came through";
    }
    GpsdSource missing({Kind::Gpsd, QStringLiteral("127.0.0.1"), gpsd.Port(), QStringLiteral("/dev/fixwatch-none")});
    EXPECT_FALSE(missing.Open());
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(missing.Reason(), QStringLiteral("gpsd on 127.0.0.1:%1 refused to watch /dev/fixwatch-none: No such "
                                               "device as /dev/fixwatch-none.")
                                    .arg(gpsd.Port()));

    GpsdSource& source = *sources[0];
    QSignalSpy lost(&source, &ReceiverSource::Lost);
    EXPECT_TRUE(GpsdAnswers(QHostAddress::LocalHost, gpsd.Port())) << "the probe finds it";
    gpsd.Kill();
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(GpsdAnswers(QHostAddress::LocalHost, gpsd.Port()));
    EXPECT_LT(clock.elapsed(), 100) << "a refused connection is known at once";
    ASSERT_TRUE(WaitFor([&] { return lost.count() == 1; }));
    EXPECT_EQ(source.Reason(), QStringLiteral("The connection to gpsd on localhost:%1 was closed.").arg(gpsd.Port()));
    EXPECT_FALSE(source.IsOpen());
    whose(source.Read()); // what came before the loss
    EXPECT_FALSE(source.Reconnect()) << "gpsd is not back yet";

    ASSERT_TRUE(gpsd.Start()) << gpsd.Error();
    ASSERT_TRUE(WaitFor([&] { return source.Reconnect(); }, 10s)) << source.Reason().toStdString();
    const auto again = whose(ReadUntil(source, lines(20), 10s));
    EXPECT_GT(again[0] + again[1], 0) << "no sentences after the return";
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
