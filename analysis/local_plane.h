#pragma once

#include "accuracy.h"

#include <GeographicLib/LocalCartesian.hpp>

#include <optional>

namespace fixwatch {

// Metres east, north and up of a reference point, on the plane tangent to the WGS 84
// ellipsoid there.
class LocalPlane {
public:
    LocalPlane(double latitude, double longitude, double height = 0);

    LocalOffset Offset(double latitude, double longitude, std::optional<double> height) const;

private:
    GeographicLib::LocalCartesian plane_;
    double height_;
};

} // namespace fixwatch
