#include "gpsd_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fixwatch {
namespace {

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

TEST(GpsdStream, AnOverlongJsonLineIsDroppedAndTheNextLinePasses)
{
    GpsdStream stream;
    std::string text;
    std::string huge = "{\"class\":\"DEVICES\",\"devices\":[";
    while (huge.size() <= GpsdStream::kMaxJsonLine)
        huge += "{\"path\":\"/dev/ttyUSB9\",\"activated\":\"2026\"},";
    huge += "{}]}\r\n";
    for (std::size_t at = 0; at < huge.size(); at += 1000)
        stream.Take(std::string_view(huge).substr(at, 1000), text);
    stream.Take(kGga, text);
    EXPECT_EQ(text, kGga);
    EXPECT_TRUE(stream.Devices().isEmpty()) << "the overlong report was not read";
}

TEST(GpsdStream, DevicesFollowTheReportsOfComingAndGoing)
{
    struct Step {
        const char* legend;
        std::string report;
        const char* shown;
    };
    const std::vector<Step> steps = {
        {"an inactive device in the list is not shown",
         R"({"class":"DEVICES","devices":[{"path":"/dev/ttyS0"},{"path":"/dev/ttyACM0","activated":"2026-12-07T06:19:38Z"}]})",
         "/dev/ttyACM0"},
        {"a second device is activated", R"({"class":"DEVICE","path":"/dev/ttyUSB0","activated":"2026-12-07T06:20:00Z"})",
         "/dev/ttyACM0 and 1 more"},
        {"the same one again counts once", R"({"class":"DEVICE","path":"/dev/ttyUSB0","activated":1.5E9})",
         "/dev/ttyACM0 and 1 more"},
        {"the first goes away", R"({"class":"DEVICE","path":"/dev/ttyACM0","activated":0})", "/dev/ttyUSB0"},
        {"another class changes nothing", R"({"class":"TPV","path":"/dev/ttyS1","activated":"x"})", "/dev/ttyUSB0"},
        {"a new list replaces the old", R"({"class":"DEVICES","devices":[]})", ""},
    };
    GpsdStream stream;
    for (const auto& step : steps) {
        std::string text;
        stream.Take(step.report + "\r\n", text);
        EXPECT_EQ(text, "") << step.legend;
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
    const std::vector<Row> rows = {
        {"a plain path", "/dev/ttyACM0", "/dev/ttyACM0"},
        {"control characters and line breaks dropped", QString::fromUtf8("/dev/\x1b[2Jtty\r\nS0\t"), "/dev/[2JttyS0"},
        {"direction overrides and line separators dropped", QString::fromUtf8("/dev/\u202Eevil\u2028x"), "/dev/evilx"},
        {"blanks around trimmed", "  /dev/gps0 ", "/dev/gps0"},
        {"a long path cut with an ellipsis", QString(200, u'a'),
         QString(GpsdStream::kMaxPathLength - 1, u'a') + QChar(0x2026)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(GpsdStream::ShownPath(row.path), row.shown) << row.legend << ": " << row.path.toStdString();
}

TEST(GpsdStream, ResetForgetsAHalfReceivedReportAndTheDevices)
{
    GpsdStream stream;
    std::string text;
    stream.Take(R"({"class":"DEVICE","path":"/dev/ttyACM0","activated":"t"})" "\r\n{\"class\":\"WA", text);
    ASSERT_EQ(stream.DevicesText().toStdString(), "/dev/ttyACM0");
    stream.Reset();
    stream.Take(kGga, text);
    EXPECT_EQ(text, kGga) << "a new connection starts at the beginning of a line";
    EXPECT_TRUE(stream.Devices().isEmpty());
}

} // namespace
} // namespace fixwatch
