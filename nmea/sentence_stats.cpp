#include "sentence_stats.h"

#include "field_reading.h"
#include "sentence_view.h"

#include <algorithm>
#include <optional>

namespace fixwatch {
namespace {

constexpr std::array<std::string_view, 6> kReadTypes{"GGA", "GLL", "GSA", "GSV", "RMC", "VTG"};

// What each of the six fills in the window, and what stays empty without it.
constexpr std::array<std::string_view, 6> kUses{
    "position, time, fix quality, satellites used, HDOP, altitude",
    "position, time, fix status",
    "fix mode, used satellites, PDOP, HDOP, VDOP",
    "satellite columns and Sky tab",
    "position, time, date, fix status, speed in knots, course",
    "course, speed in knots and km/h",
};

std::optional<std::size_t> ReadTypeIndex(std::string_view type)
{
    const auto at = std::find(kReadTypes.begin(), kReadTypes.end(), type);
    return at == kReadTypes.end() ? std::nullopt : std::optional(static_cast<std::size_t>(at - kReadTypes.begin()));
}

// Only printable ASCII goes into a key; the rest would be shown escaped anyway and only
// makes more distinct rows.
bool PlainKey(std::string_view key)
{
    return !key.empty() && std::all_of(key.begin(), key.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

// The receiver's time stands still or is gone for longer than this: the clock counts again.
constexpr std::int64_t kReceiverTimeStaleMs = 3000;

std::int64_t WholeSeconds(std::int64_t ms)
{
    return ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
}

} // namespace

bool WindowReads(Talkers talkers, std::string_view talker, std::string_view type)
{
    return ReadTypeIndex(type).has_value() && ReadsSentence(talkers, talker, type);
}

void SentenceStats::Begin(Talkers talkers)
{
    talkers_ = talkers;
    rows_.clear();
    lastHit_ = 0;
    readSeen_ = {};
    receiverSecond_ = -1;
    receiverMovedMs_ = 0;
}

void SentenceStats::ReadReceiverTime(const SentenceView& sentence, std::int64_t nowMs)
{
    const std::string_view type = sentence.Type();
    std::size_t field = 0;
    if (type == "GGA" || type == "RMC" || type == "ZDA")
        field = 1;
    else if (type == "GLL")
        field = 5;
    if (field == 0 || !sentence.ChecksumMatches())
        return;
    const auto second = field::WholeSecondOfDay(sentence.FieldOrEmpty(field));
    if (!second)
        return;
    std::int64_t day = receiverSecond_ < 0 ? 0 : receiverSecond_ / 86400;
    const std::int64_t previous = receiverSecond_ < 0 ? 0 : receiverSecond_ % 86400;
    if (receiverSecond_ >= 0 && *second < previous - 43200) // past midnight
        ++day;
    const std::int64_t next = day * 86400 + *second;
    if (next != receiverSecond_) {
        receiverSecond_ = next;
        receiverMovedMs_ = nowMs;
    }
}

std::int64_t SentenceStats::SecondAt(std::int64_t nowMs) const
{
    if (receiverSecond_ >= 0 && nowMs - receiverMovedMs_ <= kReceiverTimeStaleMs)
        return receiverSecond_;
    return WholeSeconds(nowMs);
}

SentenceStats::Row& SentenceStats::RowFor(std::string_view key, std::string_view talker, std::string_view type)
{
    // Receivers repeat a handful of identifiers, usually in the same order: try the next row first.
    for (std::size_t tries = 0, i = lastHit_; tries < rows_.size(); ++tries, i = (i + 1) % rows_.size()) {
        if (rows_[i].key == key) {
            lastHit_ = (i + 1) % rows_.size();
            return rows_[i];
        }
    }
    // The last row is kept for everything past the cap.
    if (rows_.size() + 1 >= kMaxRows && key != kOtherKey)
        return RowFor(kOtherKey, {}, {});
    Row row;
    row.key = std::string(key);
    row.talker = std::string(talker);
    row.type = std::string(type);
    row.secondOf.fill(-1);
    rows_.push_back(std::move(row));
    return rows_.back();
}

void SentenceStats::Count(const SentenceView& sentence, std::int64_t nowMs)
{
    const std::string_view identifier = sentence.Identifier();
    std::string_view key = identifier.size() > 1 && identifier[0] == '$' ? identifier.substr(1) : std::string_view{};
    key = key.substr(0, kMaxKeyLength);
    const bool plain = PlainKey(key);
    Row& row = plain ? RowFor(key, sentence.Talker(), sentence.Type()) : RowFor(kNotSentenceKey, {}, {});

    const bool bad = !sentence.ChecksumMatches();
    ++row.count;
    if (bad)
        ++row.badChecksums;
    row.lastSeenMs = nowMs;
    ReadReceiverTime(sentence, nowMs);
    const std::int64_t second = SecondAt(nowMs);
    const auto slots = static_cast<std::int64_t>(row.perSecond.size());
    const auto slot = static_cast<std::size_t>(((second % slots) + slots) % slots);
    if (row.secondOf[slot] != second) {
        row.secondOf[slot] = second;
        row.perSecond[slot] = 0;
    }
    ++row.perSecond[slot];

    if (!bad && WindowReads(talkers_, sentence.Talker(), sentence.Type()))
        readSeen_[*ReadTypeIndex(sentence.Type())] = true;
}

double SentenceStats::Rate(const Row& row, std::int64_t nowMs) const
{
    // The ten whole seconds before the current one, so that a rate does not dip at the
    // start of every second.
    const std::int64_t current = SecondAt(nowMs);
    std::uint64_t lines = 0;
    for (std::size_t i = 0; i < row.perSecond.size(); ++i) {
        if (row.secondOf[i] >= current - 10 && row.secondOf[i] < current)
            lines += row.perSecond[i];
    }
    return static_cast<double>(lines) / 10.0;
}

std::string SentenceStats::UseOf(const Row& row) const
{
    if (row.key == kOtherKey)
        return "not read; more identifiers than the table holds";
    if (row.key == kNotSentenceKey)
        return "not read; not a sentence";
    if (!row.key.empty() && row.key[0] == 'P')
        return "not read; proprietary";
    const auto index = ReadTypeIndex(row.type);
    if (!index)
        return "not read; sentence not interpreted";
    if (!ReadsSentence(talkers_, row.talker, row.type))
        return ReadsSentence(Talkers::AllSystems, row.talker, row.type) ? "not read; tick All GNSS and Start again"
                                                                        : "not read; talker not interpreted";
    if (row.badChecksums == row.count)
        return "not read; every checksum bad (" + std::string(kUses[*index]) + ")";
    return std::string(kUses[*index]);
}

std::vector<std::string> SentenceStats::Missing() const
{
    std::vector<std::string> missing;
    for (std::size_t i = 0; i < kReadTypes.size(); ++i) {
        if (!readSeen_[i])
            missing.push_back("no " + std::string(kReadTypes[i]) + ": " + std::string(kUses[i]) + " empty");
    }
    return missing;
}

} // namespace fixwatch
