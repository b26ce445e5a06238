// The window with every satellite system read (All GNSS, /G+).
#include "capture_receiver.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

TEST(AllGnss, AMultiSystemReceiverShowsItsFixOnlyWithTheOption)
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
    }
}

TEST(AllGnss, RtkQualitiesHaveTheirWordsAndRmcSpeedStandsInForVtgOnlyWithTheOption)
{
    const std::string text = Line("$GNGGA,123519,4807.038,N,01131.000,E,4,08,0.9,545.4,M,46.9,M,,")
                             + Line("$GPGGA,123520,4807.038,N,01131.000,E,5,08,0.9,545.4,M,46.9,M,,")
                             + Line("$GPRMC,123519,A,4807.038,N,01131.000,E,10.0,084.4,230394,003.1,W");
    for (const bool allGnss : {false, true}) {
        PtyWindow w(allGnss ? "/G+" : "");
        MainForm& form = w.form;
        w.Receive(text);
        // The fix quality, then the speed in knots and in km/h: 10.0 knots is 18.52 km/h, to one decimal.
        EXPECT_EQ(Texts({FixInfoLabel(form, kPositionFix), FixLabel(form, kSpeedKnots), FixLabel(form, kSpeedKmh)}),
                  QString(allGnss ? "RTK Float|10.0|18.5" : "Invalid||"));
        if (allGnss) {
            // Once a VTG has come, its speed wins over RMC's.
            w.Send(Line("$GNVTG,054.7,T,034.4,M,005.5,N,010.2,K")
                   + Line("$GNRMC,123519,A,4807.038,N,01131.000,E,10.0,084.4,230394,003.1,W"));
            EXPECT_EQ(Texts({FixLabel(form, kSpeedKnots), FixLabel(form, kSpeedKmh)}), "5.5|10.2");
        }
    }
}

} // namespace
} // namespace fixwatch
