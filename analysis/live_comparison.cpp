#include "live_comparison.h"

#include <algorithm>

namespace fixwatch {

namespace {

// A time this much earlier than the latest is the clock starting again (a new day without a
// date, a receiver restarted), not a late epoch: the series begin again from it.
constexpr std::int64_t kRestartMs = 60'000;

} // namespace

void LiveComparison::Clear()
{
    anyShared_ = false;
    latestSharedMs_.reset();
    latestMs_.reset();
    totals_.emplace();
    signals_.clear();
    for (auto& only : only_)
        only.clear();
    recent_.clear();
    recentSums_ = {};
    recentCounts_ = {};
    offsets_.clear();
    availability_ = {};
}

void LiveComparison::Add(const ReceiverEpoch* a, const ReceiverEpoch* b, std::int64_t utcMs)
{
    if (!a && !b)
        return;
    TakeTime(utcMs);
    if (a)
        TakeReceiver(EpochPairing::A, *a, utcMs);
    if (b)
        TakeReceiver(EpochPairing::B, *b, utcMs);
    if (a && b) {
        anyShared_ = true;
        latestSharedMs_ = utcMs;
        if (const auto offset = totals_->AddShared(*a, *b))
            offsets_.push_back({utcMs, *offset});
        TakeSignals(*a, *b, utcMs);
        if (a->fix != b->fix)
            ++availability_[a->fix ? EpochPairing::A : EpochPairing::B].fixOnly;
    } else if (a && a->fix) {
        totals_->AddFixOnlyA();
        ++availability_[EpochPairing::A].fixOnly;
    } else if (b && b->fix) {
        totals_->AddFixOnlyB();
        ++availability_[EpochPairing::B].fixOnly;
    }
    DropOld();
}

void LiveComparison::FirstFix(EpochPairing::Receiver receiver, double secondsAfterStart)
{
    std::optional<double>& first = availability_[receiver].timeToFirstFix;
    if (!first)
        first = secondsAfterStart;
}

void LiveComparison::TakeTime(std::int64_t utcMs)
{
    if (latestMs_ && utcMs < *latestMs_ - kRestartMs) {
        recent_.clear();
        recentSums_ = {};
        recentCounts_ = {};
        offsets_.clear();
        for (Availability& availability : availability_)
            availability.quality.clear();
        latestMs_ = utcMs;
        return;
    }
    latestMs_ = std::max(latestMs_.value_or(utcMs), utcMs);
}

void LiveComparison::TakeReceiver(EpochPairing::Receiver receiver, const ReceiverEpoch& epoch, std::int64_t utcMs)
{
    Availability& availability = availability_[receiver];
    availability.satellitesUsed = epoch.satellitesUsed;
    availability.satellitesInView = epoch.satellitesInView;
    const int quality = epoch.fix ? epoch.quality.value_or(1) : 0;
    std::deque<QualitySpan>& spans = availability.quality;
    // A silent stretch ends a span, so that the series shows it rather than bridging it.
    if (!spans.empty() && spans.back().quality == quality && utcMs - spans.back().toMs <= kSilentMs) {
        spans.back().toMs = std::max(spans.back().toMs, utcMs);
        return;
    }
    const std::int64_t from = spans.empty() ? utcMs : std::max(utcMs, spans.back().toMs);
    spans.push_back({from, from, quality});
}

void LiveComparison::TakeSignals(const ReceiverEpoch& a, const ReceiverEpoch& b, std::int64_t utcMs)
{
    signals_.clear();
    only_[EpochPairing::A].clear();
    only_[EpochPairing::B].clear();
    RecentEpoch recent;
    recent.utcMs = utcMs;
    // Both lists are sorted: walk them side by side.
    auto ia = a.tracked.begin();
    auto ib = b.tracked.begin();
    while (ia != a.tracked.end() || ib != b.tracked.end()) {
        if (ib == b.tracked.end() || (ia != a.tracked.end() && *ia < *ib)) {
            only_[EpochPairing::A].push_back(*ia++);
        } else if (ia == a.tracked.end() || *ib < *ia) {
            only_[EpochPairing::B].push_back(*ib++);
        } else {
            signals_.push_back({ia->system, ia->number, ia->band, ia->cn0, ib->cn0});
            const auto band = static_cast<std::size_t>(ia->band);
            recent.sums[band] += ib->cn0 - ia->cn0;
            ++recent.counts[band];
            ++ia;
            ++ib;
        }
    }
    for (std::size_t band = 0; band < kBands; ++band) {
        recentSums_[band] += recent.sums[band];
        recentCounts_[band] += recent.counts[band];
    }
    recent_.push_back(recent);
}

void LiveComparison::DropOld()
{
    if (!latestMs_)
        return;
    while (!recent_.empty() && (recent_.front().utcMs <= *latestMs_ - kRecentMs || recent_.size() > kMaxRecent)) {
        for (std::size_t band = 0; band < kBands; ++band) {
            recentSums_[band] -= recent_.front().sums[band];
            recentCounts_[band] -= recent_.front().counts[band];
        }
        recent_.pop_front();
    }
    while (!offsets_.empty() && (offsets_.front().utcMs < *latestMs_ - kSeriesMs || offsets_.size() > kMaxSeries))
        offsets_.pop_front();
    for (Availability& availability : availability_) {
        std::deque<QualitySpan>& spans = availability.quality;
        while (!spans.empty() && (spans.front().toMs < *latestMs_ - kSeriesMs || spans.size() > kMaxSeries))
            spans.pop_front();
    }
}

std::string LiveComparison::OnlyText(EpochPairing::Receiver receiver, std::size_t most) const
{
    const std::vector<BandCn0>& only = only_[receiver];
    if (only.empty())
        return {};
    std::string text = receiver == EpochPairing::A ? "only A: " : "only B: ";
    for (std::size_t i = 0; i < only.size(); ++i) {
        if (i == most) {
            text += " and " + std::to_string(only.size() - most) + " more";
            break;
        }
        if (i > 0)
            text += ", ";
        text += SystemLetter(only[i].system);
        text += std::to_string(only[i].number);
        text += ' ';
        text += BandName(only[i].band);
    }
    return text;
}

std::vector<LiveComparison::BandSummary> LiveComparison::BandSummaries() const
{
    // Since Start, the figures are those of fixwatch-events --compare over the same epochs.
    const ReceiverComparison::Result totals = totals_->Figures();
    std::vector<BandSummary> summaries;
    for (std::size_t band = 0; band < kBands; ++band) {
        const ReceiverComparison::Difference& since = totals.cn0ByBand[band];
        if (since.count == 0)
            continue;
        BandSummary summary;
        summary.band = kAllSignalBands[band];
        summary.sinceStartCount = since.count;
        summary.sinceStart = since.mean;
        summary.lastMinuteCount = recentCounts_[band];
        if (recentCounts_[band] > 0)
            summary.lastMinute = static_cast<double>(recentSums_[band]) / static_cast<double>(recentCounts_[band]);
        summaries.push_back(summary);
    }
    return summaries;
}

std::vector<LiveComparison::Offset> LiveComparison::Offsets(std::size_t maxPoints) const
{
    std::vector<Offset> out;
    const std::optional<ReceiverComparison::PlaneRotation> plane = totals_->Plane();
    if (offsets_.empty() || !plane || maxPoints == 0)
        return out;
    const std::size_t stride = (offsets_.size() + maxPoints - 1) / maxPoints;
    out.reserve(offsets_.size() / stride + 1);
    // Counted back from the newest, so that it is always drawn.
    for (std::size_t back = 0; back < offsets_.size(); back += stride) {
        const StoredOffset& stored = offsets_[offsets_.size() - 1 - back];
        Offset offset;
        offset.utcMs = stored.utcMs;
        offset.east = plane->Along(0, stored.offset.earth);
        offset.north = plane->Along(1, stored.offset.earth);
        if (stored.offset.up)
            offset.up = plane->Along(2, stored.offset.earth);
        out.push_back(offset);
    }
    std::reverse(out.begin(), out.end());
    return out;
}

std::size_t LiveComparison::SeriesSize() const
{
    return recent_.size() + offsets_.size() + availability_[0].quality.size() + availability_[1].quality.size();
}

} // namespace fixwatch
