#pragma once

#include "epochs.h"
#include "history_view.h"
#include "receiver_session.h"
#include "signal_history.h"

#include <functional>
#include <memory>

namespace fixwatch {

// Feeds the epoch model behind the History and Accuracy tabs with each new line once, as the
// session first hands it on. It reads the talkers the session reads (GP only, or every
// system with All GNSS) and the satellites of the session's own sky.
class HistoryFeed : public LineConsumer {
public:
    explicit HistoryFeed(ReceiverSession& session) : session_(session) { Reset(); }

    void LineArrived(std::string_view, const LineFacts& facts) override
    {
        if (facts.badChecksum)
            return;
        if (session_.ReadTalkers() != talkers_)
            Reset();
        if (model_->Feed(facts.sentence)) {
            KeepSignals();
            if (onClosed)
                onClosed(model_->History().Newest());
            if (onEpoch)
                onEpoch();
        }
        if (onOpenEpoch)
            onOpenEpoch(model_->Open());
        if (onFix)
            if (const auto fix = ReadGgaFix(facts.sentence, talkers_))
                onFix(*fix, EpochSeconds(model_->Open())); // the GGA's epoch, with its date
    }

    // Forgets every epoch: on Clear, on Start, and when a replay jumps.
    void Reset()
    {
        talkers_ = session_.ReadTalkers();
        model_ = std::make_unique<EpochModel>(talkers_, EpochHistory::kDefaultCapacity, &session_.SkyModel());
        signals_.Clear();
        if (onReset)
            onReset();
        if (onEpoch)
            onEpoch();
    }

    const EpochHistory& History() const { return model_->History(); }
    // Each satellite's signal at each closed epoch.
    const SignalHistory& Signals() const { return signals_; }
    Talkers ReadTalkers() const { return talkers_; }
    // Told after each closed epoch and after a Reset.
    std::function<void()> onEpoch;
    // Told of each epoch as it closes, before onEpoch.
    std::function<void(const Epoch&)> onClosed;
    // Told after each line with the epoch it left open.
    std::function<void(const Epoch&)> onOpenEpoch;
    // Told after a Reset, before onEpoch.
    std::function<void()> onReset;
    // Told of each GGA with a fix, as the accuracy figures count them, with the UTC time of
    // its epoch in seconds when known.
    std::function<void(const GgaFix&, std::optional<double> seconds)> onFix;

private:
    // The signals of the sky as the epoch closed, at the epoch's time.
    void KeepSignals()
    {
        const auto at = EpochSeconds(model_->History().Newest());
        if (!at)
            return;
        for (const SkySatellite& satellite : session_.SkyModel().Satellites())
            if (satellite.signal)
                signals_.Add(*at, satellite.system, satellite.number, *satellite.signal);
    }

    ReceiverSession& session_;
    SignalHistory signals_;
    Talkers talkers_ = Talkers::GpsOnly;
    std::unique_ptr<EpochModel> model_;
};

} // namespace fixwatch
