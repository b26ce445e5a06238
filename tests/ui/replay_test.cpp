// Replaying a real capture in the window, at the pace of its own times on the test's clock.
#include "capture_receiver.h"
#include "fix_fields.h"
#include "history_view.h"
#include "replay_bar.h"
#include "window_controls.h"

#include <QAbstractItemModel>
#include <QChart>
#include <QDir>
#include <QFileInfo>
#include <QSlider>
#include <QXYSeries>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

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
        Comm(form).ReplayClock([this] { return now; });
        form.askRecordingFile = [this] { return path; };
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    void TearDown() override { Stop(form); }

    QString Shown() const { return Control<QLabel>(form, "Lab_ReplayPosition")->text(); }
    QString Time() const { return FixLabel(form, kTime)->text(); }
    QString TimeAndBar() const { return Time() + " | " + Shown(); }
    QString Source() const { return StatusText(form, kSourceStatus); }
    QString State() const { return StatusText(form, kLinkStatus); }
    bool BarShown() const { return Control<QToolBar>(form, "Tlb_Replay")->isVisible(); }
    QPushButton* PauseButton() const { return Control<QPushButton>(form, "Cmd_ReplayPause"); }
    int SkyRows() const { return Control<QTableView>(form, "Grd_Sky")->model()->rowCount(); }
    // One tick after `ms` of the test's clock.
    void TickAfter(std::int64_t ms)
    {
        now += ms;
        Tick(Control<QTimer>(form, "Timer_Lett"));
    }
    void Open() { Control<QAction>(form, "MenuOpenRecording")->trigger(); }
    void Pause() { QTest::mouseClick(PauseButton(), Qt::LeftButton); }
    void ChooseSpeed(const QString& text)
    {
        auto* speed = Control<QComboBox>(form, "Cmb_ReplaySpeed");
        speed->setCurrentIndex(speed->findText(text));
    }
    // The track "Export track..." offers to write: the file its track comes from, with .gpx,
    // or what the window says when there is none.
    QString ExportOffer()
    {
        QString offered;
        form.askExportFile = [&offered](const QString& suggested) {
            offered = suggested;
            return QString();
        };
        const BoxAnswerer answer;
        Control<QAction>(form, "MenuExportTrack")->trigger();
        return offered.isEmpty() ? answer.Said() : offered;
    }
    // The times of day, in seconds, at which the History tab draws an epoch, earliest first.
    std::vector<double> DrawnTimes() const
    {
        auto* history = Control<HistoryView>(form, "Frm_History");
        history->Redraw();
        std::vector<double> times;
        for (int chart = HistoryView::kSatellitesChart; chart <= HistoryView::kAltitudeChart; ++chart)
            for (QAbstractSeries* series : history->Chart(chart)->series())
                if (auto* line = qobject_cast<QXYSeries*>(series))
                    for (const QPointF& point : line->points())
                        times.push_back(std::fmod(point.x(), 86400.0));
        std::sort(times.begin(), times.end());
        return times;
    }

    QString path;
    std::int64_t now = 1'000'000;
    MainForm form{"/G+"};
};

TEST_F(ReplayWindow, PlaysPausesChangesSpeedSeeksAndEndsAsTheBarSays)
{
    EXPECT_FALSE(BarShown());
    QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(BarShown());
    EXPECT_EQ(Source(), "Replaying " + path);
    EXPECT_EQ(ExportOffer(), QFileInfo(path).dir().filePath("ublox-zed-f9p-nmea.gpx"));
    EXPECT_FALSE(PauseButton()->isEnabled()) << "nothing to pause before Start";

    // The first moment is shown at once by the Start again below.
    ASSERT_TRUE(Start(form));
    TickAfter(5000);
    EXPECT_EQ(TimeAndBar(), "00:40:01 | 00:00:05 of 00:00:28 \u00B7 2019-04-12 00:40:01 UTC");

    // Paused and moved to 00:40:06: nothing of 00:40:01 stays, then that moment is shown and
    // the replay stays paused there (pausing as such is pinned by acquisition.FileSourceTest
    // and display.ReplayBarTest, the speeds by acquisition.FileSourceTest).
    Pause();
    ASSERT_GT(SkyRows(), 0);
    Control<QSlider>(form, "Sld_ReplayPosition")->setValue((10'000 * ReplayBar::kSliderSteps + kDurationMs - 1) / kDurationMs);
    EXPECT_EQ(Time(), "");
    EXPECT_EQ(Control<QLabel>(form, "Lab_Sat", 0)->text(), "");
    EXPECT_EQ(form.lineBuffer(), "");
    EXPECT_EQ(SkyRows(), 0);
    EXPECT_TRUE(DrawnTimes().empty());
    EXPECT_EQ(Shown(), "00:00:10 of 00:00:28 \u00B7 2019-04-12 00:40:06 UTC");
    TickAfter(5000);
    EXPECT_EQ(Time(), "00:40:06");
    EXPECT_NE(Control<QLabel>(form, "Lab_Sat", 0)->text(), "");
    TickAfter(5000);
    EXPECT_EQ(Shown(), "00:00:10 of 00:00:28 \u00B7 2019-04-12 00:40:06 UTC");
    Pause();
    // The history starts again at the new moment: its first epoch is 00:40:06.
    TickAfter(1000);
    EXPECT_EQ(Time(), "00:40:07");
    const std::vector<double> drawn = DrawnTimes();
    ASSERT_GE(drawn.size(), 1u);
    EXPECT_EQ(drawn.front(), 40 * 60 + 6);

    // As fast as possible the rest comes at once; the replay stops at its end and says so.
    ChooseSpeed(QStringLiteral("As fast as possible"));
    TickAfter(0);
    EXPECT_EQ(TimeAndBar(), "00:40:24 | End of recording");
    EXPECT_FALSE(Acquiring(form));
    EXPECT_TRUE(Control<QPushButton>(form, "Cmd_StartStop", 0)->isEnabled());
    EXPECT_TRUE(BarShown());
    EXPECT_FALSE(PauseButton()->isEnabled());

    // Start plays it again from its beginning.
    ChooseSpeed(QString::fromUtf8("\u00D71"));
    ASSERT_TRUE(Start(form));
    EXPECT_EQ(Time(), "");
    TickAfter(0);
    EXPECT_EQ(TimeAndBar(), "00:39:56 | 00:00:00 of 00:00:28 \u00B7 2019-04-12 00:39:56 UTC");
    EXPECT_TRUE(PauseButton()->isEnabled());
}

// The export of a port that names a file is pinned by ui.ExportWindow.
TEST_F(ReplayWindow, AStartOfAnotherPortEndsTheReplayAndItsBarAndAPortThatNamesAFileShowsItAgain)
{
    Open();
    ASSERT_TRUE(Start(form));
    TickAfter(0);
    ASSERT_EQ(Time(), "00:39:56");
    Stop(form);
    EXPECT_TRUE(BarShown());
    EXPECT_EQ(Shown(), "00:00:00 of 00:00:28 \u00B7 2019-04-12 00:39:56 UTC") << "stopped, the bar stays with where the replay stood";

    PseudoTerminal receiver;
    PortVariable other(2, receiver.Device());
    Control<QComboBox>(form, "Cmb_COM")->setCurrentIndex(1);
    ASSERT_TRUE(Start(form));
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(ExportOffer(), "There is no recording to export yet: record sentences first.");
    EXPECT_TRUE(Source().startsWith(QString::fromStdString(receiver.Device()) + " \u00B7 ")) << Source().toStdString();
    Stop(form);

    PortVariable file(3, "file://" + path.toStdString());
    Control<QComboBox>(form, "Cmb_COM")->setCurrentIndex(2);
    ASSERT_TRUE(Start(form));
    EXPECT_TRUE(BarShown());
    TickAfter(0);
    EXPECT_EQ(Shown(), "00:00:00 of 00:00:28 \u00B7 2019-04-12 00:39:56 UTC");
}

TEST_F(ReplayWindow, AGapIsSkippedAndSaidSoPauseSaysPausedAndTheFileIsNamedAsTheSource)
{
    std::string text;
    for (const char* time : {"100000", "100001", "100942", "100943", "100944", "100945", "100946", "100947"})
        text += Line(std::string("$GPGGA,") + time + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    path = Path("gap.nmea");
    ASSERT_TRUE(WriteFile(path, QByteArray::fromStdString(text)));

    Open();
    const QString portTip = Control<QComboBox>(form, "Cmb_COM")->toolTip();
    EXPECT_TRUE(portTip.contains("replaying " + path)) << portTip.toStdString();
    ASSERT_TRUE(Start(form));
    EXPECT_EQ(Source(), "Replaying " + path);
    TickAfter(0);
    TickAfter(1000);
    EXPECT_EQ(TimeAndBar(), "10:09:42 | Skipped a gap of 9 min 41 s");
    TickAfter(1000);
    EXPECT_EQ(Time(), "10:09:43");

    Pause();
    EXPECT_EQ(State(), "Paused");
    TickAfter(14'000);
    EXPECT_EQ(State(), "Paused") << "a paused replay is no lost receiver";
    Pause();
    EXPECT_NE(State(), "Paused");

    // Closed, the port is its own again.
    auto* closeRecording = Control<QAction>(form, "MenuCloseRecording");
    closeRecording->trigger();
    EXPECT_FALSE(Acquiring(form));
    EXPECT_FALSE(BarShown());
    EXPECT_FALSE(Source().contains("Replaying"));
    EXPECT_FALSE(closeRecording->isEnabled());
}

} // namespace
} // namespace fixwatch
