#pragma once

// Two receivers made of one real capture for the Compare tab's screenshots: A the capture as
// it was, B the same sentences 1 m further north and 3 dB weaker, so that the figures shown
// are known. The texts can go to two pseudo-terminals (the window), or straight into a
// comparison (the view alone).
#include "live_comparison.h"

#include <string>

namespace fixwatch {

struct ComparePair {
    std::string a, b; // NMEA text, lines ended by LF
};

// A's and B's texts of the capture at `path`; empty texts when it cannot be read.
ComparePair CompareScenario(const std::string& path);

// Reads both texts as the window's sessions would (every talker), pairs their epochs by UTC
// time and feeds `comparison`, each receiver's first fix counted from its first epoch.
void FeedComparison(LiveComparison& comparison, const ComparePair& pair);

} // namespace fixwatch
