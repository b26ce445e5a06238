#pragma once

#include <optional>
#include <vector>

namespace fixwatch {

// One fix in metres east, north and up of a reference point on a local tangent plane.
struct LocalOffset {
    double east = 0;
    double north = 0;
    std::optional<double> up; // empty when the fix had no altitude
};

// How well a receiver that stands still holds its position, over a set of fixes. Horizontal
// figures are of the distances from the reference; the altitude's R95 is of the distances up
// or down from the mean altitude. Standard deviations are of the population.
struct AccuracyFigures {
    std::size_t fixes = 0;
    double cep50 = 0;   // 50th percentile of the horizontal distances
    double cep95 = 0;   // 95th percentile
    double twoDrms = 0; // twice the root mean square of the horizontal distances
    double sdEast = 0;
    double sdNorth = 0;
    std::optional<double> sdUp; // empty when no fix had an altitude
    std::optional<double> r95Altitude;
};

// The `p`th fraction (0..1) of `values`, interpolated linearly between the closest ranks (the
// rank of p is p * (n - 1), counted from 0 in ascending order); 0 for no values. Sorts them.
double Percentile(std::vector<double>& values, double p);

// The figures of `offsets`; all zero for none.
AccuracyFigures ComputeAccuracy(const std::vector<LocalOffset>& offsets);

} // namespace fixwatch
