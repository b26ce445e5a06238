// Accuracy figures from positions in metres, against values worked out by hand.
#include "accuracy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace fixwatch {
namespace {

TEST(Accuracy, FiguresOfAHandComputedSet)
{
    // Distances 1, 2, 3, 4, 0; heights 1 to 5.
    const std::vector<LocalOffset> offsets{{1, 0, 1}, {0, 2, 2}, {-3, 0, 3}, {0, -4, 4}, {0, 0, 5}};
    const AccuracyFigures f = ComputeAccuracy(offsets);
    EXPECT_EQ(f.fixes, 5u);
    EXPECT_DOUBLE_EQ(f.cep50, 2.0);                  // rank 0.5 * 4 = 2
    EXPECT_DOUBLE_EQ(f.cep95, 3.8);                  // rank 3.8: 3 + 0.8 * (4 - 3)
    EXPECT_DOUBLE_EQ(f.twoDrms, 2 * std::sqrt(6.0)); // mean square (1+4+9+16+0)/5
    EXPECT_DOUBLE_EQ(f.sdEast, std::sqrt(9.2 / 5));  // mean -0.4
    EXPECT_DOUBLE_EQ(f.sdNorth, std::sqrt(19.2 / 5));
    EXPECT_DOUBLE_EQ(f.sdUp.value(), std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(f.r95Altitude.value(), 2.0); // |up - 3|: 0 1 1 2 2, rank 3.8
}

TEST(Accuracy, EdgeCases)
{
    EXPECT_EQ(std::tuple(ComputeAccuracy({}).fixes, ComputeAccuracy({}).cep95), std::tuple(0u, 0.0));

    const AccuracyFigures one = ComputeAccuracy({{3, 4, std::nullopt}});
    EXPECT_EQ(std::tuple(one.cep50, one.cep95, one.twoDrms, one.sdEast), std::tuple(5.0, 5.0, 10.0, 0.0));
    EXPECT_FALSE(one.sdUp || one.r95Altitude) << "no altitude, no vertical figures";

    std::vector<double> values{4, 1, 3, 2};
    EXPECT_EQ(std::tuple(Percentile(values, 0), Percentile(values, 1), Percentile(values, 0.5)),
              std::tuple(1.0, 4.0, 2.5));
    std::vector<double> none;
    EXPECT_EQ(Percentile(none, 0.5), 0);
}

} // namespace
} // namespace fixwatch
