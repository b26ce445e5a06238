#pragma once

#include "epoch_pairing.h"
#include "receiver_comparison.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace fixwatch {

// Receiver B measured against receiver A while both run: what the Compare tab shows, fed with
// the pairs that EpochPairing decides. Everything it keeps is bounded, however long it runs:
// the figures since Clear are running sums, and the series hold the last kSeriesMs of epochs
// (at most kMaxSeries of them).
class LiveComparison {
public:
    static constexpr std::int64_t kSeriesMs = 3'600'000; // an hour of the series
    static constexpr std::size_t kMaxSeries = 36'000;    // an hour at 10 Hz
    static constexpr std::int64_t kRecentMs = 60'000;    // "the last minute" of C/N0
    static constexpr std::size_t kMaxRecent = 6'000;     // a minute at EpochPairing's grain
    static constexpr std::int64_t kSilentMs = 3'000;     // longer without an epoch: a gap
    static constexpr std::size_t kBands = std::size(kAllSignalBands);

    // One signal both receivers tracked at the latest shared epoch.
    struct SignalRow {
        GnssSystem system = GnssSystem::GPS;
        int number = 0; // within its system
        SignalBand band = SignalBand::L1;
        int a = 0, b = 0; // C/N0, dB-Hz
        int Difference() const { return b - a; }
    };
    // One band's B - A, dB.
    struct BandSummary {
        SignalBand band = SignalBand::L1;
        std::optional<double> lastMinute; // over the shared epochs of the last minute
        std::size_t lastMinuteCount = 0;
        std::optional<double> sinceStart; // since Clear
        std::size_t sinceStartCount = 0;
    };
    // B's offset from A at one shared epoch with a fix in both, metres.
    struct Offset {
        std::int64_t utcMs = 0;
        double east = 0, north = 0;
        std::optional<double> up; // when both sent a height
    };
    // A stretch of epochs of one receiver with the same fix quality (0: no fix).
    struct QualitySpan {
        std::int64_t fromMs = 0, toMs = 0;
        int quality = 0;
    };
    struct Availability {
        std::optional<double> timeToFirstFix; // seconds after Start
        std::optional<int> satellitesUsed;    // at its latest epoch
        std::optional<int> satellitesInView;
        std::size_t fixOnly = 0; // epochs with a fix where the other had none or sent nothing
        std::deque<QualitySpan> quality;
    };

    // Forgets everything: a Start.
    void Clear();
    // One decided epoch at `utcMs`: both receivers' when they share the time, else the one
    // that came, the other null.
    void Add(const ReceiverEpoch* a, const ReceiverEpoch* b, std::int64_t utcMs);
    // A receiver's first fix since the last Clear, this many seconds after Start as the
    // window's clock counts them.
    void FirstFix(EpochPairing::Receiver receiver, double secondsAfterStart);

    // Whether the two receivers have sent an epoch of the same time since Clear.
    bool AnyShared() const { return anyShared_; }
    // The time of the latest epoch they shared, which the signals are of.
    std::optional<std::int64_t> LatestSharedMs() const { return latestSharedMs_; }
    // The time of the latest epoch added, either receiver's.
    std::optional<std::int64_t> LatestMs() const { return latestMs_; }

    // Signals: those both tracked at the latest shared epoch, sorted by system, number and band.
    const std::vector<SignalRow>& Signals() const { return signals_; }
    // The satellites and bands only one receiver tracked at the latest shared epoch.
    const std::vector<BandCn0>& OnlyTracked(EpochPairing::Receiver receiver) const { return only_[receiver]; }
    // "only A: G12 L5, E7 L5"; empty when that receiver tracked nothing the other did not.
    // Past `most` entries the rest are counted ("and 12 more"), so that a receiver listing
    // hundreds of satellites cannot make the text endless.
    static constexpr std::size_t kMostListed = 40;
    std::string OnlyText(EpochPairing::Receiver receiver, std::size_t most = kMostListed) const;
    // Per band that had a signal compared since Clear, in band order.
    std::vector<BandSummary> BandSummaries() const;

    // Position: the mean offset, its RMS and the counts since Clear, as fixwatch-events
    // --compare gives them.
    ReceiverComparison::Result Totals() const { return totals_->Figures(); }
    // The offsets of the series on the plane at A's mean position since Clear, oldest first;
    // thinned evenly to at most `maxPoints` (the newest always kept).
    std::vector<Offset> Offsets(std::size_t maxPoints = kMaxSeries) const;

    // Availability of each receiver.
    const Availability& AvailabilityOf(EpochPairing::Receiver receiver) const { return availability_[receiver]; }

    // How many entries the series hold now (for tests of their bounds).
    std::size_t SeriesSize() const;

private:
    struct StoredOffset {
        std::int64_t utcMs = 0;
        ReceiverComparison::EarthOffset offset;
    };
    struct RecentEpoch {
        std::int64_t utcMs = 0;
        std::array<std::int64_t, kBands> sums{}; // of B - A, dB
        std::array<std::size_t, kBands> counts{};
    };
    void TakeTime(std::int64_t utcMs);
    void TakeSignals(const ReceiverEpoch& a, const ReceiverEpoch& b, std::int64_t utcMs);
    void TakeReceiver(EpochPairing::Receiver receiver, const ReceiverEpoch& epoch, std::int64_t utcMs);
    void DropOld();

    bool anyShared_ = false;
    std::optional<std::int64_t> latestSharedMs_;
    std::optional<std::int64_t> latestMs_;
    std::optional<ReceiverComparison> totals_{std::in_place}; // not assignable: emplaced anew
    std::vector<SignalRow> signals_;
    std::array<std::vector<BandCn0>, 2> only_;
    std::deque<RecentEpoch> recent_;
    std::array<std::int64_t, kBands> recentSums_{};
    std::array<std::size_t, kBands> recentCounts_{};
    std::deque<StoredOffset> offsets_;
    std::array<Availability, 2> availability_;
};

} // namespace fixwatch
