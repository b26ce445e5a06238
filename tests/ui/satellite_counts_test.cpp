// "In view", "In use" and the channel states with every satellite system read, on real
// multi-system receivers that say how many satellites they use in several ways at once.
#include "capture_receiver.h"
#include "fix_fields.h"
#include "window_controls.h"

#include <QAbstractItemModel>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace fixwatch {
namespace {

struct CountsCase {
    const char* legend;
    const char* capture;
    int lines;
    const char* inUse; // what "In use" must say
    bool gsvAndGsa;    // the receiver sends GSV and GSA, so the sky knows what is used
};

class SatelliteCounts : public testing::TestWithParam<CountsCase> {};

// How many satellites the Sky tab's table says are used in the fix.
int UsedOnTheSkyTab(const MainForm& form)
{
    const QAbstractItemModel& table = *test::Control<QTableView>(form, "Grd_Sky")->model();
    int usedColumn = -1;
    for (int column = 0; column < table.columnCount(); ++column)
        if (table.headerData(column, Qt::Horizontal).toString() == "Used")
            usedColumn = column;
    int used = 0;
    for (int row = 0; row < table.rowCount(); ++row)
        used += table.index(row, usedColumn).data().toString() == "Yes" ? 1 : 0;
    return used;
}

TEST_P(SatelliteCounts, InUseIsTheSolutionsCountAndNeverExceedsInView)
{
    const CountsCase c = GetParam();
    SCOPED_TRACE(c.legend);
    FIXWATCH_NEED_CAPTURES(c.capture);
    test::PtyWindow w("/G+");
    const MainForm& form = w.form;
    w.Receive(test::RealCapture(c.capture, c.lines));
    const auto channelsSaying = [&](const char* word) {
        int channels = 0;
        for (std::size_t channel = 0; channel < 12; ++channel)
            channels += test::Control<QLabel>(form, "Lab_PosizioneInfo3b", channel)->text() == word ? 1 : 0;
        return channels;
    };

    const QString inView = test::Control<QLabel>(form, "Lab_PosizioneInfo", kSatellitesInView)->text();
    const QString inUse = test::Control<QLabel>(form, "Lab_PosizioneInfo", kSatellitesUsed)->text();
    EXPECT_EQ(inUse.toStdString(), c.inUse);
    if (c.gsvAndGsa) {
        EXPECT_EQ(inUse.toInt(), UsedOnTheSkyTab(form)) << "the sky's used satellites";
        EXPECT_LE(inUse.toInt(), inView.toInt());
        EXPECT_GT(channelsSaying("In use"), 0);
    } else {
        // Nothing received says what is in view or which channels are used.
        EXPECT_EQ(inView, QString());
        EXPECT_EQ(channelsSaying(""), 12);
    }
}

INSTANTIATE_TEST_SUITE_P(
    RealReceivers, SatelliteCounts,
    testing::Values(
        CountsCase{"GPGGA 05, GAGGA 01, GNGNS 14", "telit-pls83-w.nmea", 120, "14", true},
        CountsCase{"GPGGA 08, GLGGA 02, GNGSA lists more", "sirfstarv-nmea.nmea", 120, "17", true},
        CountsCase{"GGA's 22 used against 16 in view", "quectelLC79D.nmea", 200, "12", true},
        CountsCase{"GGA capped at 12, GSA marks more", "ublox-zed-f9p-nmea.nmea", 300, "19", true},
        CountsCase{"GNGGA 10 then GPGGA 09, no GSV or GSA", "nmea-rtk.nmea", 120, "9", false}),
    [](const testing::TestParamInfo<CountsCase>& row) {
        std::string name(row.param.capture, std::strchr(row.param.capture, '.'));
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

} // namespace
} // namespace fixwatch
