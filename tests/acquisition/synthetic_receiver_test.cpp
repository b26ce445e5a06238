#include "nmea_events.h"
#include "nmea_interpreter.h"
#include "synthetic_receiver.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace fixwatch {
namespace {

struct SkyEvents : NmeaEvents {
    std::set<std::int16_t> inView;
    std::set<std::string> latitudes;
    void SatellitesInViewReceived(std::int16_t n) override { inView.insert(n); }
    void PositionReceived(std::string latitude, std::string) override { latitudes.insert(latitude); }
};

TEST(SyntheticReceiver, SendsAnHourOfValidSentencesInAReceiversOrder)
{
    SkyEvents events;
    const NmeaInterpreter gps(events);
    SyntheticReceiver receiver;
    const std::vector<std::string> order = {"$GPGGA", "$GPGSA", "$GPGSV", "$GPGSV",
                                            "$GPGSV", "$GPRMC", "$GPVTG", "$GPGLL"};
    for (int second = 0; second < 3600; ++second) {
        const auto sentences = receiver.NextSecond();
        ASSERT_EQ(sentences.size(), order.size());
        for (std::size_t i = 0; i < sentences.size(); ++i) {
            const std::string& s = sentences[i];
            ASSERT_TRUE(s.starts_with(order[i] + ",") && s.ends_with("\r\n")) << s;
            ASSERT_TRUE(gps.Parse(s.substr(0, s.size() - 2))) << "second " << second << ": " << s;
        }
    }
    EXPECT_GE(*events.inView.begin(), 8);
    EXPECT_LE(*events.inView.rbegin(), 12);
    EXPECT_GT(events.inView.size(), 1u) << "satellites never rise or set";
    EXPECT_GT(events.latitudes.size(), 100u) << "the position hardly moves";
}

} // namespace
} // namespace fixwatch
