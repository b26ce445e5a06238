// The window with every satellite system read (All GNSS, /G+).
#include "capture_receiver.h"
#include "history_feed.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

// The words of RTK qualities and RMC's speed standing in for VTG's are pinned by
// nmea.FixQualityWords and display.FixDisplayHandlers; the window shows that the option
// reaches them.
TEST(AllGnss, AMultiSystemReceiverShowsItsFixAndRtkWordsOnlyWithTheOption)
{
    FIXWATCH_NEED_CAPTURES("ublox-neo-m9n-nmea.nmea");
    const std::string capture = RealCapture("ublox-neo-m9n-nmea.nmea", 120);
    for (const bool allGnss : {false, true}) {
        PtyWindow w(allGnss ? "/G+" : "");
        MainForm& form = w.form;
        w.Receive(capture);
        if (allGnss) {
            EXPECT_TRUE(FixLabel(form, kLatitude)->text().startsWith(QString::fromUtf8("038° 06.629")))
                << FixLabel(form, kLatitude)->text().toStdString();
            EXPECT_FALSE(FixLabel(form, kDate)->text().isEmpty());
            EXPECT_FALSE(FixLabel(form, kSpeedKmh)->text().isEmpty()) << "the GN VTG's speed";
            EXPECT_TRUE(StatusText(form, kLinkStatus).startsWith("Receiving \u00B7 "));
        } else {
            for (QLabel* label : Controls<QLabel>(form, "Lab_Posizione", kFixFieldCount))
                EXPECT_EQ(label->text(), "") << label->objectName().toStdString();
            EXPECT_TRUE(StatusText(form, kLinkStatus).startsWith("Receiving GN sentences that are not shown"));
        }
        // The History tab's epochs read the talkers the window shows: GN fixes only with the option.
        const EpochHistory& epochs = Control<HistoryFeed>(form, "HistoryFeed")->History();
        std::size_t positions = 0;
        for (std::size_t i = 0; i < epochs.Size(); ++i)
            positions += epochs[i].latitude.has_value();
        EXPECT_EQ(positions > 0, allGnss) << positions;
        // A GPS GGA of quality 5 and an RMC: without the option the quality is Invalid and
        // RMC's speed never shows.
        w.Send(Line("$GPGGA,123520,4807.038,N,01131.000,E,5,08,0.9,545.4,M,46.9,M,,")
               + Line("$GPRMC,123519,A,4807.038,N,01131.000,E,10.0,084.4,230394,003.1,W"));
        EXPECT_EQ(FixInfoLabel(form, kPositionFix)->text(), allGnss ? "RTK Float" : "Invalid");
        EXPECT_EQ(FixLabel(form, kSpeedKnots)->text().isEmpty(), !allGnss) << "VTG's speed, and never RMC's without it";
    }
}

} // namespace
} // namespace fixwatch
