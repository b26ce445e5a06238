// "Record sentences" on the real window, fed a real capture through a pseudo-terminal.
#include "capture_receiver.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

constexpr const char* kCapture = "GPSmap-76S.nmea";

struct RecordingWindow : LogFolder, PtyWindow {
    RecordingWindow() : PtyWindow("/G+")
    {
        form.endProgram = [] {};
        form.utcNow = [] { return QDateTime(QDate(2026, 12, 7), QTime(10, 15, 0), Qt::UTC); };
        form.MenuRecord->setChecked(true);
        form.MenuRecord_Click();
    }
    QByteArray Recorded() const { return FileContents(Path("2026-12-07T10-15-00.nmea")); }
};

TEST(RecordSentences, TheRecordingIsByteEqualToWhatTheReceiverSentAndStopLosesNothing)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    const std::string text = RealCapture(kCapture, 400);
    RecordingWindow w;
    EXPECT_FALSE(w.form.Recorder().Recording()) << "checked while stopped: nothing before Start";
    w.Receive(text);
    EXPECT_TRUE(w.form.Status->Lab_Status[2]->text().startsWith(
        QStringLiteral("Recording to \u2026/2026-12-07T10-15-00.nmea \u00b7 ")))
        << w.form.Status->Lab_Status[2]->text().toStdString();
    w.form.Cmd_StartStop_Click(1);
    EXPECT_EQ(w.Recorded().toStdString(), text);
    EXPECT_TRUE(w.form.Status->Lab_Status[2]->text().startsWith(
        QStringLiteral("Recorded \u2026/2026-12-07T10-15-00.nmea \u00b7 ")))
        << "after Stop, the file's place stays: " << w.form.Status->Lab_Status[2]->text().toStdString();

    // The recording's track, as a spreadsheet would take it: the simulator's fixes of this
    // receiver only when asked for, so the file holds the header alone.
    QString reason;
    EXPECT_FALSE(w.form.ExportTrackTo(w.Path("track.csv"), &reason));
    EXPECT_TRUE(reason.contains("simulator")) << reason.toStdString();

    w.form.MenuRecord->setChecked(false);
    w.form.MenuRecord_Click();
    ASSERT_TRUE(Start(w.form));
    EXPECT_FALSE(w.form.Status->Lab_Status[2]->text().contains("Recorded")) << "until the next Start";
}

TEST(RecordSentences, ExitWritesEverythingReceivedBeforeTheProgramEnds)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    const std::string text = RealCapture(kCapture, 50);
    RecordingWindow w;
    // The last piece is read at the poll but no flush follows before Exit.
    w.form.Cmd_StartStop_Click(0);
    w.receiver.Write(text);
    ASSERT_TRUE(w.receiver.WaitUntilQueued(static_cast<int>(text.size())));
    w.form.Session().PollOnce();
    w.form.MenuFine_Click();
    EXPECT_FALSE(w.form.Recorder().Recording());
    EXPECT_EQ(w.Recorded().toStdString(), text);
}

TEST(RecordSentences, ARecordingThatCannotBeWrittenSaysWhyInTheStatusBarWithoutABox)
{
    QTemporaryDir folder;
    QFile plain(folder.path() + "/plain");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    Variable log("FIXWATCH_LOG_DIR", plain.fileName().toLocal8Bit());
    PtyWindow w;
    w.form.endProgram = [] {};
    w.form.MenuRecord->trigger();
    ASSERT_TRUE(Start(w.form));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(w.form.MenuRecord->isChecked());
    EXPECT_TRUE(w.form.Status->Lab_Status[2]->text().startsWith("Recording stopped: cannot write " + plain.fileName() + "/"))
        << w.form.Status->Lab_Status[2]->text().toStdString();
}

TEST(RecordSentences, MenuEntriesFollowTheDataLoggerWithTheirShortcuts)
{
    MainForm form;
    const auto actions = form.MenuFile->actions();
    EXPECT_EQ(actions.mid(actions.indexOf(form.MenuSalvaDL), 3),
              QList<QAction*>({form.MenuSalvaDL, form.MenuRecord, form.MenuExportTrack}));
    EXPECT_EQ(form.MenuRecord->shortcut().toString() + " " + form.MenuExportTrack->shortcut().toString(), "Ctrl+R Ctrl+E");
    QString reason;
    EXPECT_FALSE(form.ExportTrackTo("/tmp/never.gpx", &reason));
    EXPECT_EQ(reason, "There is no recording to export yet: record sentences first.");
}

} // namespace
} // namespace fixwatch
