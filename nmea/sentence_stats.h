#pragma once

#include "talkers.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fixwatch {

class SentenceView;

// The inventory of what a receiver sends: one row per identifier (talker and type, "GPGGA",
// or a proprietary one, "PUBX") since the last Begin, with its count, its rate over the last
// ten seconds, its bad checksums, when it last came and what the window reads it for. Time
// is the caller's, in milliseconds, so that the counts can be driven by a test; rates are
// counted in the receiver's own seconds (the UTC time of its GGA, RMC, GLL and ZDA) while
// that time moves on, since lines arrive with a jitter that would otherwise put two of a
// 1 Hz sentence in one second of the clock and none in the next.
//
// The rows are capped at kMaxRows: a receiver (or noise at the wrong speed) that makes up a
// new identifier with every line would otherwise grow the table without end. Identifiers
// past the cap are counted together in the last row, kOtherKey.
class SentenceStats {
public:
    static constexpr std::size_t kMaxRows = 256;
    static constexpr std::size_t kMaxKeyLength = 10;
    static constexpr std::int64_t kRateWindowMs = 10000;
    static constexpr std::string_view kOtherKey = "(others)";
    static constexpr std::string_view kNotSentenceKey = "(no identifier)";

    struct Row {
        std::string key; // the identifier without "$", cut to kMaxKeyLength
        std::string talker;
        std::string type;
        std::uint64_t count = 0;
        std::uint64_t badChecksums = 0;
        std::int64_t lastSeenMs = 0;
        // Lines per second of the last ten whole seconds and of the current one, one slot for
        // each second: the current one must not take the slot of the oldest still counted.
        std::array<std::uint32_t, 11> perSecond{};
        std::array<std::int64_t, 11> secondOf{};
    };

    explicit SentenceStats(Talkers talkers = Talkers::GpsOnly) : talkers_(talkers) {}

    // Forgets every row; the window reads `talkers` from now on.
    void Begin(Talkers talkers);
    void Count(const SentenceView& sentence, std::int64_t nowMs);

    const std::vector<Row>& Rows() const { return rows_; }
    Talkers ReadTalkers() const { return talkers_; }

    // Lines per second over the ten whole seconds before the current one: the receiver's
    // seconds while its time moves on, else those of `nowMs`.
    double Rate(const Row& row, std::int64_t nowMs) const;
    // What the window takes this row for, or why it does not read it.
    std::string UseOf(const Row& row) const;
    // For each of the six sentences the window reads that has not come (with a good checksum,
    // from a talker it reads): "no GSV: satellite columns and Sky tab empty".
    std::vector<std::string> Missing() const;

private:
    Row& RowFor(std::string_view key, std::string_view talker, std::string_view type);
    void ReadReceiverTime(const SentenceView& sentence, std::int64_t nowMs);
    // The second that rates are counted in at `nowMs`.
    std::int64_t SecondAt(std::int64_t nowMs) const;

    Talkers talkers_;
    std::vector<Row> rows_;
    std::size_t lastHit_ = 0;
    std::array<bool, 6> readSeen_{}; // GGA GLL GSA GSV RMC VTG, read by the window
    // The receiver's latest time in seconds (days counted at each midnight) and the
    // caller's time when it last moved on; negative while none came.
    std::int64_t receiverSecond_ = -1;
    std::int64_t receiverMovedMs_ = 0;
};

// Whether the window reads `type` (one of GGA GLL GSA GSV RMC VTG) and of which talker.
bool WindowReads(Talkers talkers, std::string_view talker, std::string_view type);

} // namespace fixwatch
