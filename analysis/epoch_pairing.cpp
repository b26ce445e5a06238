#include "epoch_pairing.h"

namespace fixwatch {

void EpochPairing::Add(Receiver receiver, std::int64_t utcMs, ReceiverEpoch epoch)
{
    const std::int64_t key = (utcMs + kMatchMs / 2) / kMatchMs;
    std::optional<std::int64_t>& newest = newest_[receiver];
    if (newest && key < *newest) {
        Finish();
        newest_[A].reset();
        newest_[B].reset();
    }
    newest = key;
    waiting_[receiver].push_back(Timed{key, utcMs, std::move(epoch)});
    Decide(false);
}

void EpochPairing::Finish() { Decide(true); }

void EpochPairing::Clear()
{
    for (auto& waiting : waiting_)
        waiting.clear();
    newest_[A].reset();
    newest_[B].reset();
}

void EpochPairing::Decide(bool finishing)
{
    constexpr std::int64_t kWait = kWaitMs / kMatchMs;
    for (;;) {
        std::deque<Timed>& a = waiting_[A];
        std::deque<Timed>& b = waiting_[B];
        if (!a.empty() && !b.empty()) {
            const std::int64_t ka = a.front().key;
            const std::int64_t kb = b.front().key;
            if (ka == kb) {
                decided_(&a.front().epoch, &b.front().epoch, a.front().utcMs);
                a.pop_front();
                b.pop_front();
            } else if (ka < kb) {
                decided_(&a.front().epoch, nullptr, a.front().utcMs); // B has gone past it
                a.pop_front();
            } else {
                decided_(nullptr, &b.front().epoch, b.front().utcMs);
                b.pop_front();
            }
            continue;
        }
        // One receiver waits alone: for the other's epoch until its own has gone on far enough.
        const Receiver alone = a.empty() ? B : A;
        std::deque<Timed>& waiting = waiting_[alone];
        if (waiting.empty())
            return;
        const std::optional<std::int64_t>& other = newest_[alone == A ? B : A];
        const bool passed = other && *other > waiting.front().key;
        const bool waitedEnough = *newest_[alone] - waiting.front().key > kWait;
        if (!finishing && !passed && !waitedEnough && waiting.size() <= kMaxWaiting)
            return;
        if (alone == A)
            decided_(&waiting.front().epoch, nullptr, waiting.front().utcMs);
        else
            decided_(nullptr, &waiting.front().epoch, waiting.front().utcMs);
        waiting.pop_front();
    }
}

} // namespace fixwatch
