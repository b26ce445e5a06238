#include "accuracy.h"

#include <algorithm>
#include <cmath>

namespace fixwatch {

namespace {

double Mean(const std::vector<double>& values)
{
    double sum = 0;
    for (double v : values)
        sum += v;
    return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

double PopulationDeviation(const std::vector<double>& values)
{
    const double mean = Mean(values);
    double sum = 0;
    for (double v : values)
        sum += (v - mean) * (v - mean);
    return values.empty() ? 0 : std::sqrt(sum / static_cast<double>(values.size()));
}

} // namespace

double Percentile(std::vector<double>& values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double rank = std::clamp(p, 0.0, 1.0) * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(rank));
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (rank - static_cast<double>(below)) * (values[above] - values[below]);
}

AccuracyFigures ComputeAccuracy(const std::vector<LocalOffset>& offsets)
{
    AccuracyFigures figures;
    figures.fixes = offsets.size();
    if (offsets.empty())
        return figures;
    std::vector<double> distances, east, north, up;
    distances.reserve(offsets.size());
    east.reserve(offsets.size());
    north.reserve(offsets.size());
    double squares = 0;
    for (const LocalOffset& o : offsets) {
        const double d = std::hypot(o.east, o.north);
        distances.push_back(d);
        squares += d * d;
        east.push_back(o.east);
        north.push_back(o.north);
        if (o.up)
            up.push_back(*o.up);
    }
    figures.twoDrms = 2 * std::sqrt(squares / static_cast<double>(offsets.size()));
    figures.cep50 = Percentile(distances, 0.50);
    figures.cep95 = Percentile(distances, 0.95);
    figures.sdEast = PopulationDeviation(east);
    figures.sdNorth = PopulationDeviation(north);
    if (!up.empty()) {
        figures.sdUp = PopulationDeviation(up);
        const double meanUp = Mean(up);
        for (double& u : up)
            u = std::fabs(u - meanUp);
        figures.r95Altitude = Percentile(up, 0.95);
    }
    return figures;
}

} // namespace fixwatch
