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
    HistoryFeed* feed = historyFeed_.get();
    connect(feed, &HistoryFeed::FixArrived, Frm_Accuracy, [this](const GgaFix& fix, std::optional<double> seconds) {
        accuracySamples_->AddFix(fix, seconds);
        Frm_Accuracy->SamplesChanged();
    });
    connect(feed, &HistoryFeed::Forgotten, Frm_Accuracy, [this] {
        accuracySamples_->Clear();
        Frm_Accuracy->SamplesChanged();
    });
    // The epochs bring the receiver's own estimates (GST).
    connect(feed, &HistoryFeed::EpochClosed, Frm_Accuracy, [this](const Epoch& closed) {
        accuracySamples_->AddEpoch(closed, EpochSeconds(closed));
        Frm_Accuracy->SamplesChanged();
    });
    // The open epoch's GST counts at once, so the figures hold the newest estimate too.
    connect(feed, &HistoryFeed::EpochOpen, Frm_Accuracy, [this](const Epoch& open) {
        if (!open.sigmaLatitude && !open.sigmaLongitude && !open.sigmaAltitude)
            return;
        accuracySamples_->SetOpenEpoch(open, EpochSeconds(open));
        Frm_Accuracy->SamplesChanged();
    });
    SSTab->insertTab(kAccuracyTab, Frm_Accuracy, QStringLiteral("Accuracy"));
}

} // namespace fixwatch
