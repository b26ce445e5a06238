#pragma once

#include "epoch_pairing.h"
#include "receiver_comparison.h"

#include <cstdint>

namespace fixwatch {

// Receiver B measured against receiver A while both run: what the Compare tab shows, fed with
// the pairs that EpochPairing decides. Everything it keeps is bounded, however long it runs.
class LiveComparison {
public:
    // Forgets everything: a Start.
    void Clear();
    // One decided epoch at `utcMs`: both receivers' when they share the time, else the one
    // that came, the other null.
    void Add(const ReceiverEpoch* a, const ReceiverEpoch* b, std::int64_t utcMs);
    // A receiver's first fix since the last Clear, this many seconds after Start as the
    // window's clock counts them.
    void FirstFix(EpochPairing::Receiver receiver, double secondsAfterStart);
};

} // namespace fixwatch
