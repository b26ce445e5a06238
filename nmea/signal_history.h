#pragma once

#include "gnss_system.h"

#include <cstddef>
#include <cstdint>
#include <deque>

namespace fixwatch {

// The signal of every satellite in view at each epoch, oldest first, so that one satellite's
// C/N0 can be drawn over time once someone asks for it. At most `capacity` samples are kept
// (a day at 1 Hz of 16 satellites by default); adding one is O(1).
class SignalHistory {
public:
    static constexpr std::size_t kDefaultCapacity = std::size_t{24} * 60 * 60 * 16;

    struct Sample {
        double seconds = 0;    // UTC, as the epoch's
        std::uint16_t key = 0; // Key(system, number)
        std::uint8_t cn0 = 0;  // dB-Hz
    };

    explicit SignalHistory(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

    static std::uint16_t Key(GnssSystem system, int number)
    {
        return static_cast<std::uint16_t>(static_cast<int>(system) * 1024 + (number & 1023));
    }

    // A signal outside 0..255 dB-Hz is not one a receiver measured, and is passed over.
    void Add(double seconds, GnssSystem system, int number, int cn0)
    {
        if (cn0 < 0 || cn0 > 255)
            return;
        if (samples_.size() >= capacity_)
            samples_.pop_front();
        samples_.push_back({seconds, Key(system, number), static_cast<std::uint8_t>(cn0)});
    }
    void Clear() { samples_.clear(); }

    std::size_t Size() const { return samples_.size(); }
    const Sample& operator[](std::size_t index) const { return samples_[index]; }

private:
    std::size_t capacity_;
    std::deque<Sample> samples_;
};

} // namespace fixwatch
