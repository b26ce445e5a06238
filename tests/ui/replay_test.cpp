// Replaying a real capture in the window, at the pace of its own times on the test's clock.
#include "capture_receiver.h"
#include "history_feed.h"
#include "replay_bar.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

// 29 epochs at 1 Hz, 00:39:56 to 00:40:24, of several systems (read with All GNSS).
constexpr const char* kCapture = "ublox-zed-f9p-nmea.nmea";
constexpr std::int64_t kDurationMs = 28'000;

struct ReplayWindow : ::testing::Test, LogFolder {
    void SetUp() override
    {
        FIXWATCH_NEED_CAPTURES(kCapture);
        path = QString::fromStdString(CapturePath(kCapture).string());
        ForgetMachinePorts(form);
        form.endProgram = [] {};
        form.today = [] { return QDate(2026, 12, 8); };
        form.Comm().ReplayClock([this] { return now; });
        form.askRecordingFile = [this] { return path; };
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    void TearDown() override { form.Cmd_StartStop_Click(1); }

    QString Shown() const { return form.Frm_Replay->Lab_ReplayPosition->text(); }
    QString Time() const { return form.Lab_Posizione[0]->text(); }
    QString TimeAndBar() const { return Time() + " | " + Shown(); }
    // One tick after `ms` of the test's clock.
    void TickAfter(std::int64_t ms)
    {
        now += ms;
        form.Timer_Lett_Timer();
    }
    void Pause() { QTest::mouseClick(form.Frm_Replay->Cmd_ReplayPause, Qt::LeftButton); }
    void ChooseSpeed(const QString& text)
    {
        form.Frm_Replay->Cmb_ReplaySpeed->setCurrentIndex(form.Frm_Replay->Cmb_ReplaySpeed->findText(text));
    }

    QString path;
    std::int64_t now = 1'000'000;
    MainForm form{"/G+"};
};

TEST_F(ReplayWindow, PlaysPausesChangesSpeedSeeksAndEndsAsTheBarSays)
{
    EXPECT_FALSE(form.Tlb_Replay->isVisible());
    QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(form.Tlb_Replay->isVisible());
    EXPECT_EQ(form.ReplayedRecording(), path);
    EXPECT_EQ(form.TrackSourcePath(), path);
    EXPECT_FALSE(form.Frm_Replay->Cmd_ReplayPause->isEnabled()) << "nothing to pause before Start";

    ASSERT_TRUE(Start(form));
    TickAfter(0);
    EXPECT_EQ(TimeAndBar(), "00:39:56 | 00:39:56 of 00:40:24");
    TickAfter(5000);
    EXPECT_EQ(TimeAndBar(), "00:40:01 | 00:40:01 of 00:40:24");
    EXPECT_EQ(form.Frm_Replay->Sld_ReplayPosition->value(), 5000 * ReplayBar::kSliderSteps / kDurationMs);

    // Paused, time passes and nothing moves; resumed, it goes on from where it stood.
    Pause();
    EXPECT_EQ(form.Frm_Replay->Cmd_ReplayPause->text(), "Resume");
    TickAfter(10'000);
    EXPECT_EQ(TimeAndBar(), "00:40:01 | 00:40:01 of 00:40:24");
    Pause();
    EXPECT_EQ(form.Frm_Replay->Cmd_ReplayPause->text(), "Pause");
    TickAfter(1000);
    EXPECT_EQ(Time(), "00:40:02");

    ChooseSpeed(QString::fromUtf8("\u00D710"));
    TickAfter(1000);
    EXPECT_EQ(TimeAndBar(), "00:40:12 | 00:40:12 of 00:40:24");

    // Paused and moved back to 00:40:06: nothing of 00:40:12 stays, then that moment is shown
    // and the replay stays paused there.
    ChooseSpeed(QString::fromUtf8("\u00D71"));
    Pause();
    ASSERT_GT(form.Session().SkyModel().Satellites().size(), 0u);
    form.Frm_Replay->Sld_ReplayPosition->setValue((10'000 * ReplayBar::kSliderSteps + kDurationMs - 1) / kDurationMs);
    EXPECT_EQ(Time(), "");
    EXPECT_EQ(form.Lab_Sat[0]->text(), "");
    EXPECT_EQ(form.lineBuffer(), "");
    EXPECT_EQ(form.Session().SkyModel().Satellites().size(), 0u);
    EXPECT_EQ(form.History().History().Size(), 0u);
    EXPECT_EQ(Shown(), "00:40:06 of 00:40:24");
    TickAfter(5000);
    EXPECT_EQ(Time(), "00:40:06");
    EXPECT_NE(form.Lab_Sat[0]->text(), "");
    TickAfter(5000);
    EXPECT_EQ(Shown(), "00:40:06 of 00:40:24");
    Pause();
    // The history starts again at the new moment: its first epoch is 00:40:06.
    TickAfter(1000);
    EXPECT_EQ(Time(), "00:40:07");
    ASSERT_GE(form.History().History().Size(), 1u);
    EXPECT_EQ(form.History().History()[0].timeMs, (40 * 60 + 6) * 1000);

    // As fast as possible the rest comes at once; the replay stops at its end and says so.
    ChooseSpeed(QStringLiteral("As fast as possible"));
    TickAfter(0);
    EXPECT_EQ(TimeAndBar(), "00:40:24 | End of recording");
    EXPECT_FALSE(form.AcquisitionRunning());
    EXPECT_TRUE(form.Cmd_StartStop[0]->isEnabled());
    EXPECT_TRUE(form.Tlb_Replay->isVisible());
    EXPECT_FALSE(form.Frm_Replay->Cmd_ReplayPause->isEnabled());
    EXPECT_EQ(form.TrackSourcePath(), path);

    // The last fix shown is what Ctrl+S saves.
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(FileContents(Path("2026-12-08.log")).contains(";00:40:24;"));

    // Start plays it again from its beginning.
    ChooseSpeed(QString::fromUtf8("\u00D71"));
    ASSERT_TRUE(Start(form));
    EXPECT_EQ(Time(), "");
    TickAfter(0);
    EXPECT_EQ(TimeAndBar(), "00:39:56 | 00:39:56 of 00:40:24");
    EXPECT_TRUE(form.Frm_Replay->Cmd_ReplayPause->isEnabled());
}

TEST_F(ReplayWindow, AStartOfAnotherPortEndsTheReplayAndItsBar)
{
    form.MenuOpenRecording_Click();
    form.Cmd_StartStop_Click(0);
    TickAfter(0);
    ASSERT_EQ(Time(), "00:39:56");
    form.Cmd_StartStop_Click(1);
    EXPECT_TRUE(form.Tlb_Replay->isVisible());
    EXPECT_EQ(Shown(), "00:39:56 of 00:40:24") << "stopped, the bar stays with where the replay stood";

    PseudoTerminal receiver;
    PortVariable other(2, receiver.Device());
    form.Cmb_COM->setCurrentIndex(1);
    ASSERT_TRUE(Start(form));
    EXPECT_FALSE(form.Tlb_Replay->isVisible());
    EXPECT_EQ(form.ReplayedRecording(), "");
    EXPECT_EQ(form.TrackSourcePath(), "");
    EXPECT_EQ(form.Comm().SourceName(), QString::fromStdString(receiver.Device()));
}

TEST_F(ReplayWindow, APortThatNamesAFileShowsTheBarToo)
{
    PortVariable port(3, "file://" + path.toStdString());
    form.Cmb_COM->setCurrentIndex(2);
    ASSERT_TRUE(Start(form));
    EXPECT_TRUE(form.Tlb_Replay->isVisible());
    EXPECT_EQ(form.TrackSourcePath(), path);
    TickAfter(0);
    EXPECT_EQ(Shown(), "00:39:56 of 00:40:24");
}

} // namespace
} // namespace fixwatch
