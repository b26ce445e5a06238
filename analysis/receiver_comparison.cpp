#include "receiver_comparison.h"

#include <GeographicLib/LocalCartesian.hpp>

#include <algorithm>
#include <cmath>

namespace fixwatch {

ReceiverComparison::Vector ReceiverComparison::Earth(const ReceiverEpoch& epoch, double height) const
{
    Vector xyz{};
    earth_.Forward(epoch.latitude, epoch.longitude, height, xyz[0], xyz[1], xyz[2]);
    return xyz;
}

std::optional<ReceiverComparison::EarthOffset> ReceiverComparison::AddShared(const ReceiverEpoch& a,
                                                                             const ReceiverEpoch& b)
{
    // Signals compare at every shared epoch, with a fix or without: a receiver that hears too
    // little for a fix is the one whose signals matter most.
    TakeSignals(a, b);
    if (a.fix && !b.fix)
        ++onlyA_;
    else if (b.fix && !a.fix)
        ++onlyB_;
    if (!a.fix || !b.fix)
        return std::nullopt;

    ++epochs_;
    // Without both heights the horizontal offset is taken at one height for both, which
    // leaves the up offset out rather than making one up.
    const bool bothHeights = a.height && b.height;
    const double commonHeight = a.height ? *a.height : b.height.value_or(0.0);
    const Vector xa = Earth(a, bothHeights ? *a.height : commonHeight);
    const Vector xb = Earth(b, bothHeights ? *b.height : commonHeight);
    Vector d{};
    for (std::size_t i = 0; i < 3; ++i) {
        d[i] = xb[i] - xa[i];
        sumA_[i] += xa[i];
        sumOffset_[i] += d[i];
        if (bothHeights)
            sumOffsetWithHeight_[i] += d[i];
    }
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            sumSquares_[i][j] += d[i] * d[j];
    if (bothHeights)
        ++heights_;
    return EarthOffset{d, bothHeights};
}

void ReceiverComparison::TakeSignals(const ReceiverEpoch& a, const ReceiverEpoch& b)
{
    // Both lists are sorted: walk them side by side.
    auto ia = a.tracked.begin();
    auto ib = b.tracked.begin();
    while (ia != a.tracked.end() && ib != b.tracked.end()) {
        if (*ia < *ib) {
            ++ia;
        } else if (*ib < *ia) {
            ++ib;
        } else {
            const auto band = static_cast<std::size_t>(ia->band);
            cn0Sums_[band] += ib->cn0 - ia->cn0;
            ++cn0Counts_[band];
            ++ia;
            ++ib;
        }
    }
}

ReceiverComparison::Result ReceiverComparison::Figures() const
{
    Result result;
    result.epochs = epochs_;
    result.onlyA = onlyA_;
    result.onlyB = onlyB_;
    for (std::size_t band = 0; band < cn0Sums_.size(); ++band) {
        if (cn0Counts_[band] == 0)
            continue;
        result.cn0ByBand[band] = {cn0Sums_[band] / static_cast<double>(cn0Counts_[band]), cn0Counts_[band]};
        result.cn0.mean += cn0Sums_[band];
        result.cn0.count += cn0Counts_[band];
    }
    if (result.cn0.count > 0)
        result.cn0.mean /= static_cast<double>(result.cn0.count);
    const std::optional<PlaneRotation> plane = Plane();
    if (!plane)
        return result;

    const double n = static_cast<double>(epochs_);
    result.east = plane->Along(0, sumOffset_) / n;
    result.north = plane->Along(1, sumOffset_) / n;
    if (heights_ > 0)
        result.up = plane->Along(2, sumOffsetWithHeight_) / static_cast<double>(heights_);
    // The sum of east² + north² over the epochs is r S rᵀ for the east and north rows r and
    // the sums of the offsets' products S.
    double horizontal = 0;
    for (std::size_t row = 0; row < 2; ++row)
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = 0; j < 3; ++j)
                horizontal += plane->rows[row][i] * sumSquares_[i][j] * plane->rows[row][j];
    result.horizontalRms = std::sqrt(std::max(0.0, horizontal) / n);
    return result;
}

std::optional<ReceiverComparison::PlaneRotation> ReceiverComparison::Plane() const
{
    if (epochs_ == 0)
        return std::nullopt;
    // The plane at A's mean position. Its coordinates are R (X - X0) for earth-centred X, so
    // R's columns are the plane coordinates of X0 plus each axis.
    const double n = static_cast<double>(epochs_);
    const Vector origin{sumA_[0] / n, sumA_[1] / n, sumA_[2] / n};
    double latitude = 0, longitude = 0, height = 0;
    earth_.Reverse(origin[0], origin[1], origin[2], latitude, longitude, height);
    const GeographicLib::LocalCartesian plane(latitude, longitude, height, earth_);
    constexpr double kStep = 1000.0; // metres along each earth-centred axis
    PlaneRotation rotation;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        Vector point = origin;
        point[axis] += kStep;
        double lat = 0, lon = 0, h = 0;
        earth_.Reverse(point[0], point[1], point[2], lat, lon, h);
        Vector local{};
        plane.Forward(lat, lon, h, local[0], local[1], local[2]);
        for (std::size_t row = 0; row < 3; ++row)
            rotation.rows[row][axis] = local[row] / kStep;
    }
    return rotation;
}

} // namespace fixwatch
