// The History tab: the epoch feed on the session and its charts.
#include "main_form.h"

#include "history_feed.h"
#include "history_view.h"
#include "sky_plot.h"
#include "sky_view.h"

#include <QCheckBox>
#include <QTabWidget>

namespace fixwatch {

void MainForm::BuildHistory()
{
    historyFeed_ = std::make_unique<HistoryFeed>(session_, this);
    Frm_History = new HistoryView([this]() -> const EpochHistory& { return historyFeed_->History(); });
    connect(historyFeed_.get(), &HistoryFeed::EpochsChanged, Frm_History, [this] {
        Frm_History->SetAllSystems(historyFeed_->ReadTalkers() == Talkers::AllSystems);
        Frm_History->EpochsChanged();
    });
    Frm_History->SetSignals([this]() -> const SignalHistory& { return historyFeed_->Signals(); });
    // A satellite clicked on the Sky tab comes on the C/N0 chart, and goes at the next click.
    connect(Frm_Sky, &SkyView::SatelliteClicked, Frm_History, [this](SatelliteKey key) {
        Frm_History->ToggleSatellite(key.system, key.number, SkyLabel(key));
    });
    session_.AddConsumer(historyFeed_.get());
    SSTab->insertTab(kHistoryTab, Frm_History, QStringLiteral("History"));
}

void MainForm::ResetHistory()
{
    if (historyFeed_)
        historyFeed_->Reset();
}

} // namespace fixwatch
