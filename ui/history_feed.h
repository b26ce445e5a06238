#pragma once

#include "epochs.h"
#include "history_view.h"
#include "receiver_session.h"

#include <functional>
#include <memory>

namespace fixwatch {

// Feeds the epoch model behind the History and Accuracy tabs with each new line once, as the
// session first hands it on. It reads the talkers the session reads (GP only, or every
// system with All GNSS) and the satellites of the session's own sky.
class HistoryFeed : public LineConsumer {
public:
    explicit HistoryFeed(ReceiverSession& session) : session_(session) { Reset(); }

    void LineArrived(std::string_view line, const LineFacts& facts) override
    {
        if (facts.badChecksum)
            return;
        if (session_.ReadTalkers() != talkers_)
            Reset();
        if (model_->Feed(line) && onEpoch)
            onEpoch();
        if (onFix)
            if (const auto fix = ReadGgaFix(line, talkers_))
                onFix(*fix, EpochSeconds(model_->Open())); // the GGA's epoch, with its date
    }

    // Forgets every epoch: on Clear, on Start, and when a replay jumps.
    void Reset()
    {
        talkers_ = session_.ReadTalkers();
        model_ = std::make_unique<EpochModel>(talkers_, EpochHistory::kDefaultCapacity, &session_.SkyModel());
        if (onReset)
            onReset();
        if (onEpoch)
            onEpoch();
    }

    const EpochHistory& History() const { return model_->History(); }
    Talkers ReadTalkers() const { return talkers_; }
    // Told after each closed epoch and after a Reset.
    std::function<void()> onEpoch;
    // Told after a Reset, before onEpoch.
    std::function<void()> onReset;
    // Told of each GGA with a fix, as the accuracy figures count them, with the UTC time of
    // its epoch in seconds when known.
    std::function<void(const GgaFix&, std::optional<double> seconds)> onFix;

private:
    ReceiverSession& session_;
    Talkers talkers_ = Talkers::GpsOnly;
    std::unique_ptr<EpochModel> model_;
};

} // namespace fixwatch
