// Replaying a real capture in the window, at the pace of its own times on the test's clock.
#include "capture_receiver.h"
#include "history_feed.h"
#include "replay_bar.h"

#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

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
    EXPECT_EQ(TimeAndBar(), "00:39:56 | 00:00:00 of 00:00:28 \u00B7 2019-04-12 00:39:56 UTC");
    TickAfter(5000);
    EXPECT_EQ(TimeAndBar(), "00:40:01 | 00:00:05 of 00:00:28 \u00B7 2019-04-12 00:40:01 UTC");
    EXPECT_EQ(form.Frm_Replay->Sld_ReplayPosition->value(), 5000 * ReplayBar::kSliderSteps / kDurationMs);

    // Paused, time passes and nothing moves; resumed, it goes on from where it stood.
    Pause();
    EXPECT_EQ(form.Frm_Replay->Cmd_ReplayPause->text(), "Resume");
    TickAfter(10'000);
    EXPECT_EQ(TimeAndBar(), "00:40:01 | 00:00:05 of 00:00:28 \u00B7 2019-04-12 00:40:01 UTC");
    Pause();
    EXPECT_EQ(form.Frm_Replay->Cmd_ReplayPause->text(), "Pause");
    TickAfter(1000);
    EXPECT_EQ(Time(), "00:40:02");

    ChooseSpeed(QString::fromUtf8("\u00D710"));
    TickAfter(1000);
    EXPECT_EQ(TimeAndBar(), "00:40:12 | 00:00:16 of 00:00:28 \u00B7 2019-04-12 00:40:12 UTC");

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
    EXPECT_EQ(Shown(), "00:00:10 of 00:00:28 \u00B7 2019-04-12 00:40:06 UTC");
    TickAfter(5000);
    EXPECT_EQ(Time(), "00:40:06");
    EXPECT_NE(form.Lab_Sat[0]->text(), "");
    TickAfter(5000);
    EXPECT_EQ(Shown(), "00:00:10 of 00:00:28 \u00B7 2019-04-12 00:40:06 UTC");
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
    EXPECT_EQ(TimeAndBar(), "00:39:56 | 00:00:00 of 00:00:28 \u00B7 2019-04-12 00:39:56 UTC");
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
    EXPECT_EQ(Shown(), "00:00:00 of 00:00:28 \u00B7 2019-04-12 00:39:56 UTC") << "stopped, the bar stays with where the replay stood";

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
    EXPECT_EQ(Shown(), "00:00:00 of 00:00:28 \u00B7 2019-04-12 00:39:56 UTC");
}

// Where the slider's handle is drawn at `value`.
QPoint HandleAt(const QSlider* slider, int value)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = option.sliderValue = value;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
}

TEST_F(ReplayWindow, TheSliderDraggedWhilePlayingStaysWhereItIsHeldAndSeeksWhereItIsLetGo)
{
    form.MenuOpenRecording_Click();
    ASSERT_TRUE(Start(form));
    TickAfter(0);
    TickAfter(2000);
    QSlider* slider = form.Frm_Replay->Sld_ReplayPosition;
    const int target = ReplayBar::kSliderSteps * 3 / 4;
    QTest::mousePress(slider, Qt::LeftButton, {}, HandleAt(slider, slider->value()));
    ASSERT_TRUE(slider->isSliderDown());
    for (int step = 1; step <= 4; ++step) {
        QMouseEvent move(QEvent::MouseMove, HandleAt(slider, slider->value() + (target - slider->value()) * step / 4),
                         slider->mapToGlobal(HandleAt(slider, target)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(slider, &move);
        TickAfter(1000); // the replay goes on under the held handle
    }
    const int held = slider->sliderPosition();
    EXPECT_NEAR(held, target, ReplayBar::kSliderSteps / 50) << "the handle stays under the pointer";
    QTest::mouseRelease(slider, Qt::LeftButton, {}, HandleAt(slider, held));
    EXPECT_FALSE(slider->isSliderDown());
    const std::int64_t expected = std::int64_t{held} * kDurationMs / ReplayBar::kSliderSteps;
    EXPECT_NEAR(static_cast<double>(form.Comm().Replay()->Position()), static_cast<double>(expected), 1000.0);
    TickAfter(0);
    EXPECT_NEAR(slider->value(), held, ReplayBar::kSliderSteps / 25) << "no snap back";
}

TEST_F(ReplayWindow, AGapIsSkippedAndSaidSoPauseSaysPausedAndTheFileIsNamedAsTheSource)
{
    std::string text;
    for (const char* time : {"100000", "100001", "100942", "100943", "100944", "100945", "100946", "100947"})
        text += Line(std::string("$GPGGA,") + time + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    path = Path("gap.nmea");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
    file.close();

    form.MenuOpenRecording_Click();
    EXPECT_EQ(form.Status->Lab_Status[0]->text(), "Replaying " + path) << "named before Start";
    EXPECT_TRUE(form.Cmb_COM->toolTip().contains("replaying " + path)) << form.Cmb_COM->toolTip().toStdString();
    ASSERT_TRUE(Start(form));
    EXPECT_EQ(form.Status->Lab_Status[0]->text(), "Replaying " + path);
    TickAfter(0);
    TickAfter(1000);
    EXPECT_EQ(TimeAndBar(), "10:09:42 | Skipped a gap of 9 min 41 s");
    TickAfter(1000);
    EXPECT_EQ(Time(), "10:09:43");

    Pause();
    EXPECT_EQ(form.Status->Lab_Status[1]->text(), "Paused");
    TickAfter(14'000);
    EXPECT_EQ(form.Status->Lab_Status[1]->text(), "Paused") << "a paused replay is no lost receiver";
    Pause();
    EXPECT_NE(form.Status->Lab_Status[1]->text(), "Paused");

    // Closed, the port is its own again.
    form.MenuCloseRecording->trigger();
    EXPECT_FALSE(form.AcquisitionRunning());
    EXPECT_FALSE(form.Tlb_Replay->isVisible());
    EXPECT_EQ(form.ReplayedRecording(), "");
    EXPECT_FALSE(form.Status->Lab_Status[0]->text().contains("Replaying"));
    EXPECT_FALSE(form.MenuCloseRecording->isEnabled());
}

TEST_F(ReplayWindow, AFileWithoutSentencesSaysSoAtStart)
{
    // A data logger's position file: records, no sentence.
    path = Path("2026-12-08.log");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("08/12/2026;10:15:00;45 27.458 S;167 09.165 E;14.7;0.0\r\n");
    file.close();
    form.MenuOpenRecording_Click();
    Answer answer;
    AnswerNextDialog(answer);
    EXPECT_FALSE(Start(form));
    EXPECT_EQ(form.Status->Lab_Status[1]->text(), "No NMEA sentence in " + path + ".");
}

} // namespace
} // namespace fixwatch
