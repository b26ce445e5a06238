#include "alarm_watch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace fixwatch {
namespace {

// A fix as a receiver at rest sends it: GPS, 3D, nine satellites, HDOP 0.9.
Epoch GoodFix(double latitude = 45.0, double longitude = 7.6)
{
    Epoch epoch;
    epoch.timeMs = 12 * 3600 * 1000;
    epoch.date = UtcDate{2026, 12, 9};
    epoch.latitude = latitude;
    epoch.longitude = longitude;
    epoch.fixQuality = 1;
    epoch.rmcStatus = 'A';
    epoch.gsaMode = 3;
    epoch.satellitesUsed = 9;
    epoch.hdop = 0.9;
    return epoch;
}

Epoch NoFix()
{
    Epoch epoch;
    epoch.timeMs = 12 * 3600 * 1000;
    epoch.fixQuality = 0;
    epoch.rmcStatus = 'V';
    epoch.gsaMode = 1;
    epoch.satellitesUsed = 0;
    return epoch;
}

Epoch With(Epoch epoch, const std::function<void(Epoch&)>& change)
{
    change(epoch);
    return epoch;
}

// 2026-12-09T12:00:00Z, the time of GoodFix.
constexpr std::int64_t kSystemUtc = 1796817600;

std::string Describe(const std::vector<AlarmChange>& changes)
{
    std::string text;
    for (const AlarmChange& change : changes)
        text += std::string(change.raised ? "raised " : "cleared ") + std::string(AlarmKindName(change.kind))
                + ": " + change.text + "\n";
    return text;
}

struct KindCase {
    const char* legend;
    AlarmKind kind;
    Epoch normal;
    Epoch alarming;
    const char* raisedText;
    const char* clearedText;
};

// Each kind: an epoch in which its condition holds raises it at once; the condition must then
// stay away for three seconds before it clears, and coming back within them raises nothing new.
TEST(AlarmWatch, EachKindIsRaisedAtOnceAndClearedThreeSecondsAfterItLastHeld)
{
    const Epoch rtkFixed = With(GoodFix(), [](Epoch& e) { e.fixQuality = 4; });
    // clang-format off
    const KindCase cases[] = {
        {"fix lost after a fix", AlarmKind::FixLost, GoodFix(), NoFix(), "Fix lost", "Fix back: GPS"},
        {"RTK fixed falls to float", AlarmKind::FixDegraded, rtkFixed, With(rtkFixed, [](Epoch& e) { e.fixQuality = 5; }),
         "Fix degraded: RTK fixed → RTK float", "Fix back: RTK fixed"},
        {"3D falls to 2D", AlarmKind::FixDegraded, GoodFix(), With(GoodFix(), [](Epoch& e) { e.gsaMode = 2; }),
         "Fix degraded: 3D → 2D", "Fix back: GPS"},
        {"HDOP above its limit", AlarmKind::Hdop, GoodFix(), With(GoodFix(), [](Epoch& e) { e.hdop = 3.1; }),
         "HDOP 3.1 above 2.5", "HDOP back: 0.9"},
        {"fewer satellites", AlarmKind::Satellites, GoodFix(), With(GoodFix(), [](Epoch& e) { e.satellitesUsed = 4; }),
         "4 satellites used, fewer than 6", "Satellites back: 9 used"},
        // 42.008 m and 47.226 m by GeographicLib's own GeodSolve -i.
        {"anchor dragged north", AlarmKind::Anchor, GoodFix(45.0, 7.6), GoodFix(45.000378, 7.6),
         "42 m from the anchor point (limit 30 m)", "Anchor back: 0 m from the anchor point"},
        {"receiver a rollover behind", AlarmKind::Date, GoodFix(),
         With(GoodFix(), [](Epoch& e) { e.date = UtcDate{2007, 4, 25}; }),
         "Receiver date 2007-04-25 is 1024 weeks from the system clock's: a week-number rollover?",
         "Receiver date back: 2026-12-09"},
    };
    // clang-format on
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.legend);
        AlarmWatch watch;
        watch.Begin(0);
        watch.Arm(c.kind, true, 0);
        watch.EpochClosed(c.normal, 0, kSystemUtc);
        EXPECT_EQ(Describe(watch.TakeChanges()), "");

        watch.EpochClosed(c.alarming, 1, kSystemUtc);
        const auto raised = watch.TakeChanges();
        ASSERT_EQ(raised.size(), 1u) << Describe(raised);
        EXPECT_TRUE(raised[0].raised);
        EXPECT_EQ(raised[0].text, c.raisedText);
        EXPECT_EQ(watch.Text(c.kind), c.raisedText);

        // Back to normal for two seconds, then the condition again: it is still the same alarm.
        watch.EpochClosed(c.normal, 2, kSystemUtc);
        watch.EpochClosed(c.normal, 4, kSystemUtc);
        watch.EpochClosed(c.alarming, 4.5, kSystemUtc);
        watch.EpochClosed(c.normal, 5, kSystemUtc);
        watch.Tick(7.9);
        EXPECT_EQ(Describe(watch.TakeChanges()), "");
        EXPECT_TRUE(watch.Raised(c.kind));

        watch.Tick(8);
        const auto cleared = watch.TakeChanges();
        ASSERT_EQ(cleared.size(), 1u) << Describe(cleared);
        EXPECT_FALSE(cleared[0].raised);
        EXPECT_EQ(cleared[0].text, c.clearedText);
        EXPECT_FALSE(watch.Raised(c.kind));
    }
}

// Counted from Start while nothing arrives, then from the last line.
TEST(AlarmWatch, NoDataRisesAfterTheSetSecondsWithoutALineAndClearsOnceLinesFlowAgain)
{
    AlarmWatch watch;
    AlarmSettings settings;
    settings.noDataSeconds = 7;
    watch.SetSettings(settings);
    watch.Arm(AlarmKind::NoData, true, 0);
    watch.Begin(10);
    watch.Tick(16.9);
    EXPECT_EQ(Describe(watch.TakeChanges()), "");
    watch.Tick(17);
    EXPECT_EQ(Describe(watch.TakeChanges()), "raised no-data: No data for 7 s\n");

    watch.LineArrived(20);
    watch.Tick(21);
    watch.LineArrived(22);
    watch.Tick(22.9);
    EXPECT_EQ(Describe(watch.TakeChanges()), "");
    watch.Tick(23);
    EXPECT_EQ(Describe(watch.TakeChanges()), "cleared no-data: Data back\n");
    watch.Tick(28.9);
    EXPECT_FALSE(watch.Raised(AlarmKind::NoData));
    watch.Tick(29);
    EXPECT_TRUE(watch.Raised(AlarmKind::NoData));
}

// A receiver that starts without a fix has lost nothing; one that falls silent with a fix and
// comes back without one has.
TEST(AlarmWatch, FixLostNeedsAFixFirstAndSurvivesASilence)
{
    AlarmWatch watch;
    watch.Arm(AlarmKind::FixLost, true, 0);
    watch.Begin(0);
    watch.EpochClosed(NoFix(), 1, std::nullopt);
    EXPECT_FALSE(watch.Raised(AlarmKind::FixLost));
    watch.EpochClosed(GoodFix(), 2, std::nullopt);
    watch.Tick(30); // silence: nothing said either way
    EXPECT_FALSE(watch.Raised(AlarmKind::FixLost));
    watch.EpochClosed(NoFix(), 31, std::nullopt);
    EXPECT_TRUE(watch.Raised(AlarmKind::FixLost));
    // An epoch that says nothing of the fix (a lone VTG) neither holds nor clears it.
    Epoch silent;
    silent.speedKnots = 0;
    watch.EpochClosed(silent, 40, std::nullopt);
    EXPECT_TRUE(watch.Raised(AlarmKind::FixLost));
}

// The level to compare with is the best since the alarm last cleared: a fall through several
// levels names the whole fall, and the alarm stays while the fix stays below that level.
TEST(AlarmWatch, FixDegradedComparesWithTheBestLevelAndStaysWhileBelowIt)
{
    AlarmWatch watch;
    watch.Arm(AlarmKind::FixDegraded, true, 0);
    watch.Begin(0);
    auto quality = [](int q) { return With(GoodFix(), [q](Epoch& e) { e.fixQuality = q; }); };
    watch.EpochClosed(quality(1), 0, std::nullopt);
    watch.EpochClosed(quality(2), 1, std::nullopt);
    watch.EpochClosed(quality(4), 2, std::nullopt);
    EXPECT_FALSE(watch.Raised(AlarmKind::FixDegraded)) << "a fix that improves raises nothing";
    watch.EpochClosed(quality(5), 3, std::nullopt);
    watch.EpochClosed(quality(2), 4, std::nullopt);
    EXPECT_EQ(watch.Text(AlarmKind::FixDegraded), "Fix degraded: RTK fixed → DGPS");
    watch.EpochClosed(NoFix(), 5, std::nullopt); // no level: the comparison stands
    watch.EpochClosed(quality(5), 100, std::nullopt);
    EXPECT_EQ(watch.Text(AlarmKind::FixDegraded), "Fix degraded: RTK fixed → RTK float");
    EXPECT_EQ(watch.TakeChanges().size(), 1u);
}

TEST(AlarmWatch, DisarmingOrStartingAgainClearsWhatIsRaised)
{
    AlarmWatch watch;
    watch.Arm(AlarmKind::Hdop, true, 0);
    watch.Arm(AlarmKind::Satellites, true, 0);
    watch.Begin(0);
    watch.EpochClosed(With(GoodFix(), [](Epoch& e) {
                          e.hdop = 9;
                          e.satellitesUsed = 1;
                      }),
                      0, std::nullopt);
    watch.Arm(AlarmKind::Hdop, false, 1);
    watch.End("Stopped");
    const auto changes = watch.TakeChanges();
    EXPECT_EQ(Describe(changes), "raised hdop: HDOP 9 above 2.5\n"
                                 "raised satellites: 1 satellite used, fewer than 6\n"
                                 "cleared hdop: Disarmed\n"
                                 "cleared satellites: Stopped\n");
    EXPECT_TRUE(changes[2].byUser && changes[3].byUser);
}

TEST(AlarmWatch, TheAnchorIsTheTypedPointOrThePositionWhenArmedOrTheFirstFixAfter)
{
    AlarmSettings typed;
    typed.anchorPoint = WgsPoint{45.1, 7.6};
    AlarmWatch watch;
    watch.SetSettings(typed);
    watch.Arm(AlarmKind::Anchor, true, 0);
    watch.Begin(0);
    watch.EpochClosed(GoodFix(45.1, 7.6006), 1, std::nullopt); // 47.226 m east (GeodSolve)
    EXPECT_EQ(watch.Text(AlarmKind::Anchor), "47 m from the anchor point (limit 30 m)");

    AlarmWatch armedLater;
    armedLater.Begin(0);
    armedLater.EpochClosed(GoodFix(45.1, 7.6), 1, std::nullopt);
    armedLater.EpochClosed(GoodFix(45.1, 7.6006), 2, std::nullopt);
    armedLater.Arm(AlarmKind::Anchor, true, 2);
    ASSERT_TRUE(armedLater.AnchorPoint());
    EXPECT_EQ(*armedLater.AnchorPoint(), (WgsPoint{45.1, 7.6006}));
    armedLater.EpochClosed(GoodFix(45.1, 7.6), 3, std::nullopt);
    EXPECT_TRUE(armedLater.Raised(AlarmKind::Anchor));

    AlarmWatch beforeAnyFix;
    beforeAnyFix.Arm(AlarmKind::Anchor, true, 0);
    beforeAnyFix.Begin(0);
    beforeAnyFix.EpochClosed(NoFix(), 1, std::nullopt);
    EXPECT_FALSE(beforeAnyFix.AnchorPoint());
    beforeAnyFix.EpochClosed(GoodFix(45.1, 7.6006), 2, std::nullopt);
    EXPECT_EQ(*beforeAnyFix.AnchorPoint(), (WgsPoint{45.1, 7.6006}));
    EXPECT_FALSE(beforeAnyFix.Raised(AlarmKind::Anchor));
}

// A replayed recording has no "today" to compare with; a live receiver a few days off is
// named in days, without guessing at a rollover.
TEST(AlarmWatch, TheDateIsComparedOnlyWithAClockAndNamesARolloverOnlyWhenItLooksLikeOne)
{
    AlarmWatch watch;
    watch.Arm(AlarmKind::Date, true, 0);
    watch.Begin(0);
    const Epoch old = With(GoodFix(), [](Epoch& e) { e.date = UtcDate{2007, 4, 25}; });
    watch.EpochClosed(old, 1, std::nullopt);
    EXPECT_FALSE(watch.Raised(AlarmKind::Date));
    watch.EpochClosed(With(GoodFix(), [](Epoch& e) { e.date = UtcDate{2026, 12, 6}; }), 2, kSystemUtc);
    EXPECT_EQ(watch.Text(AlarmKind::Date), "Receiver date 2026-12-06 is 3 days from the system clock's");
    // Within a day either way is a clock that is merely off.
    watch.EpochClosed(With(GoodFix(), [](Epoch& e) { e.date = UtcDate{2026, 12, 10}; }), 10, kSystemUtc);
    watch.Tick(13);
    EXPECT_FALSE(watch.Raised(AlarmKind::Date));
}

} // namespace
} // namespace fixwatch
