// The data logger and "Save current position" on the window: what goes into the day's file,
// and what a file system that refuses it does to the status bar.
#include "capture_receiver.h"
#include "window_controls.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

// The record itself is pinned by ui.ViewMenu (the sample second's record) and by
// recording.LogRecordLine (without a fix, and with received fields that would forge one); the
// status texts by recording.LoggerStatusText. Here the logger's tick, which writes to the file
// of its own day, and the status bar that says where, or why it could not.
TEST(Recording, TheLoggersTickWritesToTheDaysFileAndTheStatusBarSaysWhere)
{
    QTemporaryDir home;
    Variable homeVariable("HOME", home.path().toLocal8Bit());
    const QString folder = home.path() + "/.local/share/fixwatch";
    ASSERT_TRUE(QDir().mkpath(folder));
    Variable logVariable("FIXWATCH_LOG_DIR", folder.toLocal8Bit());
    PtyWindow w;
    MainForm& form = w.form;
    form.today = [] { return QDate(2026, 12, 6); };
    QLabel* logger = Control<QLabel>(form, "Lab_Status", kLoggerStatus);
    auto* dataLogger = Control<QAction>(form, "MenuSalvaDL");
    auto* loggerTimer = Control<QTimer>(form, "Timer_DL");
    EXPECT_TRUE(logger->isHidden()) << "nothing to say while the logger is idle";

    dataLogger->trigger();
    EXPECT_TRUE(dataLogger->isChecked());
    EXPECT_FALSE(Control<QAction>(form, "MenuSalvaCP")->isEnabled());
    Control<QComboBox>(form, "Cmb_Interval")->setCurrentIndex(11);
    ASSERT_TRUE(Start(form));
    ASSERT_TRUE(loggerTimer->isActive());
    EXPECT_EQ(loggerTimer->interval(), 60000);
    const QString logging = "Logging every 60 s to ~/.local/share/fixwatch/2026-12-06.log";
    EXPECT_EQ(logger->text(), logging);
    EXPECT_FALSE(logger->isHidden());
    Feed(form, SampleSentences());
    Tick(loggerTimer);
    EXPECT_EQ(FileContents(folder + "/2026-12-06.log"),
              QByteArray("05/12/2026;12:35:19;048\xB0 07.038' N;011\xB0 31.000' E;545.4;41.5\r\n"));
    EXPECT_EQ(logger->text(), logging);

    ASSERT_TRUE(QDir(folder).removeRecursively());
    Tick(loggerTimer);
    EXPECT_EQ(logger->text(), "Log not written: cannot write " + folder + "/2026-12-06.log: no such file or directory");
}

} // namespace
} // namespace fixwatch
