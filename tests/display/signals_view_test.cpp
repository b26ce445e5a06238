// The Signals tab's bars, built from the sky of a real multi-band receiver: the bands shown,
// each satellite's strongest C/N0 per band, the system filter and the tooltip of a group.
// What each satellite's signals are is pinned by nmea.SkySignalsCapture.
#include "captures.h"
#include "qt_print.h"
#include "signals_view.h"
#include "sky.h"

#include <QComboBox>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

// A shown Signals view holding the last sky of a capture, every system read.
struct CaptureSignals {
    explicit CaptureSignals(const char* capture)
    {
        Sky sky;
        for (const std::string& line : test::CaptureLines(capture))
            sky.Feed(line);
        view.resize(900, 500);
        view.ShowSatellites(sky.Satellites());
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.Redraw();
    }
    const SignalGroup* Group(const QString& label) const
    {
        for (const SignalGroup& group : view.Groups())
            if (group.label == label)
                return &group;
        return nullptr;
    }
    // The bars of a group as "L1 33, L2 -", in the bands' order.
    QString Bars(const QString& label) const
    {
        const SignalGroup* group = Group(label);
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

    SignalsView view;
};

TEST(SignalsView, ShowsEachSatellitesBandsFilteredBySystemWithTheSignalsInATooltip)
{
    FIXWATCH_NEED_CAPTURES("ublox-zed-f9p-nmea.nmea");
    CaptureSignals sky("ublox-zed-f9p-nmea.nmea");
    const SignalsView& view = sky.view;
    // GPS and GLONASS on L1 and L2, Galileo on E1 and E5b, BeiDou B1I and an ID the receiver
    // left empty; a satellite without a band's signal has an empty slot there.
    ASSERT_EQ(view.Bands(), (std::vector{SignalBand::L1, SignalBand::L2, SignalBand::E5b, SignalBand::Other}));
    EXPECT_EQ(view.Groups().size(), 41u) << "one group per satellite in view, whatever its signals";
    EXPECT_EQ(sky.Bars("G10"), "L1 33, L2 18, E5b -, Other -");
    EXPECT_EQ(sky.Bars("R72"), "L1 -, L2 15, E5b -, Other -") << "G1 not tracked, G2 is";
    EXPECT_TRUE(sky.Group("G10")->used);
    EXPECT_FALSE(sky.Group("G5")->used);
    EXPECT_EQ(view.Groups().front().label, "G5") << "system then number order";

    // Galileo alone: only its bands.
    view.Cmb_SignalsSystem->setCurrentText(QStringLiteral("Galileo"));
    ASSERT_EQ(view.Bands(), (std::vector{SignalBand::L1, SignalBand::E5b}));
    EXPECT_EQ(sky.Bars("E12"), "L1 30, E5b 35");
    EXPECT_FALSE(sky.Group("G10"));

    // Hovering E12's bars tells its signals by name.
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

} // namespace
} // namespace fixwatch
