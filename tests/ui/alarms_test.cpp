// Alarms in the window, driven as a user would: the menu and the settings dialog, a receiver
// on a pseudo-terminal that falls from RTK fixed to float, drifts, falls silent and comes back
// without a fix, and a replayed recording. These run on a session bus of their own with a
// real notification server (tests/desktop/with-notification-server).
#include "alarm_list.h"
#include "alarm_log.h"
#include "alarm_watch.h"
#include "capture_receiver.h"
#include "frm_alarm_settings.h"
#include "notifier.h"
#include "notify_monitor.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

// The Alarms tab's rows, each as "kind: text".
QStringList Rows(const MainForm& form)
{
    auto* list = Control<AlarmList>(form, "Frm_Alarms");
    QStringList rows;
    for (int row = 0; row < list->Rows(); ++row)
        rows << list->Table()->item(row, AlarmList::kKindColumn)->text() + ": "
                    + list->Table()->item(row, AlarmList::kTextColumn)->text();
    return rows;
}

// What "Alarm settings..." shows now: the limits and the sound, read from the dialog, which
// is then cancelled.
struct SettingsShown {
    AlarmSettings settings;
    bool sound = false;
};

SettingsShown AlarmSettingsShown(const MainForm& form)
{
    SettingsShown shown;
    QTimer::singleShot(0, [&shown] {
        auto* dialog = qobject_cast<frmAlarmSettings*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = {dialog->Settings(), dialog->Sound()};
        dialog->reject();
    });
    Trigger(form, "MenuAlarmSettings");
    return shown;
}

// A GGA of 45°06' N 7°36' E, `north` thousandths of a minute further north (one is 1.85 m).
std::string Gga(int second, int quality, int north = 0)
{
    char text[160];
    if (quality == 0)
        std::snprintf(text, sizeof text, "$GPGGA,1200%02d.00,,,,,0,00,99.9,,M,,M,,", second);
    else
        std::snprintf(text, sizeof text, "$GPGGA,1200%02d.00,4506.%03d,N,00736.000,E,%d,12,0.8,250.0,M,47.0,M,1.0,0000",
                      second, north, quality);
    return Line(text);
}

// The menu's place after View is pinned by ui.ViewMenu with the menu bar's titles.
TEST(AlarmsMenu, HasAnEntryPerKindAndTheSettingsDialogChangesTheLimits)
{
    MainForm form;
    for (QAction* entry : Controls<QAction>(form, "MenuAlarm", kAlarmKinds.size()))
        EXPECT_TRUE(entry->isCheckable() && !entry->isChecked()) << entry->text().toStdString();
    EXPECT_EQ(Control<QAction>(form, "MenuAlarm", AlarmIndex(AlarmKind::Hdop))->text(), "HDOP above 2.5");

    // A point that is not one keeps the dialog open and says how to type it; then a good one.
    bool sawError = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<frmAlarmSettings*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->Cmd_UseCurrentPosition->isEnabled()) << "no position yet";
        dialog->Txt_Hdop->setValue(1.8);
        dialog->Txt_Satellites->setValue(7);
        dialog->Txt_AnchorRadius->setValue(25);
        dialog->Txt_AnchorPoint->setText("45.1 7.6");
        dialog->Chk_Sound->setChecked(true);
        dialog->accept();
        sawError = dialog->isVisible() && dialog->Lab_AnchorError->isVisibleTo(dialog);
        dialog->Txt_AnchorPoint->setText(" 45.1 , 7.6 ");
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    Trigger(form, "MenuAlarmSettings");
    EXPECT_TRUE(sawError);
    const SettingsShown shown = AlarmSettingsShown(form);
    // The HDOP and satellite limits show in the menu's texts.
    const AlarmSettings& settings = shown.settings;
    EXPECT_EQ(settings.anchorRadius, 25);
    EXPECT_EQ(settings.anchorPoint, (WgsPoint{45.1, 7.6}));
    EXPECT_TRUE(shown.sound);
    EXPECT_EQ(Control<QAction>(form, "MenuAlarm", AlarmIndex(AlarmKind::Hdop))->text(), "HDOP above 1.8");
    EXPECT_EQ(Control<QAction>(form, "MenuAlarm", AlarmIndex(AlarmKind::Satellites))->text(), "Fewer than 7 satellites used");

    // Cancel changes nothing.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<frmAlarmSettings*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->Txt_Hdop->setValue(9);
        dialog->reject();
    });
    Trigger(form, "MenuAlarmSettings");
    EXPECT_EQ(AlarmSettingsShown(form).settings.hdopLimit, 1.8);
}

// How each option is read is pinned by analysis.AlarmOption; its limits reach the watch in
// AlarmsOnAReceiver.
TEST(AlarmsMenu, TheCommandLineArmsGoodAlarmsAndNamesBadOnes)
{
    MainForm form;
    EXPECT_EQ(form.ArmFromCommandLine("no-data:8"), "");
    EXPECT_TRUE(Control<QAction>(form, "MenuAlarm", AlarmIndex(AlarmKind::NoData))->isChecked());
    EXPECT_EQ(Control<QAction>(form, "MenuAlarm", AlarmIndex(AlarmKind::NoData))->text(), "No data for 8 s");
    EXPECT_EQ(form.ArmFromCommandLine("hdop:much"), "the HDOP limit must be a number above 0 and up to 99.9");
    EXPECT_FALSE(Control<QAction>(form, "MenuAlarm", AlarmIndex(AlarmKind::Hdop))->isChecked());
}

// A receiver on the test's clock: RTK fixed, then float, a drift of 50 m, then silence. How
// each kind clears is pinned by analysis.AlarmWatch, how often each is sent by
// desktop.NotifierOnServer.
TEST(AlarmsOnAReceiver, RaiseAndClearInTheStatusBarTheListTheFileAndTheDesktop)
{
    NotifyMonitor monitor;
    LogFolder logs;
    PtyWindow w;
    MainForm& form = w.form;
    QLabel* alarms = Control<QLabel>(form, "Lab_Alarms");
    double now = 0;
    form.alarmClock = [&now] { return now; };
    Control<Notifier>(form, "Notifier")->clock = [&now] { return static_cast<qint64>(now * 1000); };
    const QDateTime utc(QDate(2026, 12, 9), QTime(12, 0), Qt::UTC);
    form.utcNow = [&] { return utc.addMSecs(static_cast<qint64>(now * 1000)); };
    for (const char* alarm : {"no-data:5", "fix-degraded", "anchor:30"})
        ASSERT_EQ(form.ArmFromCommandLine(alarm), "");
    ASSERT_TRUE(Await([&] { return !Control<Notifier>(form, "Notifier")->Connecting(); }));
    ASSERT_TRUE(Start(form));

    auto at = [&](double seconds, const std::string& text) {
        now = seconds;
        if (text.empty())
            TickReading(form);
        else
            w.Send(text);
    };
    for (int s = 0; s <= 2; ++s)
        at(s, Gga(s, 4));
    at(3, Gga(3, 5));
    EXPECT_EQ(alarms->text(), "") << "nothing yet: the epoch at 3 s is still open";
    at(4, Gga(4, 5));
    EXPECT_EQ(alarms->text(), "Fix degraded: RTK fixed → RTK float");
    EXPECT_TRUE(alarms->isVisibleTo(&form));
    at(5, Gga(5, 5, 27));
    at(6, Gga(6, 5, 27));
    EXPECT_EQ(alarms->text(), "50 m from the anchor point (limit 30 m) · Fix degraded: RTK fixed → RTK float");
    at(11, "");
    EXPECT_TRUE(alarms->text().startsWith("No data for 5 s · 50 m")) << alarms->text().toStdString();

    const QStringList expected{
        "fix-degraded: Fix degraded: RTK fixed → RTK float",
        "anchor: 50 m from the anchor point (limit 30 m)",
        "no-data: No data for 5 s",
    };
    EXPECT_EQ(Rows(form).filter(QRegularExpression("^[a-z-]+: ")), expected) << Rows(form).join('\n').toStdString();
    EXPECT_EQ(FileContents(logs.Path(AlarmLogFileName(utc.toLocalTime().date()))),
              "2026-12-09T12:00:04Z\traised\tfix-degraded\tFix degraded: RTK fixed → RTK float\n"
              "2026-12-09T12:00:06Z\traised\tanchor\t50 m from the anchor point (limit 30 m)\n"
              "2026-12-09T12:00:11Z\traised\tno-data\tNo data for 5 s\n");

    ASSERT_TRUE(Await([&] { return monitor.Calls() == 3; })) << monitor.Text().toStdString();
    EXPECT_EQ(monitor.Summaries(), (QStringList{"Fix degraded: RTK fixed → RTK float",
                                                "50 m from the anchor point (limit 30 m)", "No data for 5 s"}));
    EXPECT_TRUE(monitor.Text().contains(QString::fromStdString(w.receiver.Device())))
        << "the body names the port";

    // Stop clears what is raised, in the list and the file, without a notification.
    Stop(form);
    EXPECT_EQ(alarms->text(), "");
    EXPECT_FALSE(alarms->isVisibleTo(&form));
    EXPECT_EQ(Rows(form).mid(Rows(form).size() - 3),
              (QStringList{"no-data: Stopped", "fix-degraded: Stopped", "anchor: Stopped"}));
}

TEST(AlarmsOnAReplay, RunOnTheRecordingsTimeAndSayReplayInTheNotification)
{
    NotifyMonitor monitor;
    LogFolder logs;
    QTemporaryDir folder;
    const QString path = folder.filePath("lost.nmea");
    std::string recording;
    for (int s = 0; s < 5; ++s)
        recording += Gga(s, 1);
    for (int s = 5; s < 12; ++s)
        recording += Gga(s, 0);
    ASSERT_TRUE(WriteFile(path, QByteArray::fromStdString(recording)));
    MainForm form;
    ForgetMachinePorts(form);
    std::int64_t replayNow = 0;
    Comm(form).ReplayClock([&replayNow] { return replayNow; });
    form.askRecordingFile = [&path] { return path; };
    // The window's own clock stands still: only the recording's time may move the alarms.
    form.alarmClock = [] { return 0.0; };
    ASSERT_EQ(form.ArmFromCommandLine("fix-lost"), "");
    ASSERT_EQ(form.ArmFromCommandLine("no-data:5"), "");
    Trigger(form, "MenuOpenRecording");
    ASSERT_TRUE(Start(form));
    for (int tick = 0; tick < 14 && Acquiring(form); ++tick) {
        replayNow += 1000;
        TickReading(form);
    }
    EXPECT_TRUE(Rows(form).contains("fix-lost: Fix lost")) << Rows(form).join('\n').toStdString();
    EXPECT_FALSE(Rows(form).contains("no-data: No data for 5 s")) << "a recording played at its pace is never silent";
    ASSERT_TRUE(Await([&] { return monitor.Calls() >= 1; }));
    EXPECT_EQ(monitor.Summaries().value(0), "Fix lost (replay)");
}

} // namespace
} // namespace fixwatch
