#pragma once

#include "epoch_pairing.h"
#include "epochs.h"
#include "receiver_session.h"
#include "sky.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace fixwatch {

class LiveComparison;

// Receivers A and B read side by side for the comparison, without any widget: one more line
// consumer on each receiver's session, each with a sky and epochs of its own that read every
// system whatever the session shows. Each closed epoch is paired with the other receiver's by
// its UTC time and handed to the comparison with that time; a receiver's first fix since
// Start is handed on with the seconds it took.
class ComparisonFeed {
public:
    // `comparison` must outlive the feed; `secondsSinceStart` is the window's monotonic clock
    // counted from the last Start.
    ComparisonFeed(LiveComparison& comparison, std::function<double()> secondsSinceStart);
    ~ComparisonFeed();
    ComparisonFeed(const ComparisonFeed&) = delete;
    ComparisonFeed& operator=(const ComparisonFeed&) = delete;

    // The consumer to add to receiver `receiver`'s session.
    LineConsumer& Consumer(EpochPairing::Receiver receiver);

    // A Start: every epoch, every wait and the comparison forgotten.
    void Clear();
    // Hands on the epochs still waiting for the other receiver: a Stop.
    void Finish();

    // Told after the comparison changed, and of each decided epoch and first fix as the
    // comparison was told (for whoever shows it).
    std::function<void()> changed;
    std::function<void(const ReceiverEpoch* a, const ReceiverEpoch* b, std::int64_t utcMs)> decided;
    std::function<void(EpochPairing::Receiver receiver, double seconds)> firstFix;

private:
    class Side;
    void EpochClosed(EpochPairing::Receiver receiver, const Epoch& epoch, const Sky& sky);
    void Decided(const ReceiverEpoch* a, const ReceiverEpoch* b, std::int64_t utcMs);

    LiveComparison& comparison_;
    std::function<double()> secondsSinceStart_;
    std::array<std::unique_ptr<Side>, 2> sides_;
    EpochPairing pairing_;
    bool anythingDecided_ = false;
};

} // namespace fixwatch
