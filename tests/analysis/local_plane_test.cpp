// Metres on the local tangent plane, against the WGS 84 lengths of a degree.
#include "local_plane.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

TEST(LocalPlane, ThousandthsOfADegreeAtTheEquatorAndUpAndDown)
{
    const LocalPlane plane(0, 0);
    // A degree of latitude at the equator is 110,574.3 m, one of longitude 111,319.5 m.
    const LocalOffset north = plane.Offset(0.001, 0, 0);
    EXPECT_NEAR(north.north, 110.5743, 1e-3);
    EXPECT_NEAR(north.east, 0, 1e-9);
    const LocalOffset east = plane.Offset(0, -0.001, -10);
    EXPECT_NEAR(east.east, -111.3195, 2e-3);
    EXPECT_NEAR(east.up.value(), -10.001, 1e-3) << "ten metres down, and the earth's curve";
    EXPECT_FALSE(plane.Offset(0, 0, std::nullopt).up);
}

} // namespace
} // namespace fixwatch
