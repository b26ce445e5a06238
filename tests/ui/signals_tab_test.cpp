// The Signals tab on the window, fed real multi-band captures through a pseudo-terminal and
// used as a person would: shown, filtered by system, a group of bars hovered.
#include "capture_receiver.h"
#include "signals_view.h"
#include "window_controls.h"

#include <QComboBox>
#include <QHelpEvent>
#include <QTabWidget>
#include <QToolTip>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

const SignalGroup* GroupNamed(const SignalsView& view, const QString& label)
{
    for (const SignalGroup& group : view.Groups())
        if (group.label == label)
            return &group;
    return nullptr;
}

// The bars of a group as "L1 33, L2 -", in the bands' order.
QString BarsOf(const SignalsView& view, const QString& label)
{
    const SignalGroup* group = GroupNamed(view, label);
    if (!group)
        return label + QStringLiteral(" not shown");
    QStringList bars;
    for (std::size_t b = 0; b < view.Bands().size(); ++b) {
        const std::string_view band = BandName(view.Bands()[b]);
        bars << QString::fromLatin1(band.data(), static_cast<qsizetype>(band.size())) + QLatin1Char(' ')
                    + (group->cn0[b] ? QString::number(*group->cn0[b]) : QStringLiteral("-"));
    }
    return bars.join(QStringLiteral(", "));
}

TEST(SignalsTab, ShowsEachSatellitesBandsOnlyWhenShownFilteredBySystemWithTheSignalsInATooltip)
{
    FIXWATCH_NEED_CAPTURES("ublox-zed-f9p-nmea.nmea");
    PtyWindow w("/G+");
    MainForm& form = w.form;
    form.show();
    auto* tabs = Control<QTabWidget>(form, "SSTab");
    ASSERT_EQ(tabs->tabText(MainForm::kSignalsTab), "Signals");
    ASSERT_EQ(tabs->tabText(MainForm::kSignalsTab - 1), "Sky");
    SignalsView& view = *Control<SignalsView>(form, "Frm_Signals");
    w.Receive(RealCapture("ublox-zed-f9p-nmea.nmea", 100000));
    QApplication::processEvents();
    EXPECT_TRUE(view.Groups().empty()) << "hidden, the bars were never built";

    tabs->setCurrentIndex(MainForm::kSignalsTab);
    QApplication::processEvents();
    // GPS and GLONASS on L1 and L2, Galileo on E1 and E5b, BeiDou B1I and an ID the receiver
    // left empty; a satellite without a band's signal has an empty slot there.
    ASSERT_EQ(view.Bands(), (std::vector{SignalBand::L1, SignalBand::L2, SignalBand::E5b, SignalBand::Other}));
    EXPECT_EQ(view.Groups().size(), 41u) << "one group per satellite in view, whatever its signals";
    EXPECT_EQ(BarsOf(view, "G10"), "L1 33, L2 18, E5b -, Other -");
    EXPECT_EQ(BarsOf(view, "R72"), "L1 -, L2 15, E5b -, Other -") << "G1 not tracked, G2 is";
    EXPECT_TRUE(GroupNamed(view, "G10")->used);
    EXPECT_FALSE(GroupNamed(view, "G5")->used);
    EXPECT_EQ(view.Groups().front().label, "G5") << "system then number order";

    // Galileo alone: only its bands.
    view.Cmb_SignalsSystem->setCurrentText(QStringLiteral("Galileo"));
    ASSERT_EQ(view.Bands(), (std::vector{SignalBand::L1, SignalBand::E5b}));
    EXPECT_EQ(BarsOf(view, "E12"), "L1 30, E5b 35");
    EXPECT_FALSE(GroupNamed(view, "G10"));

    // Hovering E12's bars tells its signals by name.
    view.resize(900, 500);
    QApplication::processEvents();
    SignalBars& bars = *view.Img_Signals;
    int e12 = -1;
    QPoint at;
    for (int x = 0; x < bars.width() && e12 < 0; x += 2) {
        at = QPoint(x, bars.height() / 2);
        const int group = bars.GroupAt(at);
        if (group >= 0 && view.Groups()[static_cast<std::size_t>(group)].label == "E12")
            e12 = group;
    }
    ASSERT_GE(e12, 0);
    QHelpEvent help(QEvent::ToolTip, at, bars.mapToGlobal(at));
    QApplication::sendEvent(&bars, &help);
    EXPECT_EQ(QToolTip::text(), "E12, used in the fix\nE5b (E5b): 35 dB-Hz\nE1-BC (L1): 30 dB-Hz");
}

TEST(SignalsTab, AnL5ReceiverShowsItsL5Bars)
{
    FIXWATCH_NEED_CAPTURES("unicore-um621.nmea");
    PtyWindow w("/G+");
    w.form.show();
    Control<QTabWidget>(w.form, "SSTab")->setCurrentIndex(MainForm::kSignalsTab);
    w.Receive(RealCapture("unicore-um621.nmea", 100000));
    SignalsView& view = *Control<SignalsView>(w.form, "Frm_Signals");
    view.Redraw();
    ASSERT_EQ(view.Bands(), (std::vector{SignalBand::L1, SignalBand::L5}));
    EXPECT_EQ(BarsOf(view, "G8"), "L1 41, L5 35");
    EXPECT_EQ(BarsOf(view, "C11"), "L1 25, L5 -") << "B2a not tracked: an empty L5 slot";
}

} // namespace
} // namespace fixwatch
