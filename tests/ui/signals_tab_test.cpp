// The Signals tab on the window, fed a real multi-band capture through a pseudo-terminal: it
// comes after Sky and builds its bars only while shown. What the bars say is pinned by
// display.SignalsView.
#include "capture_receiver.h"
#include "signals_view.h"
#include "window_controls.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

TEST(SignalsTab, ComesAfterSkyAndBuildsTheReceivedSatellitesBarsOnlyWhenShown)
{
    FIXWATCH_NEED_CAPTURES("ublox-zed-f9p-nmea.nmea");
    PtyWindow w("/G+");
    MainForm& form = w.form;
    form.show();
    ASSERT_EQ(Tabs(form).tabText(MainForm::kSignalsTab - 1) + "|" + Tabs(form).tabText(MainForm::kSignalsTab),
              "Sky|Signals");
    const SignalsView& view = *Control<SignalsView>(form, "Frm_Signals");
    w.Receive(RealCapture("ublox-zed-f9p-nmea.nmea", 100000));
    QApplication::processEvents();
    EXPECT_TRUE(view.Groups().empty()) << "hidden, the bars were never built";

    ShowTab(form, MainForm::kSignalsTab);
    EXPECT_EQ(view.Bands(), (std::vector{SignalBand::L1, SignalBand::L2, SignalBand::E5b, SignalBand::Other}));
    EXPECT_EQ(view.Groups().size(), 41u) << "one group per satellite in view, as the session's sky has them";
}

} // namespace
} // namespace fixwatch
