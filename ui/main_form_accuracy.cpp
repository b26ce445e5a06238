// The Accuracy tab: the fixes of the History tab's feed, kept and shown as a scatter with
// its figures.
#include "main_form.h"

#include "accuracy_samples.h"
#include "accuracy_view.h"
#include "history_feed.h"

#include <QTabWidget>

namespace fixwatch {

void MainForm::BuildAccuracy()
{
    accuracySamples_ = std::make_unique<AccuracySamples>();
    Frm_Accuracy = new AccuracyView([this]() -> const AccuracySamples& { return *accuracySamples_; });
    historyFeed_->onFix = [this](const GgaFix& fix, std::optional<double> seconds) {
        accuracySamples_->AddFix(fix, seconds);
        Frm_Accuracy->SamplesChanged();
    };
    historyFeed_->onReset = [this] {
        accuracySamples_->Clear();
        Frm_Accuracy->SamplesChanged();
    };
    // The epochs bring the receiver's own estimates (GST); the History tab keeps its handler.
    auto historyEpoch = historyFeed_->onEpoch;
    historyFeed_->onEpoch = [this, historyEpoch] {
        if (historyEpoch)
            historyEpoch();
        const EpochHistory& epochs = historyFeed_->History();
        if (epochs.Size()) {
            accuracySamples_->AddEpoch(epochs.Newest(), EpochSeconds(epochs.Newest()));
            Frm_Accuracy->SamplesChanged();
        }
    };
    // The open epoch's GST counts at once, so the figures hold the newest estimate too.
    historyFeed_->onOpenEpoch = [this](const Epoch& open) {
        if (!open.sigmaLatitude && !open.sigmaLongitude && !open.sigmaAltitude)
            return;
        accuracySamples_->SetOpenEpoch(open, EpochSeconds(open));
        Frm_Accuracy->SamplesChanged();
    };
    SSTab->insertTab(kAccuracyTab, Frm_Accuracy, QStringLiteral("Accuracy"));
}

} // namespace fixwatch
