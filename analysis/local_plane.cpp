#include "local_plane.h"

namespace fixwatch {

LocalPlane::LocalPlane(double latitude, double longitude, double height)
    : plane_(latitude, longitude, height), height_(height)
{
}

LocalOffset LocalPlane::Offset(double latitude, double longitude, std::optional<double> height) const
{
    double east = 0, north = 0, up = 0;
    plane_.Forward(latitude, longitude, height.value_or(height_), east, north, up);
    return LocalOffset{east, north, height ? std::optional(up) : std::nullopt};
}

} // namespace fixwatch
