// The data logger and "Save current position" on the window: what goes into the day's file,
// and what a hostile receiver or a hostile file system cannot do to it.
#include "capture_receiver.h"
#include "fix_fields.h"
#include "window_controls.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

// The record itself, and "Save current position" without a fix, are pinned by
// ui.ViewMenu (the sample second's record) and ui.AcquisitionThroughAPseudoTerminal (";;;;;");
// the status texts by recording.LoggerStatusText. Here the logger's tick, which writes to the
// file of its own day, and the status bar that says where, or why it could not.
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

TEST(Recording, ALineEndOrASemicolonInsideAReceivedFieldCannotForgeARecord)
{
    LogFolder logs;
    PtyWindow w;
    MainForm& form = w.form;
    form.today = [] { return QDate(2026, 12, 7); };
    auto* saveCurrent = Control<QAction>(form, "MenuSalvaCP");
    // A valid checksum over a time field holding a lone LF and a coordinate with a lone CR.
    w.Receive(Line("$GPGLL,4916.45,N,12311.12\r01/01/2099;00:00:00;FORGED,W,22\n01/01/2099;00:00:00;FORGED,A"));
    ASSERT_FALSE(Control<QLabel>(form, "Lab_Posizione", kTime)->text().isEmpty());
    saveCurrent->trigger();
    w.Send(Line("$GPGGA,123519,4807.038;01/01/2099;00:00:00;FORGED,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
    ASSERT_TRUE(Control<QLabel>(form, "Lab_Posizione", kLatitude)->text().contains("FORGED"))
        << "the minutes are shown as sent";
    saveCurrent->trigger();

    const QByteArray written = FileContents(logs.Path("2026-12-07.log"));
    SCOPED_TRACE(written.toStdString());
    EXPECT_EQ(written.count('\n'), 2);
    EXPECT_EQ(written.count('\r'), 2);
    EXPECT_TRUE(written.endsWith("\r\n"));
    EXPECT_EQ(written.count(';'), 10) << "six fields a record";
    EXPECT_TRUE(written.contains("07.038,01/01/2099,00:00:00,FORGED"));
}

} // namespace
} // namespace fixwatch
