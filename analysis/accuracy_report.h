#pragma once

#include "accuracy.h"
#include "epochs.h"
#include "local_plane.h"

#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

namespace fixwatch {

// A point the fixes are measured from, in decimal degrees.
struct ReferencePoint {
    double latitude = 0;
    double longitude = 0;
};

// The mean of the values given, of those that were there.
class RunningMean {
public:
    void Add(const std::optional<double>& value)
    {
        if (value) {
            sum_ += *value;
            ++count_;
        }
    }
    std::optional<double> Value() const
    {
        return count_ ? std::optional(sum_ / static_cast<double>(count_)) : std::nullopt;
    }

private:
    double sum_ = 0;
    std::size_t count_ = 0;
};

// The receiver's own error estimates (GST), averaged over the epochs that sent them.
struct GstSigmaMeans {
    RunningMean latitude, longitude, altitude;
    void Add(const Epoch& epoch)
    {
        latitude.Add(epoch.sigmaLatitude);
        longitude.Add(epoch.sigmaLongitude);
        altitude.Add(epoch.sigmaAltitude);
    }
};

// What fixes of a receiver that stood still say about how well it held its position.
struct AccuracyReport {
    std::size_t fixes = 0;
    double meanLatitude = 0;
    double meanLongitude = 0;
    std::optional<double> meanAltitude;
    ReferencePoint reference; // the given point, or the mean position
    AccuracyFigures figures;
    std::vector<LocalOffset> offsets; // each fix east, north and up of the reference
};

// A longitude brought into -180..180.
double WrapLongitude(double longitude);

// The report of `fixes` (a range of GgaFix, oldest first, read twice) against `reference`, or against
// their mean position without one; nothing for no fixes. Longitudes are averaged as offsets
// from the first fix's, so a receiver on the 180th meridian averages to it rather than to 0.
// The plane is tangent at the reference, at the mean altitude.
template <class Fixes>
std::optional<AccuracyReport> ReportAccuracy(const Fixes& fixes, std::optional<ReferencePoint> reference)
{
    auto first = std::begin(fixes);
    if (first == std::end(fixes))
        return std::nullopt;
    AccuracyReport report;
    RunningMean latitude, longitudeOffset, altitude;
    const double firstLongitude = (*first).longitude;
    for (const GgaFix& f : fixes) {
        latitude.Add(f.latitude);
        longitudeOffset.Add(WrapLongitude(f.longitude - firstLongitude));
        altitude.Add(f.altitude);
        ++report.fixes;
    }
    report.meanLatitude = *latitude.Value();
    report.meanLongitude = WrapLongitude(firstLongitude + *longitudeOffset.Value());
    report.meanAltitude = altitude.Value();
    report.reference = reference.value_or(ReferencePoint{report.meanLatitude, report.meanLongitude});

    const LocalPlane plane(report.reference.latitude, report.reference.longitude, report.meanAltitude.value_or(0));
    report.offsets.reserve(report.fixes);
    for (const GgaFix& f : fixes)
        report.offsets.push_back(plane.Offset(f.latitude, f.longitude, f.altitude));
    report.figures = ComputeAccuracy(report.offsets);
    return report;
}

} // namespace fixwatch
