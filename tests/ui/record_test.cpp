// "Record sentences" on the real window, fed a real capture through a pseudo-terminal.
#include "capture_receiver.h"

#include <gtest/gtest.h>

#include <string>

namespace fixwatch {
namespace {

using namespace test;

constexpr const char* kCapture = "GPSmap-76S.nmea";

struct RecordingWindow : LogFolder, PtyWindow {
    explicit RecordingWindow(const std::string& commandLine = "/G+") : PtyWindow(commandLine)
    {
        form.endProgram = [] {};
        form.utcNow = [] { return QDateTime(QDate(2026, 12, 7), QTime(10, 15, 0), Qt::UTC); };
        Control<QAction>(form, "MenuRecord")->trigger();
    }
    QByteArray Recorded() const { return FileContents(Path("2026-12-07T10-15-00.nmea")); }
};

TEST(RecordSentences, TheRecordingIsByteEqualToWhatTheReceiverSentAndStopLosesNothing)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    const std::string text = RealCapture(kCapture, 400);
    RecordingWindow w;
    EXPECT_FALSE(QFile::exists(w.Path("2026-12-07T10-15-00.nmea"))) << "checked while stopped: nothing before Start";
    w.Receive(text);
    EXPECT_TRUE(StatusText(w.form, kLoggerStatus).startsWith(QStringLiteral("Recording to \u2026/2026-12-07T10-15-00.nmea \u00b7 ")))
        << StatusText(w.form, kLoggerStatus).toStdString();
    Stop(w.form);
    EXPECT_EQ(w.Recorded().toStdString(), text);
    EXPECT_TRUE(StatusText(w.form, kLoggerStatus).startsWith(QStringLiteral("Recorded \u2026/2026-12-07T10-15-00.nmea \u00b7 ")))
        << "after Stop, the file's place stays: " << StatusText(w.form, kLoggerStatus).toStdString();

    Control<QAction>(w.form, "MenuRecord")->trigger();
    ASSERT_TRUE(Start(w.form));
    EXPECT_FALSE(StatusText(w.form, kLoggerStatus).contains("Recorded")) << "until the next Start";
}

TEST(RecordSentences, ExitWritesEverythingReceivedBeforeTheProgramEnds)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    const std::string text = RealCapture(kCapture, 50);
    RecordingWindow w;
    // The last piece is read at the poll but no flush follows before Exit.
    ASSERT_TRUE(Start(w.form));
    w.form.HandleInput(text);
    Control<QAction>(w.form, "MenuFine")->trigger();
    EXPECT_EQ(w.Recorded().toStdString(), text);
    // The recording ended with Exit: a line handed on later, and a tick, add nothing to it.
    w.form.HandleInput(Line("$GPTXT,01,01,02,after exit"));
    Tick(Control<QTimer>(w.form, "Timer_Lett"));
    EXPECT_EQ(w.Recorded().toStdString(), text);
}

TEST(RecordSentences, ARecordingThatCannotBeWrittenSaysWhyInTheStatusBarWithoutABox)
{
    QTemporaryDir folder;
    const QString plain = folder.path() + "/plain";
    ASSERT_TRUE(WriteFile(plain, {}));
    Variable log("FIXWATCH_LOG_DIR", plain.toLocal8Bit());
    PtyWindow w;
    w.form.endProgram = [] {};
    auto* record = Control<QAction>(w.form, "MenuRecord");
    record->trigger();
    ASSERT_TRUE(Start(w.form));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(record->isChecked());
    EXPECT_TRUE(StatusText(w.form, kLoggerStatus).startsWith("Recording stopped: cannot write " + plain + "/"))
        << StatusText(w.form, kLoggerStatus).toStdString();
}

TEST(RecordSentences, MenuEntriesFollowTheDataLoggerWithTheirShortcuts)
{
    MainForm form;
    auto* dataLogger = Control<QAction>(form, "MenuSalvaDL");
    auto* record = Control<QAction>(form, "MenuRecord");
    auto* exportTrack = Control<QAction>(form, "MenuExportTrack");
    const auto actions = Control<QMenu>(form, "MenuFile")->actions();
    EXPECT_EQ(actions.mid(actions.indexOf(dataLogger), 3), QList<QAction*>({dataLogger, record, exportTrack}));
    EXPECT_EQ(record->shortcut().toString() + " " + exportTrack->shortcut().toString(), "Ctrl+R Ctrl+E");
}

} // namespace
} // namespace fixwatch
