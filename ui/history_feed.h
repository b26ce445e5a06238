#pragma once

#include "epochs.h"
#include "history_view.h"
#include "receiver_session.h"
#include "signal_history.h"

#include <QObject>

#include <memory>
#include <optional>

namespace fixwatch {

// Feeds the epoch model behind the History and Accuracy tabs with each new line once, as the
// session first hands it on. It reads the talkers the session reads (GP only, or every
// system with All GNSS) and the satellites of the session's own sky. Each tab that reads it
// connects to its signals on its own, so the tabs can be built in any order.
class HistoryFeed : public QObject, public LineConsumer {
    Q_OBJECT

public:
    explicit HistoryFeed(ReceiverSession& session, QObject* parent = nullptr) : QObject(parent), session_(session)
    {
        setObjectName(QStringLiteral("HistoryFeed"));
        Reset();
    }

    void LineArrived(std::string_view, const LineFacts& facts) override
    {
        if (facts.badChecksum)
            return;
        if (session_.ReadTalkers() != talkers_)
            Reset();
        if (model_->Feed(facts.sentence)) {
            KeepSignals();
            emit EpochClosed(model_->History().Newest());
            emit EpochsChanged();
        }
        emit EpochOpen(model_->Open());
        if (const auto fix = ReadGgaFix(facts.sentence, talkers_))
            emit FixArrived(*fix, EpochSeconds(model_->Open())); // the GGA's epoch, with its date
    }

    // Forgets every epoch: on Clear, on Start, and when a replay jumps.
    void Reset()
    {
        talkers_ = session_.ReadTalkers();
        model_ = std::make_unique<EpochModel>(talkers_, EpochHistory::kDefaultCapacity, &session_.SkyModel());
        signals_.Clear();
        emit Forgotten();
        emit EpochsChanged();
    }

    const EpochHistory& History() const { return model_->History(); }
    // Each satellite's signal at each closed epoch.
    const SignalHistory& Signals() const { return signals_; }
    Talkers ReadTalkers() const { return talkers_; }
signals:
    // After each closed epoch and after a Reset.
    void EpochsChanged();
    // Each epoch as it closes, before EpochsChanged.
    void EpochClosed(const fixwatch::Epoch& epoch);
    // After each line, with the epoch it left open.
    void EpochOpen(const fixwatch::Epoch& open);
    // After a Reset, before EpochsChanged.
    void Forgotten();
    // Each GGA with a fix, as the accuracy figures count them, with the UTC time of its epoch
    // in seconds when known.
    void FixArrived(const fixwatch::GgaFix& fix, std::optional<double> seconds);

private:
    // The signals of the sky as the epoch closed, at the epoch's time.
    void KeepSignals()
    {
        const auto at = EpochSeconds(model_->History().Newest());
        if (!at)
            return;
        // With every system read, each band of a satellite on its own.
        signals_.AddEpoch(*at, session_.SkyModel().Satellites(), talkers_ == Talkers::AllSystems);
    }

    ReceiverSession& session_;
    SignalHistory signals_;
    Talkers talkers_ = Talkers::GpsOnly;
    std::unique_ptr<EpochModel> model_;
};

} // namespace fixwatch
