#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace fixwatch {

// How many satellites the receiver's solution uses, when every satellite system is read.
// A multi-system receiver says it in several places that disagree: a GGA per system (each
// counting its own system, or the whole solution, by the maker's choice), a combined "GN"
// GGA or a GNS, and the GSA sentences that list the used satellites. The best of them wins:
// the satellites that the GSA sentences mark used, when any GSA came; otherwise the combined
// solution's count; otherwise the largest count that any one system's GGA gave, never one
// system's count over the total.
class SatellitesInUse {
public:
    // A GGA or GNS field 7 of `talker` ("GP", "GN", ...); an empty or unreadable field
    // says nothing.
    void SolutionCount(std::string_view talker, std::string_view formatter, std::string_view field);
    // The number of satellites the GSA sentences mark used, after a GSA was read.
    void UsedBySky(int used);

    // Nothing until one of the above said something.
    std::optional<int> Count() const;

    void Clear() { *this = SatellitesInUse(); }

private:
    static constexpr std::size_t kTalkerSlots = 9;

    std::optional<int> sky_;
    std::optional<int> combined_;                      // GN GGA or any GNS
    std::array<std::optional<int>, kTalkerSlots> perSystem_{}; // GGA of one system's talker
};

} // namespace fixwatch
