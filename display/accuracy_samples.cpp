#include "accuracy_samples.h"

namespace fixwatch {

void AccuracySamples::AddFix(const GgaFix& fix, std::optional<double> seconds)
{
    if (fixes_.size() >= capacity_)
        fixes_.pop_front();
    fixes_.push_back({fix, seconds});
}

void AccuracySamples::AddEpoch(const Epoch& epoch, std::optional<double> seconds)
{
    if (!epoch.sigmaLatitude && !epoch.sigmaLongitude && !epoch.sigmaAltitude)
        return;
    if (sigmas_.size() >= capacity_)
        sigmas_.pop_front();
    sigmas_.push_back({epoch.sigmaLatitude, epoch.sigmaLongitude, epoch.sigmaAltitude, seconds});
}

void AccuracySamples::Clear()
{
    fixes_.clear();
    sigmas_.clear();
}

template <class Samples>
std::size_t AccuracySamples::FirstWithin(const Samples& samples, int minutes)
{
    if (minutes <= 0)
        return 0;
    std::size_t end = samples.size();
    std::optional<double> newest;
    while (end > 0 && !(newest = samples[end - 1].seconds))
        --end;
    if (!newest)
        return 0;
    const double from = *newest - minutes * 60.0;
    std::size_t first = end;
    while (first > 0) {
        const auto& t = samples[first - 1].seconds;
        if (t && *t < from)
            break;
        --first;
    }
    return first;
}

template std::size_t AccuracySamples::FirstWithin(const std::deque<TimedFix>&, int);
template std::size_t AccuracySamples::FirstWithin(const std::deque<TimedSigmas>&, int);

GstSigmaMeans AccuracySamples::SigmasWithin(int minutes) const
{
    GstSigmaMeans means;
    for (std::size_t i = FirstWithin(sigmas_, minutes); i < sigmas_.size(); ++i) {
        means.latitude.Add(sigmas_[i].latitude);
        means.longitude.Add(sigmas_[i].longitude);
        means.altitude.Add(sigmas_[i].altitude);
    }
    return means;
}

} // namespace fixwatch
