// "In view", "In use" and the channel states with every satellite system read, on real
// receivers. How the session works the count out of a receiver that says it in several ways at
// once, and that it agrees with the sky's used satellites, is pinned on five receivers by
// acquisition.ReceiverSessionCapture, and which twelve satellites the columns show by
// display.FixDisplaySky; here the window shows that count and its Sky tab every satellite,
// and says nothing of what no sentence told.
#include "capture_receiver.h"

#include <QAbstractItemModel>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

TEST(SatelliteCounts, InUseIsTheSessionsCountAndTheSkyTabListsEverySatelliteInView)
{
    const struct {
        const char* legend;
        const char* capture;
        int lines;
        const char* inUse;
        bool gsvAndGsa; // the receiver sends GSV and GSA, so the sky knows what is used
    } rows[] = {
        {"GGA capped at 12, GSA marks more", "ublox-zed-f9p-nmea.nmea", 300, "19", true},
        {"GNGGA 10 then GPGGA 09, no GSV or GSA", "nmea-rtk.nmea", 120, "9", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        FIXWATCH_NEED_CAPTURES(row.capture);
        PtyWindow w("/G+");
        w.Receive(RealCapture(row.capture, row.lines));
        const QString channels = Texts(Controls<QLabel>(w.form, "Lab_PosizioneInfo3b", kChannelCount));
        const QString inView = FixInfoLabel(w.form, kSatellitesInView)->text();
        const QString inUse = FixInfoLabel(w.form, kSatellitesUsed)->text();
        EXPECT_EQ(inUse.toStdString(), row.inUse);
        if (row.gsvAndGsa) {
            EXPECT_EQ(Control<QTableView>(w.form, "Grd_Sky")->model()->rowCount(), inView.toInt())
                << "the Sky tab lists every satellite of every system";
            EXPECT_TRUE(channels.contains("In use")) << channels.toStdString();
        } else {
            // Nothing received says what is in view or which channels are used.
            EXPECT_EQ(inView, QString());
            EXPECT_EQ(channels, QString(11, QLatin1Char('|')));
        }
    }
}

} // namespace
} // namespace fixwatch
