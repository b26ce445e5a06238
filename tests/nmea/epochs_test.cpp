// The epoch model: sentences in, one epoch per UTC time out, in a bounded history.
#include "nmea_test.h"

#include <gtest/gtest.h>

#include <tuple>

namespace fixwatch::test {
namespace {

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
    EXPECT_EQ(std::tuple(first.altitude, first.geoidSeparation, first.speedKnots, first.course),
              std::tuple(545.4, 46.9, 22.4, 84.4));
    EXPECT_EQ(std::tuple(first.fixQuality, first.rmcStatus, first.gsaMode, first.satellitesUsed),
              std::tuple(1, 'A', 3, 8));
    EXPECT_EQ(std::tuple(first.hdop, first.vdop, first.pdop), std::tuple(1.3, 2.1, 2.5))
        << "GSA's DOPs win over GGA's HDOP";
    EXPECT_EQ(std::tuple(first.sigmaLatitude, first.sigmaLongitude, first.sigmaAltitude), std::tuple(5.8, 5.6, 22.0));

    const Epoch& second = model.History()[1];
    EXPECT_EQ(second.date, first.date) << "the date carries on";
    EXPECT_FALSE(second.HasFix()) << "quality 0";
    EXPECT_FALSE(second.altitude || second.hdop) << "an empty field stays empty";
    EXPECT_EQ(std::tuple(second.speedKnots, second.course), std::tuple(5.5, 54.7));
}

TEST(Epochs, GllIsAFixOnItsOwnAndTimesAgreeAsFarAsTheCoarserGoes)
{
    // clang-format off
    const EpochModel model = ModelOf({
        "$GPGLL,4807.038,N,01131.000,E,100000,A",                  // GLL alone, status A: a fix
        "$GPGLL,4807.038,N,01131.000,E,100001,V",                  // status V: none
        "$GPGLL,5313.2228,N,00634.4228,E,100002.295,A",            // to the millisecond ...
        "$GPGGA,100002.30,5313.2228,N,00634.4228,E,0,05,2.6,0,M,,,,", // ... the same instant to the hundredth
        "$GPGGA,100003.31,5313.2228,N,00634.4228,E,1,05,2.6,0,M,,,,",
    });
    // clang-format on
    ASSERT_EQ(model.History().Size(), 4u);
    EXPECT_TRUE(model.History()[0].HasFix());
    EXPECT_TRUE(model.History()[0].GllOnly());
    EXPECT_FALSE(model.History()[1].HasFix());
    EXPECT_EQ(model.History()[2].fixQuality, 0);
    EXPECT_FALSE(model.History()[2].HasFix()) << "GGA's quality 0 outweighs GLL's A";
    EXPECT_TRUE(model.History()[3].HasFix());
}

// An unreadable position is field::Coordinate's (FieldReading); the hemispheres' signs are read
// on the captures.
TEST(Epochs, OnlyLinesWithAMatchingChecksumCountAndALongitudeStopsAt180)
{
    const EpochModel model = ModelOf({"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48",
                                      "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
                                      Sealed("$GPGGA,123519,4807.038,N,18131.000,E,1,08,0.9,545.4,M,46.9,M,,")},
                                     Talkers::GpsOnly, {}, false);
    ASSERT_EQ(model.History().Size(), 1u) << "damaged and unsealed lines open no epoch";
    EXPECT_FALSE(model.History()[0].latitude) << "no readable position";
    EXPECT_FALSE(model.History()[0].HasFix());
}

TEST(Epochs, EverySystemsReadingTakesThePositionOfAnyInstrument)
{
    const Lines lines{"$INGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
                      "$INZDA,123519,23,03,1994,00,00", "$ECGLL,4808.000,N,01132.000,E,123520,A"};
    const EpochModel all = ModelOf(lines, Talkers::AllSystems);
    ASSERT_EQ(all.History().Size(), 2u);
    EXPECT_TRUE(all.History()[0].HasFix());
    EXPECT_EQ(all.History()[0].date, (UtcDate{1994, 3, 23}));
    EXPECT_NEAR(*all.History()[1].latitude, 48.1333, 1e-4);
    EXPECT_EQ(ModelOf(lines).History().Size(), 0u) << "the default reading takes GP only";
}

TEST(Epochs, DatesStepAtMidnightAndRmcOrZdaSetThem)
{
    using Dates = std::vector<std::optional<UtcDate>>;
    const auto dates = [](const EpochModel& model) {
        Dates all;
        for (std::size_t i = 0; i < model.History().Size(); ++i)
            all.push_back(model.History()[i].date);
        return all;
    };
    const std::string fix = ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    const UtcDate newYearsEve{2026, 12, 31}, newYear{2027, 1, 1};
    // GGA only, with the date the user gave, then without one.
    EXPECT_EQ(dates(ModelOf({"$GPGGA,235959" + fix, "$GPGGA,000000" + fix}, Talkers::GpsOnly, newYearsEve)),
              (Dates{newYearsEve, newYear}));
    EXPECT_EQ(dates(ModelOf({"$GPGGA,235959" + fix})), (Dates{std::nullopt}));
    // RMC's date, then GGA before the next RMC: the midnight step fills in.
    EXPECT_EQ(dates(ModelOf({"$GPRMC,235959.5,A,4807.038,N,01131.000,E,0,0,311226,,", "$GPGGA,000000.5" + fix,
                             "$GPRMC,000000.5,A,4807.038,N,01131.000,E,0,0,010127,,"})),
              (Dates{newYearsEve, newYear}));
    // A ZDA of just after midnight ahead of the old day's last epoch, as some receivers send it.
    EXPECT_EQ(dates(ModelOf({"$GPGGA,235959" + fix, "$GPZDA,000000,01,01,2027,00,00", "$GPGGA,000000" + fix})),
              (Dates{newYearsEve, newYear}));
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
    EXPECT_EQ(model.ClosedCount(), 5u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(model.History()[i].timeMs, (12 * 3600 + 2 + static_cast<int>(i)) * 1000) << "oldest first";
    EXPECT_EQ(model.History().Newest().timeMs, (12 * 3600 + 4) * 1000);

    model.Reset();
    EXPECT_EQ(model.History().Size(), 0u);
    EXPECT_EQ(model.ClosedCount(), 0u);
    EXPECT_FALSE(model.Finish()) << "nothing open after a reset";
}

// A capture gives one epoch per distinct UTC time of its GGA, RMC and GLL: 29 and 122 here.
TEST(EpochCapture, UbloxF9pAt1HzGivesOneEpochASecondWithEverySystemsCountsAndGbs)
{
    FIXWATCH_NEED_CAPTURES();
    const EpochModel model = ModelOfCapture("ublox-zed-f9p-nmea.nmea");
    ASSERT_EQ(model.History().Size(), 29u);
    for (std::size_t i = 1; i < 29; ++i) {
        EXPECT_EQ(*model.History()[i].timeMs - *model.History()[i - 1].timeMs, 1000) << i;
        EXPECT_TRUE(model.History()[i].gbsAltitudeError) << i << ": every epoch has its GBS";
    }

    // The first epoch, as read from the capture by hand.
    const Epoch& e = model.History()[0];
    EXPECT_EQ(e.timeMs, (0 * 3600 + 39 * 60 + 56) * 1000);
    EXPECT_EQ(e.date, (UtcDate{2019, 4, 12}));
    EXPECT_NEAR(*e.latitude, -(45 + 52.65403 / 60), 1e-9);
    EXPECT_NEAR(*e.longitude, 170 + 30.00668 / 60, 1e-9);
    EXPECT_EQ(std::tuple(e.altitude, e.satellitesUsed, e.sigmaLatitude, e.sigmaAltitude),
              std::tuple(14.2, 12, 2.3, 4.0));
    EXPECT_EQ(std::tuple(e.pdop, e.hdop, e.vdop), std::tuple(1.05, 0.64, 0.83));
    // $GNGBS,003956.00,2.3,3.5,4.0,,,,,,
    EXPECT_EQ(std::tuple(e.gbsLatitudeError, e.gbsLongitudeError, e.gbsAltitudeError), std::tuple(2.3, 3.5, 4.0));
    EXPECT_FALSE(e.gbsSuspectNumber);
    // GPS, SBAS, GLONASS, Galileo, BeiDou, QZSS, NavIC.
    EXPECT_EQ(e.usedBySystem, (decltype(e.usedBySystem){8, 0, 3, 3, 6, 0, 0}));
    EXPECT_EQ(e.inViewBySystem, (decltype(e.inViewBySystem){12, 0, 10, 9, 10, 0, 0}));
    // The strongest signal of each of the 20 used satellites adds up to 482 dB-Hz.
    EXPECT_NEAR(*e.cn0Mean, 482.0 / 20, 1e-9);
    EXPECT_EQ(e.cn0Max, 35);
}

TEST(EpochCapture, TrimbleRtkAt10HzGivesTenEpochsASecond)
{
    FIXWATCH_NEED_CAPTURES();
    const EpochModel model = ModelOfCapture("nmea-rtk.nmea");
    ASSERT_EQ(model.History().Size(), 122u);
    for (std::size_t i = 1; i < 20; ++i)
        EXPECT_EQ(*model.History()[i].timeMs - *model.History()[i - 1].timeMs, 100) << i;
    // Its minutes to eight decimals; the fields' reading is pinned on made-up sentences.
    const Epoch& e = model.History()[2];
    EXPECT_EQ(e.timeMs, (13 * 3600 + 28 * 60 + 19) * 1000 + 800);
    EXPECT_NEAR(*e.latitude, 41 + 34.49721169 / 60, 1e-12);
}

} // namespace
} // namespace fixwatch::test
