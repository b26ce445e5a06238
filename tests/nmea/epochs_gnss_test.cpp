// What every system's reading adds to an epoch: GNS's fix, GBS's expected errors, the heading
// of HDT and THS, the height above the ellipsoid, and ZDA's date where no RMC comes.
#include "nmea_test.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace fixwatch::test {
namespace {

// The one epoch the lines make with every system read.
Epoch OneEpoch(const Lines& lines)
{
    const EpochModel model = ModelOf(lines, Talkers::AllSystems);
    EXPECT_EQ(model.History().Size(), 1u);
    return model.History().Size() > 0 ? model.History()[0] : Epoch{};
}

TEST(EpochsGns, TheModeIndicatorIsGgasQualityTheBestSystemsLetterDeciding)
{
    struct Row {
        const char* mode;
        std::optional<int> quality;
    };
    // clang-format off
    const Row rows[] = {
        {"A", 1}, {"D", 2}, {"P", 3}, {"R", 4}, {"F", 5}, {"E", 6}, {"M", 7}, {"S", 8}, {"N", 0},
        {"NDD", 2},            // GPS without a fix, GLONASS and Galileo differential
        {"AANN", 1}, {"NNNN", 0}, {"FR", 4}, {"DA", 2},
        {"XA", 1},             // a letter no edition defines is passed over
        {"X", std::nullopt}, {"", std::nullopt}, {"a", std::nullopt},
    };
    // clang-format on
    for (const Row& row : rows) {
        const Epoch e =
            OneEpoch({"$GNGNS,123519,4807.038,N,01131.000,E," + std::string(row.mode) + ",08,0.9,545.4,46.9,,"});
        EXPECT_EQ(e.fixQuality, row.quality) << "mode \"" << row.mode << '"';
    }
}

TEST(EpochsGns, GivesTheFixWithoutGgaAndGivesWayToGgaInTheSameEpoch)
{
    const std::string gns = "$GNGNS,123519,4807.038,N,01131.000,E,AD,12,0.8,500.0,40.0,,";
    const std::string gga = "$GNGGA,123519,4807.040,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    // GNS alone is read on a receiver without GGA below.
    for (const Lines& order : {Lines{gns, gga}, Lines{gga, gns}}) {
        const Epoch e = OneEpoch(order);
        EXPECT_EQ(std::tuple(e.fixQuality, e.satellitesUsed, e.hdop, e.altitude, e.geoidSeparation),
                  std::tuple(1, 8, 0.9, 545.4, 46.9))
            << order[0] << " first: GGA wins";
        EXPECT_NEAR(*e.latitude, 48 + 7.040 / 60, 1e-12) << order[0] << " first";
    }

    // GNS's position wins over RMC's, as GGA's does; an empty GNS leaves the fix to RMC.
    const std::string rmc = "$GNRMC,123519,A,4900.000,N,01131.000,E,022.4,084.4,230394,003.1,W";
    EXPECT_NEAR(*OneEpoch({rmc, gns}).latitude, 48 + 7.038 / 60, 1e-12);
    const Epoch empty = OneEpoch({"$GNGNS,123519,,,,,,,,,,,", rmc});
    EXPECT_EQ(std::tuple(empty.fixQuality, empty.altitude, empty.satellitesUsed),
              std::tuple(std::nullopt, std::nullopt, std::nullopt));
    EXPECT_TRUE(empty.HasFix()) << "RMC's status A";
    EXPECT_NEAR(*empty.latitude, 49.0, 1e-12);

    EXPECT_EQ(ModelOf({"$GPGNS,123519,4807.038,N,01131.000,E,A,08,0.9,545.4,46.9,,"}).History().Size(), 0u)
        << "the default reading takes no GNS";
}

// The Ericsson receiver sends GNS, GLL, VTG and ZDA, and a GGA only twice in 71 seconds.
TEST(EpochsGnsCapture, AReceiverWithoutGgaOrRmcHasItsFixHeightAndDate)
{
    FIXWATCH_NEED_CAPTURES("ericsson-gru04-02-70sec.nmea");
    const EpochModel model = ModelOfCapture("ericsson-gru04-02-70sec.nmea");
    ASSERT_EQ(model.History().Size(), 71u);
    for (std::size_t i = 0; i < model.History().Size(); ++i) {
        const Epoch& e = model.History()[i];
        EXPECT_TRUE(e.HasFix()) << i;
        EXPECT_EQ(e.date, (UtcDate{2026, 2, 12})) << i;
        EXPECT_FALSE(e.GllOnly()) << i;
    }
    const Epoch& first = model.History()[0];
    EXPECT_EQ(first.timeMs, (21 * 3600 + 37 * 60 + 12) * 1000);
    EXPECT_EQ(std::tuple(first.fixQuality, first.satellitesUsed, first.hdop, first.altitude, first.geoidSeparation),
              std::tuple(1, 13, 0.93, 1482.5, -16.5));
    EXPECT_NEAR(*first.EllipsoidHeight(), 1466.0, 1e-9);
    EXPECT_NEAR(*first.latitude, 41 + 11.59903 / 60, 1e-12);
}

TEST(EpochsGbs, ExpectedErrorsAndTheSuspectedSatelliteWithItsSystem)
{
    const std::string gga = "$GNGGA,181141.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    // The errors of a whole epoch are read on the u-blox capture in EpochCapture.
    struct Row {
        const char* legend;
        const char* gbs;
        std::optional<int> number;
        std::optional<GnssSystem> system;
    };
    // clang-format off
    const Row rows[] = {
        {"a GN number 65-96",      "$GNGBS,181141.00,4.7,1.9,5.3,87,,-54902.0,57.5", 87, GnssSystem::GLONASS},
        {"system ID (NMEA 4.10)",  "$GNGBS,181141.00,4.7,1.9,5.3,11,,,,3,7", 11, GnssSystem::Galileo},
        {"the talker's system",    "$GAGBS,181141.00,4.7,1.9,5.3,11,,,",     11, GnssSystem::Galileo},
        {"no suspect",             "$GNGBS,181141.00,4.7,1.9,5.3,,,,",       std::nullopt, std::nullopt},
        {"suspect 0",              "$GNGBS,181141.00,4.7,1.9,5.3,0,,,",      std::nullopt, std::nullopt},
        {"unknown system ID",      "$GNGBS,181141.00,4.7,1.9,5.3,11,,,,9,1", 11, std::nullopt},
        {"number of no system",    "$GNGBS,181141.00,4.7,1.9,5.3,175,,,",    175, std::nullopt},
    };
    // clang-format on
    for (const Row& row : rows) {
        const Epoch r = OneEpoch({gga, row.gbs});
        EXPECT_EQ(std::tuple(r.gbsSuspectNumber, r.gbsSuspectSystem), std::tuple(row.number, row.system)) << row.legend;
    }
    const Epoch blank = OneEpoch({gga, "$GPGBS,181141.00,,-1.0,x,,,,"});
    EXPECT_EQ(std::tuple(blank.gbsLatitudeError, blank.gbsLongitudeError, blank.gbsAltitudeError),
              std::tuple(std::nullopt, std::nullopt, std::nullopt))
        << "empty, negative or unreadable errors stay empty";
}

TEST(EpochsHeading, HdtOrThsWithAValidModeGiveTheTrueHeading)
{
    const std::string gga = "$GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    struct Row {
        const char* sentence;
        std::optional<double> heading;
    };
    // clang-format off
    const Row rows[] = {
        {"$GNHDT,244.28,T", 244.28}, {"$HEHDT,4.0,T", 4.0},  // a gyrocompass on the same bus
        {"$GNTHS,244.28,A", 244.28}, {"$GNTHS,10.5,E", 10.5}, {"$GNTHS,10.5,M", 10.5}, {"$GNTHS,10.5,S", 10.5},
        {"$GNTHS,244.28,V", std::nullopt}, {"$GNTHS,244.28,", std::nullopt}, {"$GNTHS,244.28,X", std::nullopt},
        {"$GPHDT,,T", std::nullopt}, {"$GNHDT,244.28,M", std::nullopt}, {"$GNHDT,360.0,T", std::nullopt},
    };
    // clang-format on
    for (const Row& row : rows)
        EXPECT_EQ(OneEpoch({gga, row.sentence}).trueHeading, row.heading) << row.sentence;
    EXPECT_EQ(OneEpoch({gga, "$GNTHS,244.28,V", "$GNHDT,100.0,T", "$GNTHS,200.0,A"}).trueHeading, 100.0)
        << "the first valid heading of the epoch";
    const EpochModel gpsOnly =
        ModelOf({"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", "$GPHDT,244.28,T"});
    ASSERT_EQ(gpsOnly.History().Size(), 1u);
    EXPECT_EQ(gpsOnly.History()[0].trueHeading, std::nullopt) << "the default reading takes no heading";
}

} // namespace
} // namespace fixwatch::test
