#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace fixwatch {

// How many satellites the receiver's solution uses, when every satellite system is read.
// A multi-system receiver says it in several places that disagree: a GGA per system (each
// counting its own system, or the whole solution, by the maker's choice), a combined "GN"
// GGA or a GNS, and the GSA sentences that list the used satellites. The best of them wins:
// the satellites that the GSA sentences mark used, when any GSA came; otherwise the combined
// solution's count; otherwise the largest count that any one system's GGA gave, never one
// system's count over the total. A count is current for its own epoch (its UTC time) and the
// next, so that a poll between two sentences of one epoch sees no flicker and a receiver
// that stops sending a sentence stops being read from it.
class SatellitesInUse {
public:
    // A GGA or GNS of `talker` ("GP", "GN", ...): its UTC time (field 1) and its count
    // (field 7); an empty or unreadable count says nothing.
    void SolutionCount(std::string_view talker, std::string_view formatter,
                       std::string_view utcTime, std::string_view count);
    // The number of satellites the GSA sentences mark used, after a GSA was read.
    void UsedBySky(int used);

    // Nothing until one of the above said something.
    std::optional<int> Count() const;

    void Clear() { *this = SatellitesInUse(); }

private:
    static constexpr std::size_t kTalkerSlots = 9;

    struct Slot {
        std::optional<int> count;
        unsigned epoch = 0;
    };
    bool Current(const Slot& slot) const { return slot.count && epoch_ - slot.epoch <= 1; }

    std::optional<int> sky_;
    Slot combined_;                              // GN GGA or any GNS
    std::array<Slot, kTalkerSlots> perSystem_{}; // GGA of one system's talker
    std::string lastTime_;
    unsigned epoch_ = 0;
};

} // namespace fixwatch
