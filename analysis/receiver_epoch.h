#pragma once

#include "epochs.h"
#include "receiver_comparison.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace fixwatch {

// An epoch of one receiver as a comparison takes it, with the time that pairs it with the
// other receiver's.
struct TimedReceiverEpoch {
    std::int64_t utcMs = 0; // milliseconds since 1970 when the date is known, else the time of day
    ReceiverEpoch epoch;
};

// The tracked bands of every satellite in view, the strongest signal of each band, sorted.
std::vector<BandCn0> TrackedBands(const std::vector<SkySatellite>& satellites);

// What a comparison takes of a closed epoch and the sky as it closed; nothing for an epoch
// without a UTC time, which cannot be paired. A simulated fix is no fix.
std::optional<TimedReceiverEpoch> ReceiverEpochOf(const Epoch& epoch, const std::vector<SkySatellite>& satellites);

} // namespace fixwatch
