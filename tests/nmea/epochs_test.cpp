// The epoch model: sentences in, one epoch per UTC time out, in a bounded history.
#include "captures.h"
#include "epochs.h"
#include "nmea_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace fixwatch::test {
namespace {

// The epochs a new model makes of the sentence bodies, each sealed, fed in order, then finished.
EpochModel ModelOf(const Lines& bodies, Talkers talkers = Talkers::GpsOnly, std::optional<UtcDate> date = {})
{
    EpochModel model(talkers);
    model.AssumeDate(date);
    for (const std::string& body : bodies)
        model.Feed(Sealed(body));
    model.Finish();
    return model;
}

EpochModel ModelOfCapture(const char* name, Talkers talkers)
{
    EpochModel model(talkers);
    for (const std::string& line : CaptureLines(name))
        model.Feed(line);
    model.Finish();
    return model;
}

TEST(Epochs, ANewUtcTimeClosesTheEpochAndEachSentenceAddsItsValues)
{
    // clang-format off
    const EpochModel model = ModelOf({
        "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1",          // before any time: joins the first epoch
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W",
        "$GPGGA,123519,4807.040,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "$GPGST,123519,3.2,6.6,4.7,47.3,5.8,5.6,22.0",
        "$GPGGA,123520,4807.038,N,01131.000,E,0,00,,,M,,M,,",     // next second, no fix
        "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K",
        "$GNGGA,123521,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", // GN: not read GP only
    });
    // clang-format on
    ASSERT_EQ(model.History().Size(), 2u);
    const Epoch& first = model.History()[0];
    EXPECT_EQ(first.timeMs, (12 * 3600 + 35 * 60 + 19) * 1000);
    EXPECT_EQ(first.date, (UtcDate{1994, 3, 23}));
    EXPECT_NEAR(*first.latitude, 48 + 7.040 / 60, 1e-12) << "GGA's position wins over RMC's";
    EXPECT_NEAR(*first.longitude, 11 + 31.0 / 60, 1e-12);
    EXPECT_EQ(first.altitude, 545.4);
    EXPECT_EQ(first.geoidSeparation, 46.9);
    EXPECT_EQ(first.speedKnots, 22.4);
    EXPECT_EQ(first.course, 84.4);
    EXPECT_EQ(first.fixQuality, 1);
    EXPECT_EQ(first.rmcStatus, 'A');
    EXPECT_EQ(first.gsaMode, 3);
    EXPECT_EQ(first.satellitesUsed, 8);
    EXPECT_EQ(first.hdop, 1.3) << "GSA's DOPs win over GGA's HDOP";
    EXPECT_EQ(first.vdop, 2.1);
    EXPECT_EQ(first.pdop, 2.5);
    EXPECT_EQ(first.sigmaLatitude, 5.8);
    EXPECT_EQ(first.sigmaLongitude, 5.6);
    EXPECT_EQ(first.sigmaAltitude, 22.0);
    EXPECT_TRUE(first.HasFix());

    const Epoch& second = model.History()[1];
    EXPECT_EQ(second.timeMs, first.timeMs.value() + 1000);
    EXPECT_EQ(second.date, first.date) << "the date carries on";
    EXPECT_EQ(second.fixQuality, 0);
    EXPECT_FALSE(second.HasFix());
    EXPECT_FALSE(second.altitude);
    EXPECT_FALSE(second.hdop) << "an empty field stays empty";
    EXPECT_EQ(second.speedKnots, 5.5);
    EXPECT_EQ(second.course, 54.7);
}

TEST(Epochs, OnlyMatchingChecksumsAndTheChosenTalkersCount)
{
    EpochModel model;
    model.Feed("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48"); // damaged
    model.Feed("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");    // no checksum
    model.Feed(Sealed("$GPGGA,123519,48X7.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
    model.Feed(Sealed("$GPGGA,123519,4807.038,Q,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
    model.Feed(Sealed("$GPGGA,123519,4807.038,N,18131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
    model.Finish();
    ASSERT_EQ(model.History().Size(), 1u);
    EXPECT_FALSE(model.History()[0].latitude) << "no readable position";
    EXPECT_FALSE(model.History()[0].HasFix());

    const EpochModel all = ModelOf({"$GNGGA,123521,4807.038,S,01131.000,W,4,08,0.9,545.4,M,46.9,M,,"},
                                   Talkers::AllSystems);
    ASSERT_EQ(all.History().Size(), 1u);
    EXPECT_LT(*all.History()[0].latitude, 0);
    EXPECT_LT(*all.History()[0].longitude, 0);
}

TEST(Epochs, DatesStepAtMidnightAndRmcOrZdaSetThem)
{
    const auto dates = [](const EpochModel& model) {
        std::vector<std::optional<UtcDate>> all;
        for (std::size_t i = 0; i < model.History().Size(); ++i)
            all.push_back(model.History()[i].date);
        return all;
    };
    const UtcDate newYearsEve{2026, 12, 31};
    const UtcDate newYear{2027, 1, 1};
    // GGA only, with the date the user gave.
    EXPECT_EQ(dates(ModelOf({"$GPGGA,235959,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
                             "$GPGGA,000000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"},
                            Talkers::GpsOnly, newYearsEve)),
              (std::vector<std::optional<UtcDate>>{newYearsEve, newYear}));
    // GGA only, no date given: none.
    EXPECT_EQ(dates(ModelOf({"$GPGGA,235959,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"})),
              (std::vector<std::optional<UtcDate>>{std::nullopt}));
    // RMC's date, then GGA before the next RMC: the midnight step fills in.
    EXPECT_EQ(dates(ModelOf({"$GPRMC,235959.5,A,4807.038,N,01131.000,E,0,0,311226,,",
                             "$GPGGA,000000.5,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
                             "$GPRMC,000000.5,A,4807.038,N,01131.000,E,0,0,010127,,"})),
              (std::vector<std::optional<UtcDate>>{newYearsEve, newYear}));
    // A ZDA of just after midnight ahead of the old day's last epoch, as some receivers send it.
    EXPECT_EQ(dates(ModelOf({"$GPGGA,235959,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
                             "$GPZDA,000000,01,01,2027,00,00",
                             "$GPGGA,000000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"})),
              (std::vector<std::optional<UtcDate>>{newYearsEve, newYear}));
    EXPECT_EQ(ReadIsoDate("2024-02-29"), (UtcDate{2024, 2, 29}));
    for (const char* bad : {"2023-02-29", "2024-13-01", "24-02-29", "2024-02-29x", "", "abcd-ef-gh"})
        EXPECT_FALSE(ReadIsoDate(bad)) << bad;
}

TEST(Epochs, TheHistoryKeepsTheNewestUpToItsCapacityAndResetForgetsEverything)
{
    EpochModel model(Talkers::GpsOnly, 3);
    for (int second = 0; second < 5; ++second)
        model.Feed(Sealed("$GPGGA,12000" + std::to_string(second) + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,"));
    model.Finish();
    ASSERT_EQ(model.History().Size(), 3u);
    EXPECT_EQ(model.History().Capacity(), 3u);
    EXPECT_EQ(model.ClosedCount(), 5u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(model.History()[i].timeMs, (12 * 3600 + 2 + static_cast<int>(i)) * 1000) << "oldest first";
    EXPECT_EQ(model.History().Newest().timeMs, (12 * 3600 + 4) * 1000);

    model.Reset();
    EXPECT_EQ(model.History().Size(), 0u);
    EXPECT_EQ(model.ClosedCount(), 0u);
    EXPECT_FALSE(model.Finish()) << "nothing open after a reset";
}

class EpochCapture : public ::testing::Test {
protected:
    void SetUp() override
    {
        FIXWATCH_NEED_CAPTURES();
    }
};

// The distinct UTC times of a capture's GGA, RMC and GLL of the given talkers, counted here
// with plain text handling rather than the model's reading.
std::size_t DistinctTimes(const char* name, const std::set<std::string>& talkers)
{
    std::size_t count = 0;
    std::string last;
    for (const std::string& line : CaptureLines(name)) {
        if (line.size() < 7 || !talkers.count(line.substr(1, 2)))
            continue;
        const std::string type = line.substr(3, 3);
        std::vector<std::string> fields;
        for (std::size_t start = 0, comma;; start = comma + 1) {
            comma = line.find_first_of(",*", start);
            fields.push_back(line.substr(start, comma == std::string::npos ? comma : comma - start));
            if (comma == std::string::npos)
                break;
        }
        const std::size_t at = type == "GLL" ? 5 : 1;
        if ((type == "GGA" || type == "RMC" || type == "GLL") && fields.size() > at && !fields[at].empty()
            && fields[at] != last) {
            last = fields[at];
            ++count;
        }
    }
    return count;
}

TEST_F(EpochCapture, UbloxF9pAt1HzGivesOneEpochASecondWithEverySystemsCounts)
{
    const EpochModel model = ModelOfCapture("ublox-zed-f9p-nmea.nmea", Talkers::AllSystems);
    const std::size_t expected = DistinctTimes("ublox-zed-f9p-nmea.nmea", {"GN"});
    ASSERT_EQ(model.History().Size(), expected);
    EXPECT_EQ(expected, 29u);
    for (std::size_t i = 1; i < expected; ++i)
        EXPECT_EQ(*model.History()[i].timeMs - *model.History()[i - 1].timeMs, 1000) << i;

    // The first epoch, as read from the capture by hand.
    const Epoch& e = model.History()[0];
    EXPECT_EQ(e.timeMs, (0 * 3600 + 39 * 60 + 56) * 1000);
    EXPECT_EQ(e.date, (UtcDate{2019, 4, 12}));
    EXPECT_NEAR(*e.latitude, -(45 + 52.65403 / 60), 1e-9);
    EXPECT_NEAR(*e.longitude, 170 + 30.00668 / 60, 1e-9);
    EXPECT_EQ(e.altitude, 14.2);
    EXPECT_EQ(e.satellitesUsed, 12);
    EXPECT_EQ(e.pdop, 1.05);
    EXPECT_EQ(e.hdop, 0.64);
    EXPECT_EQ(e.vdop, 0.83);
    EXPECT_EQ(e.sigmaLatitude, 2.3);
    EXPECT_EQ(e.sigmaAltitude, 4.0);
    const auto at = [](GnssSystem s) { return static_cast<std::size_t>(s); };
    EXPECT_EQ(e.usedBySystem[at(GnssSystem::GPS)], 8);
    EXPECT_EQ(e.usedBySystem[at(GnssSystem::GLONASS)], 3);
    EXPECT_EQ(e.usedBySystem[at(GnssSystem::Galileo)], 3);
    EXPECT_EQ(e.usedBySystem[at(GnssSystem::BeiDou)], 6);
    EXPECT_EQ(e.inViewBySystem[at(GnssSystem::GPS)], 12);
    EXPECT_EQ(e.inViewBySystem[at(GnssSystem::GLONASS)], 10);
    EXPECT_EQ(e.inViewBySystem[at(GnssSystem::Galileo)], 9);
    EXPECT_EQ(e.inViewBySystem[at(GnssSystem::BeiDou)], 10);
    // The strongest signal of each of the 20 used satellites adds up to 482 dB-Hz.
    EXPECT_NEAR(*e.cn0Mean, 482.0 / 20, 1e-9);
    EXPECT_EQ(e.cn0Max, 35);

    const EpochModel gpsOnly = ModelOfCapture("ublox-zed-f9p-nmea.nmea", Talkers::GpsOnly);
    EXPECT_EQ(gpsOnly.History().Size(), 0u) << "GP only: GSV alone, no time and no fix";
}

TEST_F(EpochCapture, TrimbleRtkAt10HzGivesTenEpochsASecond)
{
    const EpochModel model = ModelOfCapture("nmea-rtk.nmea", Talkers::AllSystems);
    const std::size_t expected = DistinctTimes("nmea-rtk.nmea", {"GN", "GP"});
    ASSERT_EQ(model.History().Size(), expected);
    EXPECT_GT(expected, 100u);
    for (std::size_t i = 1; i < 20; ++i)
        EXPECT_EQ(*model.History()[i].timeMs - *model.History()[i - 1].timeMs, 100) << i;
    const Epoch& e = model.History()[2];
    EXPECT_EQ(e.timeMs, (13 * 3600 + 28 * 60 + 19) * 1000 + 800);
    EXPECT_NEAR(*e.latitude, 41 + 34.49721169 / 60, 1e-12);
    EXPECT_NEAR(*e.longitude, -(93 + 45.03452630 / 60), 1e-12);
    EXPECT_EQ(e.fixQuality, 2);
    EXPECT_EQ(e.altitude, 279.884);
    EXPECT_EQ(e.speedKnots, 0.513);
    EXPECT_EQ(e.course, 126.965);
    EXPECT_EQ(e.date, (UtcDate{2020, 3, 18}));
}

TEST_F(EpochCapture, EveryCaptureGivesEpochsInBoundedMemory)
{
    for (const auto& file : Captures()) {
        EpochModel model(Talkers::AllSystems, 16);
        for (const std::string& line : CaptureLines(file.filename()))
            model.Feed(line);
        model.Finish();
        EXPECT_LE(model.History().Size(), 16u) << file;
        for (std::size_t i = 0; i < model.History().Size(); ++i) {
            const Epoch& e = model.History()[i];
            EXPECT_LE(std::fabs(e.latitude.value_or(0)), 90) << file;
            EXPECT_LT(e.timeMs.value_or(0), 24 * 3600 * 1000) << file;
        }
    }
}

} // namespace
} // namespace fixwatch::test
