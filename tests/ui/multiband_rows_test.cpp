// What multi-band, dual-antenna and RTK receivers send beyond the fix texts, in the window:
// only while All GNSS is ticked for the running acquisition.
#include "capture_receiver.h"

#include <QGroupBox>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

// A dual-antenna RTK receiver: GGA quality 5, HDT and THS, a geoid separation.
constexpr const char* kDualAntenna = "skytraq-PX1172RH_DS.nmea";

QLabel* Label(const MainForm& form, const char* name) { return Control<QLabel>(form, QString::fromLatin1(name)); }
QString DgpsCaption(const MainForm& form, GeneralInfoCaption caption)
{
    return Control<QLabel>(form, "Lab_PosizioneInfo2", caption)->text();
}

TEST(MultibandRows, ShownOnlyWithAllGnssForTheRunningAcquisition)
{
    FIXWATCH_NEED_CAPTURES(kDualAntenna);
    const std::string capture = RealCapture(kDualAntenna, 200);
    for (const bool allGnss : {false, true}) {
        SCOPED_TRACE(allGnss ? "All GNSS" : "default");
        PtyWindow w(allGnss ? "/G+" : "");
        MainForm& form = w.form;
        w.Receive(capture);
        ASSERT_FALSE(FixLabel(form, kAltitude)->text().isEmpty()) << "the specified GGA reading";
        for (const char* name : {"Lab_EllipsoidHeight1", "Lab_EllipsoidHeight", "Lab_EllipsoidHeightUM",
                                 "Lab_TrueHeading1", "Lab_TrueHeading"})
            EXPECT_EQ(!Label(form, name)->isHidden(), allGnss) << name;
        EXPECT_EQ(!Control<QGroupBox>(form, "Frm_GBS")->isHidden(), allGnss);
        if (allGnss) {
            EXPECT_EQ(Label(form, "Lab_EllipsoidHeight")->text(), "1107.33") << "1127.630 - 20.300";
            EXPECT_EQ(Label(form, "Lab_TrueHeading")->text(), "244.67");
            EXPECT_EQ(DgpsCaption(form, kDgpsAgeCaption), "Correction age:") << "GGA quality 5";
            EXPECT_EQ(DgpsCaption(form, kDgpsStationCaption), "Base station:");
            Trigger(form, "MenuUnit(1)"); // Imperial
            EXPECT_EQ(Label(form, "Lab_EllipsoidHeightUM")->text(), "[ft]");
            Trigger(form, "MenuUnit(0)");
        } else {
            EXPECT_EQ(DgpsCaption(form, kDgpsAgeCaption), "Age:");
        }
        // Clear empties them and gives the captions back; the next epoch fills them again.
        Trigger(form, "MenuVuotaCampi");
        EXPECT_EQ(Label(form, "Lab_TrueHeading")->text(), "");
        EXPECT_EQ(DgpsCaption(form, kDgpsAgeCaption), "Age:");
    }
}

TEST(MultibandRows, TheOptionClearedAtTheNextStartHidesThemAgain)
{
    FIXWATCH_NEED_CAPTURES(kDualAntenna);
    PtyWindow w("/G+");
    MainForm& form = w.form;
    w.Receive(RealCapture(kDualAntenna, 200));
    ASSERT_EQ(DgpsCaption(form, kDgpsAgeCaption), "Correction age:");
    // Ticking the box off while running changes nothing until the next Start.
    Control<QCheckBox>(form, "Chk_GNSS")->click();
    EXPECT_FALSE(Label(form, "Lab_TrueHeading")->isHidden());
    Stop(form);
    EXPECT_EQ(Label(form, "Lab_TrueHeading")->text(), "244.67") << "Stop keeps what was shown";
    ASSERT_TRUE(Start(form));
    w.Send(RealCapture(kDualAntenna, 200));
    EXPECT_TRUE(Label(form, "Lab_TrueHeading")->isHidden());
    EXPECT_EQ(Label(form, "Lab_TrueHeading")->text(), "");
    EXPECT_EQ(DgpsCaption(form, kDgpsAgeCaption), "Age:");
}

} // namespace
} // namespace fixwatch
