#pragma once

#include "receiver_comparison.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

namespace fixwatch {

// Two receivers' epochs paired by their UTC time as they arrive, live or from two recordings
// read side by side. Each receiver's epochs come in time order; times a few milliseconds
// apart are one epoch. An epoch waits for the other receiver's at the same time until that
// receiver has sent a later one, or its own receiver has gone kWaitMs further (the other is
// silent or late), and is then handed on alone. What waits stays bounded whatever arrives.
class EpochPairing {
public:
    enum Receiver {
        A = 0,
        B = 1,
    };
    static constexpr std::int64_t kMatchMs = 10;
    static constexpr std::int64_t kWaitMs = 3000;
    static constexpr std::size_t kMaxWaiting = 512; // epochs of one receiver

    // Called for each epoch decided, in time order: both when they share the time, else the
    // one that came with the other null; `utcMs` is the time it came with (A's when both).
    using Decided = std::function<void(const ReceiverEpoch* a, const ReceiverEpoch* b, std::int64_t utcMs)>;
    explicit EpochPairing(Decided decided) : decided_(std::move(decided)) {}

    // An epoch of `receiver` at `utcMs` (milliseconds since 1970 when the date is known, the
    // time of day otherwise). A time earlier than that receiver's last (a new day without a
    // date, a receiver started again) first hands on everything waiting.
    void Add(Receiver receiver, std::int64_t utcMs, ReceiverEpoch epoch);
    // Hands on everything waiting: the recordings ended, or the comparison stops.
    void Finish();
    // Forgets what waits without handing it on, as at construction.
    void Clear();

private:
    struct Timed {
        std::int64_t key = 0; // in kMatchMs
        std::int64_t utcMs = 0;
        ReceiverEpoch epoch;
    };
    void Decide(bool finishing);

    Decided decided_;
    std::deque<Timed> waiting_[2];
    std::optional<std::int64_t> newest_[2];
};

} // namespace fixwatch
