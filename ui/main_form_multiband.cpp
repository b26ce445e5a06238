// What multi-band, dual-antenna and RTK receivers send beyond the fix texts, from the epochs
// of the History tab's feed, shown while every satellite system is read.
#include "main_form.h"

#include "history_feed.h"
#include "multiband_rows.h"

#include <QLabel>

namespace fixwatch {

void MainForm::BuildMultibandRows()
{
    MultibandWidgets widgets;
    widgets.ellipsoidHeightCaption = Lab_EllipsoidHeight1;
    widgets.ellipsoidHeight = Lab_EllipsoidHeight;
    widgets.ellipsoidHeightUnit = Lab_EllipsoidHeightUM;
    widgets.trueHeadingCaption = Lab_TrueHeading1;
    widgets.trueHeading = Lab_TrueHeading;
    widgets.gbsFrame = Frm_GBS;
    widgets.gbsCaptions = Lab_GBS1;
    widgets.gbs = Lab_GBS;
    widgets.gbsUnits = Lab_GBSUM;
    widgets.dgpsAgeCaption = Lab_PosizioneInfo2[kDgpsAgeCaption];
    widgets.dgpsStationCaption = Lab_PosizioneInfo2[kDgpsStationCaption];
    multiband_ = std::make_unique<MultibandRows>(widgets);

    // Shown from Start to the next Start with All GNSS; emptied on Clear, on Start and when a
    // replay moves, as the epochs behind them are forgotten.
    const auto follow = [this] { multiband_->SetShown(session_.ReadTalkers() == Talkers::AllSystems); };
    followers_.push_back(follow);
    connect(historyFeed_.get(), &HistoryFeed::Forgotten, this, [this] { multiband_->Clear(); });
    connect(historyFeed_.get(), &HistoryFeed::EpochOpen, this,
            [this](const Epoch& open) { multiband_->ShowEpoch(open); });
}

} // namespace fixwatch
