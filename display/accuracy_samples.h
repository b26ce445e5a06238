#pragma once

#include "accuracy_report.h"
#include "epochs.h"

#include <cstddef>
#include <deque>
#include <optional>

namespace fixwatch {

// The fixes and GST estimates behind the Accuracy tab, oldest first, each with its UTC time
// in seconds when known. At most `capacity` of each are kept (the epoch history's bound);
// adding one is O(1).
class AccuracySamples {
public:
    struct TimedFix {
        GgaFix fix;
        std::optional<double> seconds;
    };
    struct TimedSigmas {
        std::optional<double> latitude, longitude, altitude;
        std::optional<double> seconds;
    };

    explicit AccuracySamples(std::size_t capacity = EpochHistory::kDefaultCapacity) : capacity_(capacity) {}

    void AddFix(const GgaFix& fix, std::optional<double> seconds);
    // Keeps the epoch's GST estimates, if it had any.
    void AddEpoch(const Epoch& epoch, std::optional<double> seconds);
    // The epoch still open, whose GST counts until it closes: the figures then include the
    // newest estimate, as a whole file read to its end does. Replaced by each call.
    void SetOpenEpoch(const Epoch& epoch, std::optional<double> seconds);
    void Clear();

    std::size_t Fixes() const { return fixes_.size(); }
    std::size_t Capacity() const { return capacity_; }

    // The fixes of the last `minutes` before the newest timed one (every fix for 0): fixes
    // without a time are kept in whatever window.
    class FixRange;
    FixRange FixesWithin(int minutes) const;
    // The mean GST estimates of the same window.
    GstSigmaMeans SigmasWithin(int minutes) const;

private:
    // The first sample within `minutes` before `newest` (the newest timed sample if none).
    template <class Samples>
    static std::size_t FirstWithin(const Samples& samples, int minutes,
                                   std::optional<double> newest = std::nullopt);
    static bool HasSigmas(const TimedSigmas& sigmas)
    {
        return sigmas.latitude || sigmas.longitude || sigmas.altitude;
    }

    std::size_t capacity_;
    std::deque<TimedFix> fixes_;
    std::deque<TimedSigmas> sigmas_;
    TimedSigmas open_;
};

// The fixes of a stretch of the samples, read in place: what ReportAccuracy walks twice.
class AccuracySamples::FixRange {
public:
    using Base = std::deque<TimedFix>::const_iterator;
    class Iterator {
    public:
        using value_type = GgaFix;
        using difference_type = std::ptrdiff_t;
        Iterator() = default;
        explicit Iterator(const Base& at) : at_(at) {}
        const GgaFix& operator*() const { return at_->fix; }
        const GgaFix* operator->() const { return &at_->fix; }
        Iterator& operator++()
        {
            ++at_;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++at_;
            return before;
        }
        bool operator==(const Iterator& other) const { return at_ == other.at_; }

    private:
        Base at_{};
    };

    FixRange(const Base& first, const Base& last) : first_(first), last_(last) {}
    Iterator begin() const { return Iterator(first_); }
    Iterator end() const { return Iterator(last_); }

private:
    Base first_, last_;
};

inline AccuracySamples::FixRange AccuracySamples::FixesWithin(int minutes) const
{
    return {fixes_.begin() + static_cast<std::ptrdiff_t>(FirstWithin(fixes_, minutes)), fixes_.end()};
}

} // namespace fixwatch
