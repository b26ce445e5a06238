// The simulated receiver that fixwatch-sim serves.
#include "nmea_events.h"
#include "nmea_interpreter.h"
#include "synthetic_receiver.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace fixwatch {
namespace {

struct SkyEvents : NmeaEvents {
    std::set<std::int16_t> inView;
    std::set<std::string> latitudes;
    void SatellitesInViewReceived(std::int16_t n) override { inView.insert(n); }
    void PositionReceived(std::string latitude, std::string) override { latitudes.insert(latitude); }
};

TEST(SyntheticReceiver, SendsAnHourOfValidSentencesInAReceiversOrderWhileTheSkyAndPositionChange)
{
    SkyEvents events;
    const NmeaInterpreter gps(events);
    SyntheticReceiver receiver;
    for (int second = 0; second < 3600; ++second) {
        std::string order;
        for (std::string& s : receiver.NextSecond()) {
            ASSERT_TRUE(s.ends_with("\r\n") && gps.Parse(s.erase(s.size() - 2))) << second << ": " << s;
            order += s.substr(0, 7);
        }
        ASSERT_EQ(order, "$GPGGA,$GPGSA,$GPGSV,$GPGSV,$GPGSV,$GPRMC,$GPVTG,$GPGLL,") << "second " << second;
    }
    EXPECT_GE(*events.inView.begin(), 8);
    EXPECT_LE(*events.inView.rbegin(), 12);
    EXPECT_GT(events.inView.size(), 1u) << "satellites never rise or set";
    EXPECT_GT(events.latitudes.size(), 100u) << "the position hardly moves";
}

} // namespace
} // namespace fixwatch
