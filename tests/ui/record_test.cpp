// "Record sentences" on the real window: a real capture sent through a pseudo-terminal is
// found byte for byte in the recording, Stop and Exit lose nothing, a recording that cannot
// be written says why in the status bar, and the recording's track can be exported.
#include "captures.h"
#include "capture_receiver.h"
#include "window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using test::PortVariable;
using test::RealCapture;
using test::Receive;
using test::Variable;

constexpr const char* kCapture = "GPSmap-76S.nmea";
const QDateTime kStart(QDate(2026, 12, 7), QTime(10, 15, 0), Qt::UTC);

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct RecordingWindow {
    explicit RecordingWindow(const std::string& device) : port(1, device), form("/G+")
    {
        form.endProgram = [] {};
        form.utcNow = [] { return kStart; };
        form.MenuRecord->setChecked(true);
        form.MenuRecord_Click();
    }
    QString Path() const { return folder.path() + "/2026-12-07T10-15-00.nmea"; }

    QTemporaryDir folder;
    Variable log{"FIXWATCH_LOG_DIR", folder.path().toLocal8Bit()};
    PortVariable port;
    MainForm form;
};

TEST(RecordSentences, TheRecordingIsByteEqualToWhatTheReceiverSentAndStopLosesNothing)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    const std::string text = RealCapture(kCapture, 400);
    PseudoTerminal receiver;
    RecordingWindow window(receiver.Device());
    // Checked while stopped: nothing is recorded before Start.
    EXPECT_FALSE(window.form.Recorder().Recording());
    Receive(window.form, receiver, text);
    EXPECT_TRUE(window.form.Status->Lab_Status[2]->text().startsWith(
        QStringLiteral("Recording to \u2026/2026-12-07T10-15-00.nmea \u00b7 ")))
        << window.form.Status->Lab_Status[2]->text().toStdString();
    window.form.Cmd_StartStop_Click(1);
    EXPECT_EQ(Contents(window.Path()).toStdString(), text);

    // The recording's track, as a spreadsheet would take it.
    QString reason;
    EXPECT_TRUE(window.form.ExportTrackTo(window.folder.path() + "/track.csv", &reason)) << reason.toStdString();
    EXPECT_GT(Contents(window.folder.path() + "/track.csv").count('\n'), 10);
}

TEST(RecordSentences, ExitWritesEverythingReceivedBeforeTheProgramEnds)
{
    FIXWATCH_NEED_CAPTURES(kCapture);
    const std::string text = RealCapture(kCapture, 50);
    PseudoTerminal receiver;
    RecordingWindow window(receiver.Device());
    // The last piece is read at the tick but no flush follows before Exit.
    window.form.Cmd_StartStop_Click(0);
    receiver.Write(text);
    ASSERT_TRUE(receiver.WaitUntilQueued(static_cast<int>(text.size())));
    window.form.Session().PollOnce();
    window.form.MenuFine_Click();
    EXPECT_FALSE(window.form.Recorder().Recording());
    EXPECT_EQ(Contents(window.Path()).toStdString(), text);
}

TEST(RecordSentences, ARecordingThatCannotBeWrittenSaysWhyInTheStatusBarWithoutABox)
{
    PseudoTerminal receiver;
    QTemporaryDir folder;
    QFile plain(folder.path() + "/plain");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    Variable log("FIXWATCH_LOG_DIR", (folder.path() + "/plain").toLocal8Bit());
    PortVariable port(1, receiver.Device());
    MainForm form;
    form.endProgram = [] {};
    form.MenuRecord->trigger();
    form.Cmd_StartStop_Click(0);
    ASSERT_TRUE(form.AcquisitionRunning());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(form.MenuRecord->isChecked());
    EXPECT_TRUE(form.Status->Lab_Status[2]->text().startsWith(
        QStringLiteral("Recording stopped: cannot write ") + folder.path() + "/plain/"))
        << form.Status->Lab_Status[2]->text().toStdString();
}

TEST(RecordSentences, MenuEntriesFollowTheDataLoggerWithTheirShortcuts)
{
    MainForm form;
    const auto actions = form.MenuFile->actions();
    const auto logger = actions.indexOf(form.MenuSalvaDL);
    ASSERT_GE(logger, 0);
    EXPECT_EQ(actions.value(logger + 1), form.MenuRecord);
    EXPECT_EQ(actions.value(logger + 2), form.MenuExportTrack);
    EXPECT_EQ(form.MenuRecord->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(form.MenuExportTrack->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    QString reason;
    EXPECT_FALSE(form.ExportTrackTo("/tmp/never.gpx", &reason));
    EXPECT_EQ(reason, "There is no recording to export yet: record sentences first.");
}

} // namespace
} // namespace fixwatch
