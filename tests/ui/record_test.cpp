// "Record sentences" on the real window, fed a real capture through a pseudo-terminal.
#include "capture_receiver.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <set>
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

TEST(RecordSentences, AReceiverWhoseLinesEndInLfAloneIsRecordedAndReadWithAllGnss)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    const std::string text = RealCapture(kCapture, 100);
    std::string lfOnly = text;
    std::erase(lfOnly, '\r');
    RecordingWindow w;
    w.Receive(lfOnly);
    EXPECT_NE(w.form.Lab_Posizione[0]->text(), "") << "the fix shows";
    EXPECT_TRUE(w.form.Status->Lab_Status[1]->text().startsWith("Receiving \u00b7 "))
        << w.form.Status->Lab_Status[1]->text().toStdString();
    w.form.Cmd_StartStop_Click(1);
    EXPECT_EQ(w.Recorded().toStdString(), text) << "every line, ended as every recording is";
}

TEST(RecordSentences, AnOverloadDropsWholeLinesOnlyAndSaysHowMuchWasLost)
{
    RecordingWindow w("/G+ /S115200,N,8,1");
    ASSERT_TRUE(Start(w.form));
    // Numbered sentences, far more than a tick holds, with nobody reading meanwhile; the
    // event loop takes them from the terminal until the port holds all it keeps.
    std::set<std::string> sent;
    std::size_t written = 0;
    std::string pending;
    QElapsedTimer running;
    running.start();
    for (int n = 0, refused = 0; refused < 20 || written < 2 * ReceiverSource::kMaxReadLength;) {
        ASSERT_LT(running.elapsed(), 20000) << "the port stopped taking the flood";
        if (pending.empty()) {
            pending = Line("$GPTXT,01,01,02," + std::to_string(n++) + std::string(40, 'x'));
            sent.insert(pending.substr(0, pending.size() - 2));
        }
        const std::size_t taken = w.receiver.WriteWithoutWaiting(pending);
        pending.erase(0, taken);
        written += taken;
        if (!pending.empty()) {
            ++refused;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }
    // The last sentence goes whole, so that every line the port hands out was sent.
    while (!pending.empty()) {
        ASSERT_LT(running.elapsed(), 20000);
        w.form.Timer_Lett_Timer();
        pending.erase(0, w.receiver.WriteWithoutWaiting(pending));
    }
    w.form.Timer_Lett_Timer();
    const QString state = w.form.Status->Lab_Status[1]->text();
    EXPECT_TRUE(state.startsWith("Lost ") && state.endsWith(" s: the receiver sends faster than the window reads"))
        << state.toStdString();
    w.form.Cmd_StartStop_Click(1);

    const QList<QByteArray> recorded = w.Recorded().split('\n');
    ASSERT_GT(recorded.size(), 100);
    int lines = 0;
    for (const QByteArray& line : recorded) {
        if (line.isEmpty())
            continue;
        ASSERT_TRUE(line.endsWith('\r')) << line.toStdString();
        EXPECT_TRUE(sent.count(line.chopped(1).toStdString())) << "never sent: " << line.toStdString();
        ++lines;
    }
    EXPECT_LT(lines, static_cast<int>(sent.size())) << "nothing was lost, so nothing was tested";
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
