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
    open_ = {}; // it closed as this one
    const TimedSigmas sigmas{epoch.sigmaLatitude, epoch.sigmaLongitude, epoch.sigmaAltitude, seconds};
    if (!HasSigmas(sigmas))
        return;
    if (sigmas_.size() >= capacity_)
        sigmas_.pop_front();
    sigmas_.push_back(sigmas);
}

void AccuracySamples::SetOpenEpoch(const Epoch& epoch, std::optional<double> seconds)
{
    open_ = {epoch.sigmaLatitude, epoch.sigmaLongitude, epoch.sigmaAltitude, seconds};
}

void AccuracySamples::Clear()
{
    fixes_.clear();
    sigmas_.clear();
    open_ = {};
}

template <class Samples>
std::size_t AccuracySamples::FirstWithin(const Samples& samples, int minutes, std::optional<double> newest)
{
    if (minutes <= 0)
        return 0;
    std::size_t end = samples.size();
    if (!newest)
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

template std::size_t AccuracySamples::FirstWithin(const std::deque<TimedFix>&, int, std::optional<double>);
template std::size_t AccuracySamples::FirstWithin(const std::deque<TimedSigmas>&, int, std::optional<double>);

GstSigmaMeans AccuracySamples::SigmasWithin(int minutes) const
{
    GstSigmaMeans means;
    auto add = [&means](const TimedSigmas& sigmas) {
        means.latitude.Add(sigmas.latitude);
        means.longitude.Add(sigmas.longitude);
        means.altitude.Add(sigmas.altitude);
    };
    const bool open = HasSigmas(open_);
    for (std::size_t i = FirstWithin(sigmas_, minutes, open ? open_.seconds : std::nullopt); i < sigmas_.size(); ++i)
        add(sigmas_[i]);
    if (open)
        add(open_);
    return means;
}

} // namespace fixwatch
