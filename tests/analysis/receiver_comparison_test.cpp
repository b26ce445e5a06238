// Receiver B against receiver A: offsets on the plane at A's mean position, checked against
// points placed by GeographicLib's geodesic, and C/N0 differences matched per satellite and band.
#include "receiver_comparison.h"

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace fixwatch {
namespace {

ReceiverEpoch At(double latitude, double longitude, std::optional<double> height, std::vector<BandCn0> tracked = {})
{
    ReceiverEpoch epoch;
    epoch.fix = true;
    epoch.latitude = latitude;
    epoch.longitude = longitude;
    epoch.height = height;
    epoch.tracked = std::move(tracked);
    return epoch;
}

TEST(ReceiverComparison, OffsetsAreEastNorthUpOfBFromAOnTheSharedEpochs)
{
    const auto& geodesic = GeographicLib::Geodesic::WGS84();
    ReceiverComparison comparison;
    // A wanders a few metres about a point in the southern hemisphere; B stands 3 m east, 4 m
    // north and 1 m above A at every epoch, then 5 m east and 0 m north for two epochs more.
    const std::pair<double, double> moves[] = {{3, 4}, {3, 4}, {3, 4}, {5, 0}, {5, 0}};
    for (int i = 0; i < 5; ++i) {
        double latitude = 0, longitude = 0;
        geodesic.Direct(-45.877567, 170.500111, 72.0 * i, 2.0, latitude, longitude);
        const auto [east, north] = moves[i];
        double latB = 0, lonB = 0;
        geodesic.Direct(latitude, longitude, std::atan2(east, north) * 180 / std::numbers::pi, std::hypot(east, north), latB,
                        lonB);
        comparison.AddShared(At(latitude, longitude, 16.0), At(latB, lonB, 17.0));
    }
    const auto figures = comparison.Figures();
    EXPECT_EQ(figures.epochs, 5u);
    EXPECT_NEAR(*figures.east, (3.0 * 3 + 5 * 2) / 5, 1e-3);
    EXPECT_NEAR(*figures.north, 4.0 * 3 / 5, 1e-3);
    EXPECT_NEAR(*figures.up, 1.0, 1e-3);
    EXPECT_NEAR(*figures.horizontalRms, 5.0, 1e-3) << "every offset 5 m long";
}

TEST(ReceiverComparison, EpochsWithAFixInOneOnlyAreCountedApartAndNoHeightGivesNoUp)
{
    ReceiverComparison comparison;
    ReceiverEpoch noFix;
    comparison.AddShared(At(10, 20, std::nullopt), noFix);
    comparison.AddShared(noFix, At(10, 20, 5.0));
    comparison.AddFixOnlyA();
    comparison.AddFixOnlyB();
    comparison.AddFixOnlyB();
    auto figures = comparison.Figures();
    EXPECT_EQ(figures.epochs, 0u);
    EXPECT_EQ(figures.onlyA, 2u);
    EXPECT_EQ(figures.onlyB, 3u);
    EXPECT_FALSE(figures.east) << "no epoch in common: no offset";

    comparison.AddShared(At(10, 20, std::nullopt), At(10, 20, 5.0));
    figures = comparison.Figures();
    EXPECT_EQ(figures.epochs, 1u);
    EXPECT_NEAR(*figures.east, 0, 1e-6) << "the horizontal offset is taken at one height";
    EXPECT_NEAR(*figures.north, 0, 1e-6);
    EXPECT_FALSE(figures.up) << "A sent no height";
}

TEST(ReceiverComparison, SignalsCompareWhereBothTrackTheSameSatelliteAndBand)
{
    using enum GnssSystem;
    ReceiverComparison comparison;
    const std::vector<BandCn0> a = {
        {GPS, 5, SignalBand::L1, 40}, {GPS, 5, SignalBand::L5, 30}, {GLONASS, 1, SignalBand::L1, 35}, {Galileo, 7, SignalBand::L5, 33}, {BeiDou, 9, SignalBand::E5b, 28}};
    const std::vector<BandCn0> b = {
        {GPS, 5, SignalBand::L1, 43}, {GLONASS, 1, SignalBand::L1, 36}, {Galileo, 3, SignalBand::E5b, 20}, {Galileo, 7, SignalBand::L5, 30}, {BeiDou, 9, SignalBand::L1, 41}};
    comparison.AddShared(At(0, 0, 0.0, a), At(0, 0, 0.0, b));
    ReceiverEpoch bWithoutFix;
    bWithoutFix.tracked = b;
    comparison.AddShared(At(0, 0, 0.0, a), bWithoutFix);

    const auto figures = comparison.Figures();
    const auto band = [&](SignalBand which) { return figures.cn0ByBand[static_cast<std::size_t>(which)]; };
    EXPECT_EQ(figures.cn0.count, 6u) << "G5 L1, R1 L1 and E7 L5, at both epochs: B's signals count without its fix";
    EXPECT_EQ(figures.epochs, 1u) << "but its position does not";
    EXPECT_NEAR(figures.cn0.mean, (3.0 + 1.0 - 3.0) / 3, 1e-9);
    EXPECT_EQ(band(SignalBand::L1).count, 4u);
    EXPECT_NEAR(band(SignalBand::L1).mean, 2.0, 1e-9);
    EXPECT_NEAR(band(SignalBand::L5).mean, -3.0, 1e-9);
    EXPECT_EQ(band(SignalBand::E5b).count, 0u) << "E3 is B's alone, C9 E5b A's alone";
}

} // namespace
} // namespace fixwatch
