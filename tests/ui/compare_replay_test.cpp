// Two recordings made at the same time replayed side by side: A with "Open recording...", B
// on the Compare tab's port, kept at A's UTC moment through pauses and seeks.
#include "replay_bar.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

// A recording of `seconds` one-second epochs from 12:`minute`:`second` on 2026-12-07.
QString WriteRecording(const QTemporaryDir& folder, const char* name, int firstSecond, int seconds)
{
    std::string text;
    for (int s = firstSecond; s < firstSecond + seconds; ++s) {
        char time[32];
        std::snprintf(time, sizeof time, "12%02d%02d.00", s / 60, s % 60);
        text += Line(std::string("$GNRMC,") + time + ",A,4916.4500,N,12311.1200,W,0.0,0.0,071226,,,A");
        text += Line(std::string("$GNGGA,") + time + ",4916.4500,N,12311.1200,W,1,08,0.9,100.0,M,-17.0,M,,");
    }
    const QString path = folder.filePath(QString::fromLatin1(name));
    return WriteFile(path, QByteArray::fromStdString(text)) ? path : QString();
}

// The UTC moment a replay stands at, as its position text ends: "12:00:07 UTC".
QString UtcOf(const ReplayControl& replay) { return replay.PositionText().section(QStringLiteral(" "), -2); }

TEST(CompareReplay, BStaysAtTheUtcMomentOfAsPositionThroughPausesAndSeeks)
{
    LogFolder logs;
    QTemporaryDir folder;
    const QString a = WriteRecording(folder, "a.nmea", 0, 20); // 12:00:00 to 12:00:19
    const QString b = WriteRecording(folder, "b.nmea", 5, 12); // 12:00:05 to 12:00:16
    ASSERT_FALSE(a.isEmpty() || b.isEmpty());
    PortVariable portB(2, b.toStdString());
    MainForm form("/G+");
    ForgetMachinePorts(form);
    std::int64_t now = 1'000'000;
    auto* commB = Control<CommControl>(form, "MSCommCompare");
    Comm(form).ReplayClock([&now] { return now; });
    commB->ReplayClock([&now] { return now; });
    form.askRecordingFile = [&a] { return a; };
    Trigger(form, "MenuOpenRecording");
    Control<QComboBox>(form, "Cmb_CompareCOM")->setCurrentIndex(2);
    ASSERT_TRUE(Start(form));
    const ReplayControl* replayA = Comm(form).Replay();
    const ReplayControl* replayB = commB->Replay();
    ASSERT_TRUE(replayA != nullptr && replayB != nullptr);
    EXPECT_TRUE(replayB->IsPaused()) << "B's recording begins 5 s after A's";

    const auto advance = [&](int seconds) {
        for (int s = 0; s < seconds; ++s) {
            now += 1000;
            TickReading(form);
        }
    };
    advance(7);
    EXPECT_EQ(UtcOf(*replayA), "12:00:07 UTC");
    EXPECT_EQ(UtcOf(*replayB), "12:00:07 UTC");

    // Paused, both stay; resumed, both go on.
    auto* pause = Control<QPushButton>(form, "Cmd_ReplayPause");
    pause->click();
    advance(3);
    pause->click();
    advance(2);
    EXPECT_EQ(UtcOf(*replayB), "12:00:09 UTC");
    EXPECT_EQ(UtcOf(*replayB), UtcOf(*replayA));

    // Seeks: before B's first epoch B waits at its start; later, B jumps with A.
    auto* slider = Control<QSlider>(form, "Sld_ReplayPosition");
    const auto seek = [&](std::int64_t ms) {
        slider->setValue(static_cast<int>((ms * ReplayBar::kSliderSteps + replayA->Duration() - 1) / replayA->Duration()));
    };
    seek(2000);
    advance(4);
    EXPECT_EQ(UtcOf(*replayA), "12:00:06 UTC");
    EXPECT_EQ(UtcOf(*replayB), "12:00:06 UTC");
    seek(14000);
    advance(1);
    EXPECT_EQ(UtcOf(*replayA), "12:00:15 UTC");
    EXPECT_EQ(UtcOf(*replayB), "12:00:15 UTC");

    // B's recording ends first: it says so, and A plays on.
    advance(2);
    EXPECT_EQ(Control<QLabel>(form, "Lab_CompareStatus")->text(), "B: " + b + " \u00B7 End of recording");
    EXPECT_EQ(UtcOf(*replayA), "12:00:17 UTC");
    EXPECT_TRUE(Control<QTimer>(form, "Timer_Lett")->isActive());
}

} // namespace
} // namespace fixwatch
