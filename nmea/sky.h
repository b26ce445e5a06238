#pragma once

#include "gnss_system.h"
#include "sentence_view.h"
#include "talkers.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace fixwatch {

// Every satellite in view, of every system, built line by line from the GSV sequences of the
// talkers it reads and from their GSA sentences for which satellites are used. Fed like the
// interpreter: one sentence without CR LF per call; only sentences whose "*" and checksum
// match count, everything else is passed over. With Talkers::GpsOnly only "$GP" GSV and GSA
// are read, with AllSystems those of every talker in kGnssTalkers.
//
// How receivers are read:
// - A GSV sequence is messages 1 to N of one talker in order; it counts once complete. A
//   missing, repeated or damaged message cuts it off, and a cut-off sequence changes nothing.
// - NMEA 4.10 adds a signal ID after the satellite blocks and sends a sequence per signal,
//   numbered from 1 each time; a complete sequence replaces what that talker's previous
//   sequence for the same signal listed, so a satellite seen on L1 stays while the L2
//   sequence does not list it.
// - What a talker's signal listed is dropped when none of its messages came while another
//   talker or signal went twice round (three of its messages 1): the receiver no longer
//   sends it (a receiver that stops sending a system's GSV, or a signal it no longer tracks).
// - Some receivers number one sequence across several signals (the first messages perhaps
//   without a signal ID). Once a talker does that, each of its complete sequences replaces
//   everything the talker listed before.
// - A complete sequence without a signal ID that lists no satellite ("$GPGSV,1,1,00*79")
//   empties everything its talker listed.
// - A satellite listed on several signals is one satellite with its strongest signal and,
//   beside it, each signal's own value (kMaxSignals of them, in signal ID order); an
//   elevation or azimuth left empty on one signal does not hide the value another gave.
// - The system comes from the talker (GL, GA, GB, BD, GQ, QZ, GI) or, for GP and GN, from the
//   satellite number (see SystemOfNumber); numbers of no known system are passed over.
//   Numberings that differ only by an offset (GLONASS 65 and slot 1, BeiDou 208 and 8) name
//   one satellite, shown with the number its latest listing sent.
// - GSA: consecutive GSA of one talker and system ID (or of one talker without a system ID)
//   add up, since a receiver that uses more than twelve satellites of a system lists them in
//   two; the first of a run replaces what that talker and system's previous run said. What a talker and system's GSA said is dropped when
//   it did not come while another went twice round, and a GSA whose fix type is 1 (no fix)
//   says that no satellite is used.
//
// Memory stays bounded whatever arrives: sequences longer than kMaxMessages, values out of
// range and numbers above kMaxNumber are passed over, and each talker keeps at most
// kMaxListed satellites.
class Sky {
public:
    static constexpr int kMaxMessages = 32;        // messages in one GSV sequence
    static constexpr int kMaxNumber = 999;         // a satellite number as sent
    static constexpr std::size_t kMaxListed = 256; // satellite listings kept per talker

    explicit Sky(Talkers talkers = Talkers::AllSystems);

    // Reads one sentence; true when Satellites() changed.
    bool Feed(std::string_view sentence);
    bool Feed(const SentenceView& sentence);

    // The satellites in view in system order, then by number as the sentences send it.
    const std::vector<SkySatellite>& Satellites() const { return satellites_; }

    // Forgets everything, as at construction.
    void Clear();

private:
    static constexpr int kSignalKeys = 18; // no signal ID, the 16 hexadecimal IDs, unreadable
    static constexpr int kUsedSlots = 7;   // GSA without system ID, system IDs 1 to 6
    static constexpr int kNumbersPerSystem = 1024;
    // One key per number of every system in kAllGnssSystems.
    static constexpr std::size_t kKeyCount = std::size(kAllGnssSystems) * std::size_t{kNumbersPerSystem};

    // One satellite as one signal of one complete sequence listed it; -1 for an empty value.
    struct Listing {
        std::uint16_t key = 0;    // system * kNumbersPerSystem + number within its system
        std::uint16_t number = 0; // as sent
        std::int16_t elevation = -1;
        std::int16_t azimuth = -1;
        std::int16_t snr = -1;
        std::uint8_t signal = 0; // signal key
        std::uint64_t stamp = 0; // which commit listed it: later ones give the position
    };

    struct TalkerState {
        // The GSV sequence being gathered; total is 0 when none is.
        int total = 0;
        int next = 0;
        std::uint32_t sequenceSignals = 0;
        std::vector<Listing> gathering;

        std::vector<Listing> listed; // what the last complete sequences said
        bool numbersAcrossSignals = false;
        // When a GSV message of each signal last came, and when its last two messages 1 came,
        // counted in GSV messages of every talker; 0 for never.
        std::array<std::uint64_t, kSignalKeys> lastSeen{};
        std::array<std::uint64_t, kSignalKeys> lastStart{};
        std::array<std::uint64_t, kSignalKeys> startBefore{};
        std::uint32_t seenSignals = 0; // the signals whose lastSeen is not 0: only they list

        // The used satellites by GSA slot, and when each slot's last two GSA came, counted in
        // GSA sentences of every talker.
        std::array<std::vector<std::uint16_t>, kUsedSlots> used;
        std::array<std::uint64_t, kUsedSlots> usedSince{};
        std::array<std::uint64_t, kUsedSlots> usedBefore{};
    };

    bool FeedGsv(std::size_t talker, std::optional<GnssSystem> talkerSystem, const std::string_view* fields,
                 std::size_t count);
    bool FeedGsa(std::size_t talker, std::optional<GnssSystem> talkerSystem, const std::string_view* fields,
                 std::size_t count);
    // Sets of systems, one bit per GnssSystem: which systems' satellites a change touched.
    using SystemSet = std::uint32_t;
    static SystemSet SystemOfKey(std::uint16_t key) { return 1u << (key / kNumbersPerSystem); }

    SystemSet DropSilentSignals(std::uint64_t since);
    void DropSilentUsed(std::uint64_t since);
    SystemSet Commit(TalkerState& state);
    bool Rebuild(SystemSet systems);
    bool RefreshUsed();

    Talkers talkers_;
    std::array<TalkerState, kGnssTalkers.size()> states_;
    std::uint64_t commits_ = 0;
    std::uint64_t gsvMessages_ = 0;
    std::uint64_t gsaSentences_ = 0;
    int gsaRunTalker_ = -1; // talker of the GSA run in progress, -1 when none
    int gsaRunSlot_ = 0;    // ... and its system ID, 0 for none
    std::bitset<kKeyCount> usedKeys_;

    std::vector<SkySatellite> satellites_;
    std::vector<std::uint16_t> keys_; // the key of each satellite in satellites_

    // One satellite's listings while the sky is rebuilt.
    struct Merge {
        const Listing* latest = nullptr;   // its number
        const Listing* elevated = nullptr; // the latest with an elevation
        const Listing* placed = nullptr;   // the latest with an azimuth
        std::int16_t snr = -1;             // the strongest
        std::uint32_t signalKeys = 0;      // the signal keys listed; the latest listing of each
                                           // is in mergeSignals_ from kSignalKeys * position
    };
    static bool Before(const Listing& a, const Listing& b);

    // Reused working space, so a steady stream allocates nothing: per satellite key the
    // position + 1 of its merge (0 between rebuilds), and the merges in order of first listing.
    std::array<std::uint16_t, kKeyCount> mergeSlots_{};
    std::vector<Merge> merges_;
    std::vector<const Listing*> mergeSignals_; // only grows; an entry counts when its key's bit is set
    std::vector<std::uint16_t> mergeKeys_;
    std::vector<SkySatellite> rebuilt_; // the satellites of the systems being rebuilt
    std::vector<std::uint16_t> rebuiltKeys_;
    std::vector<SkySatellite> nextSatellites_;
    std::vector<std::uint16_t> nextKeys_;
};

} // namespace fixwatch
