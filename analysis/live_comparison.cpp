#include "live_comparison.h"

namespace fixwatch {

void LiveComparison::Clear() {}

void LiveComparison::Add(const ReceiverEpoch*, const ReceiverEpoch*, std::int64_t) {}

void LiveComparison::FirstFix(EpochPairing::Receiver, double) {}

} // namespace fixwatch
