// "In view", "In use" and the channel states with every satellite system read, on real
// multi-system receivers that say how many satellites they use in several ways at once.
#include "captures.h"
#include "capture_receiver.h"
#include "window_test_support.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <algorithm>

namespace fixwatch {
namespace {

using test::PortVariable;
using test::RealCapture;
using test::Receive;

struct CountsCase {
    const char* legend;
    const char* capture;
    int lines;
    const char* inUse; // what "In use" must say
    bool gsvAndGsa;    // the receiver sends GSV and GSA, so the sky knows what is used
};

class SatelliteCounts : public testing::TestWithParam<CountsCase> {};

int ChannelsSaying(const MainForm& form, const char* word)
{
    return static_cast<int>(std::count_if(form.Lab_PosizioneInfo3b.begin(),
                                          form.Lab_PosizioneInfo3b.end(),
                                          [&](QLabel* l) { return l->text() == word; }));
}

TEST_P(SatelliteCounts, InUseIsTheSolutionsCountAndNeverExceedsInView)
{
    const CountsCase c = GetParam();
    FIXWATCH_NEED_CAPTURES(c.capture);
    const std::string text = RealCapture(c.capture, c.lines);
    PseudoTerminal receiver;
    PortVariable port(1, receiver.Device());
    MainForm form("/G+");
    Receive(form, receiver, text);

    const QString inView = form.Lab_PosizioneInfo[0]->text();
    const QString inUse = form.Lab_PosizioneInfo[1]->text();
    EXPECT_EQ(inUse.toStdString(), c.inUse) << c.legend;
    if (c.gsvAndGsa) {
        const auto& sky = form.Session().SkyModel().Satellites();
        const auto used = std::count_if(sky.begin(), sky.end(), [](const SkySatellite& s) { return s.used; });
        EXPECT_EQ(inUse.toInt(), used) << c.legend << ": the sky's used satellites";
        EXPECT_LE(inUse.toInt(), inView.toInt()) << c.legend;
        EXPECT_GT(ChannelsSaying(form, "In use"), 0) << c.legend;
    } else {
        // Nothing received says what is in view or which channels are used.
        EXPECT_EQ(inView, QString()) << c.legend;
        EXPECT_EQ(ChannelsSaying(form, ""), 12) << c.legend;
    }
}

INSTANTIATE_TEST_SUITE_P(
    RealReceivers, SatelliteCounts,
    testing::Values(
        CountsCase{"GPGGA 05, GAGGA 01, GNGNS 14", "telit-pls83-w.nmea", 120, "14", true},
        CountsCase{"GPGGA 08, GLGGA 02, GNGSA lists more", "sirfstarv-nmea.nmea", 120, "17", true},
        CountsCase{"GGA's 22 used against 16 in view", "quectelLC79D.nmea", 200, "12", true},
        CountsCase{"GGA capped at 12, GSA marks more", "ublox-zed-f9p-nmea.nmea", 300, "19", true},
        CountsCase{"GNGGA 10 then GPGGA 09, no GSV or GSA", "nmea-rtk.nmea", 120, "9", false}),
    [](const testing::TestParamInfo<CountsCase>& row) {
        std::string name = row.param.capture;
        name = name.substr(0, name.find('.'));
        std::replace_if(
            name.begin(), name.end(), [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
        return name;
    });

} // namespace
} // namespace fixwatch
