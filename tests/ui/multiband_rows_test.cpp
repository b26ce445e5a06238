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

// The rows and the GBS frame as "1" shown or "0" hidden each.
QString Shown(const MainForm& form)
{
    QString shown;
    for (const char* name : {"Lab_EllipsoidHeight1", "Lab_EllipsoidHeight", "Lab_EllipsoidHeightUM",
                             "Lab_TrueHeading1", "Lab_TrueHeading"})
        shown += Label(form, name)->isHidden() ? '0' : '1';
    return shown + (Control<QGroupBox>(form, "Frm_GBS")->isHidden() ? '0' : '1');
}

TEST(MultibandRows, ShownWithAllGnssFromOneStartToTheNext)
{
    FIXWATCH_NEED_CAPTURES(kDualAntenna);
    const std::string capture = RealCapture(kDualAntenna, 200);
    PtyWindow w("/G+");
    MainForm& form = w.form;
    w.Receive(capture);
    EXPECT_EQ(Shown(form), "111111");
    EXPECT_EQ(Label(form, "Lab_EllipsoidHeight")->text(), "1107.33") << "1127.630 - 20.300";
    EXPECT_EQ(Label(form, "Lab_TrueHeading")->text(), "244.67");
    EXPECT_EQ(DgpsCaption(form, kDgpsAgeCaption), "Correction age:") << "GGA quality 5";
    EXPECT_EQ(DgpsCaption(form, kDgpsStationCaption), "Base station:");
    Trigger(form, "MenuUnit(1)"); // Imperial
    EXPECT_EQ(Label(form, "Lab_EllipsoidHeightUM")->text(), "[ft]");
    // Clear empties them and gives the captions back; the next epochs fill them again.
    Trigger(form, "MenuVuotaCampi");
    EXPECT_EQ(Label(form, "Lab_TrueHeading")->text(), "");
    EXPECT_EQ(DgpsCaption(form, kDgpsAgeCaption), "Age:");
    w.Send(capture);

    // Ticking the option off while running changes nothing until the next Start.
    Control<QCheckBox>(form, "Chk_GNSS")->click();
    Stop(form);
    EXPECT_EQ(Shown(form), "111111");
    EXPECT_EQ(Label(form, "Lab_TrueHeading")->text(), "244.67") << "Stop keeps what was shown";
    ASSERT_TRUE(Start(form));
    w.Send(capture);
    ASSERT_FALSE(FixLabel(form, kAltitude)->text().isEmpty()) << "the specified GGA reading";
    EXPECT_EQ(Shown(form), "000000");
    EXPECT_EQ(Label(form, "Lab_TrueHeading")->text(), "");
    EXPECT_EQ(DgpsCaption(form, kDgpsAgeCaption), "Age:");
}

} // namespace
} // namespace fixwatch
