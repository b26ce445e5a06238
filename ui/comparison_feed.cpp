#include "comparison_feed.h"

#include "live_comparison.h"
#include "receiver_epoch.h"

#include <utility>

namespace fixwatch {

// One receiver's lines as the comparison reads them: every talker, its own sky and epochs.
class ComparisonFeed::Side final : public LineConsumer {
public:
    Side(ComparisonFeed& feed, EpochPairing::Receiver receiver) : feed_(feed), receiver_(receiver) {}

    void LineArrived(std::string_view line, const LineFacts&) override
    {
        // The session may read GPS alone; the comparison reads the line again with every system.
        const SentenceView sentence(line, Talkers::AllSystems);
        if (!sentence.ChecksumMatches())
            return;
        sky_.Feed(sentence);
        if (epochs_.Feed(sentence))
            feed_.EpochClosed(receiver_, epochs_.History().Newest(), sky_);
    }

    void Clear()
    {
        sky_.Clear();
        epochs_.Reset();
        fixSeen = false;
    }

    bool fixSeen = false;

private:
    ComparisonFeed& feed_;
    EpochPairing::Receiver receiver_;
    Sky sky_{Talkers::AllSystems};
    EpochModel epochs_{Talkers::AllSystems, 1, &sky_};
};

ComparisonFeed::ComparisonFeed(LiveComparison& comparison, std::function<double()> secondsSinceStart)
    : comparison_(comparison),
      secondsSinceStart_(std::move(secondsSinceStart)),
      pairing_([this](const ReceiverEpoch* a, const ReceiverEpoch* b, std::int64_t utcMs) { Decided(a, b, utcMs); })
{
    sides_[EpochPairing::A] = std::make_unique<Side>(*this, EpochPairing::A);
    sides_[EpochPairing::B] = std::make_unique<Side>(*this, EpochPairing::B);
}

ComparisonFeed::~ComparisonFeed() = default;

LineConsumer& ComparisonFeed::Consumer(EpochPairing::Receiver receiver)
{
    return *sides_[receiver];
}

void ComparisonFeed::Clear()
{
    for (auto& side : sides_)
        side->Clear();
    pairing_.Clear();
    comparison_.Clear();
    if (changed)
        changed();
}

void ComparisonFeed::Finish()
{
    anythingDecided_ = false;
    pairing_.Finish();
    if (anythingDecided_ && changed)
        changed();
}

void ComparisonFeed::EpochClosed(EpochPairing::Receiver receiver, const Epoch& epoch, const Sky& sky)
{
    auto timed = ReceiverEpochOf(epoch, sky.Satellites());
    if (!timed)
        return;
    anythingDecided_ = false;
    Side& side = *sides_[receiver];
    if (timed->epoch.fix && !side.fixSeen) {
        side.fixSeen = true;
        const double seconds = secondsSinceStart_ ? secondsSinceStart_() : 0.0;
        comparison_.FirstFix(receiver, seconds);
        if (firstFix)
            firstFix(receiver, seconds);
        anythingDecided_ = true;
    }
    pairing_.Add(receiver, timed->utcMs, std::move(timed->epoch));
    if (anythingDecided_ && changed)
        changed();
}

void ComparisonFeed::Decided(const ReceiverEpoch* a, const ReceiverEpoch* b, std::int64_t utcMs)
{
    comparison_.Add(a, b, utcMs);
    if (decided)
        decided(a, b, utcMs);
    anythingDecided_ = true;
}

} // namespace fixwatch
