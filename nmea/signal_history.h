#pragma once

#include "gnss_system.h"
#include "sky_signals.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>

namespace fixwatch {

// The signal of every satellite in view at each epoch, oldest first, so that one satellite's
// C/N0 can be drawn over time once someone asks for it: its strongest signal, or with every
// band kept, the strongest of each band it tracks. At most `capacity` samples are kept (a day
// at 1 Hz of 16 satellites by default); adding one is O(1). With every band kept, each epoch
// also keeps the mean C/N0 of the used satellites per band, as many epochs as the epoch
// history keeps.
class SignalHistory {
public:
    static constexpr std::size_t kDefaultCapacity = std::size_t{24} * 60 * 60 * 16;
    static constexpr std::size_t kDefaultEpochCapacity = std::size_t{24} * 60 * 60; // a day at 1 Hz
    // A sample of a satellite's strongest signal over all its bands.
    static constexpr std::uint8_t kStrongest = 0xFF;
    // The bands a mean is kept for: every band but Other, in SignalBand order.
    static constexpr std::size_t kMeanBands = static_cast<std::size_t>(SignalBand::Other);

    struct Sample {
        double seconds = 0;             // UTC, as the epoch's
        std::uint16_t key = 0;          // Key(system, number)
        std::uint8_t cn0 = 0;           // dB-Hz
        std::uint8_t band = kStrongest; // a SignalBand, or kStrongest
    };

    // The mean C/N0 (dB-Hz) of the used satellites tracking each band at one epoch; empty for
    // a band no used satellite tracked.
    struct BandMeans {
        double seconds = 0;
        std::array<std::optional<float>, kMeanBands> mean{};
    };

    explicit SignalHistory(std::size_t capacity = kDefaultCapacity, std::size_t epochCapacity = kDefaultEpochCapacity)
        : capacity_(capacity), epochCapacity_(epochCapacity)
    {
    }

    static std::uint16_t Key(GnssSystem system, int number)
    {
        return static_cast<std::uint16_t>(static_cast<int>(system) * 1024 + (number & 1023));
    }

    // A signal outside 0..255 dB-Hz is not one a receiver measured, and is passed over.
    void Add(double seconds, GnssSystem system, int number, int cn0, std::uint8_t band = kStrongest)
    {
        if (cn0 < 0 || cn0 > 255)
            return;
        if (samples_.size() >= capacity_)
            samples_.pop_front();
        samples_.push_back({seconds, Key(system, number), static_cast<std::uint8_t>(cn0), band});
    }

    // The satellites of the sky as an epoch closed at `seconds`: each one's strongest signal,
    // or with `perBand`, the strongest of each band it tracks and the used satellites' mean
    // per band.
    void AddEpoch(double seconds, std::span<const SkySatellite> satellites, bool perBand);

    void Clear()
    {
        samples_.clear();
        means_.clear();
    }

    std::size_t Size() const { return samples_.size(); }
    const Sample& operator[](std::size_t index) const { return samples_[index]; }
    // The epochs' means per band, oldest first; only kept per band.
    const std::deque<BandMeans>& Means() const { return means_; }

private:
    std::size_t capacity_;
    std::size_t epochCapacity_;
    std::deque<Sample> samples_;
    std::deque<BandMeans> means_;
};

} // namespace fixwatch
