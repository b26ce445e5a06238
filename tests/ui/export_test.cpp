// "Export track..." on the real window: it runs beside the window with its progress and
// Cancel, refuses what never ends, and says in the status bar what it wrote.
#include "capture_receiver.h"

#include <QProgressDialog>
#include <QPushButton>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>

namespace fixwatch {
namespace {

using namespace test;

struct ExportWindow : ::testing::Test, LogFolder {
    void SetUp() override
    {
        ForgetMachinePorts(form);
        form.endProgram = [] {};
        form.askExportFile = [this](const QString&) { return target; };
    }
    // Port 3 names `address`, and is the chosen one.
    void ChoosePort(const std::string& address)
    {
        port.reset(); // the old one puts the variable back as it found it
        port = std::make_unique<PortVariable>(3, address);
        Comm(form).Ports().Refresh();
        Control<QComboBox>(form, "Cmb_COM")->setCurrentIndex(2);
    }
    bool Exporting() const { return form.findChild<QProgressDialog*>("ExportProgress") != nullptr; }
    QString LoggerText() const { return StatusText(form, kLoggerStatus); }

    QString target = Path("track.gpx");
    std::unique_ptr<PortVariable> port;
    MainForm form{"/G+"};
};

TEST_F(ExportWindow, APortThatNamesAFileIsExportedBeforeStartBesideTheWindow)
{
    FIXWATCH_NEED_CAPTURES("garmin48.nmea");
    ChoosePort("file://" + CapturePath("garmin48.nmea").string());
    Trigger(form, "MenuExportTrack");
    EXPECT_TRUE(Exporting()) << "the window is handed back before the track is written";
    ASSERT_TRUE(TickUntil(form, [&] { return !Exporting(); }));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(LoggerText(), QStringLiteral("Exported 7 points to \u2026/track.gpx"));
    EXPECT_EQ(FileContents(target).count("<trkpt "), 7);
    const QByteArray command = "xmllint --noout " + QFile::encodeName(target);
    EXPECT_EQ(std::system(command.constData()), 0);
}

// A pipe, which would hold the window while opened, stands for every file that is not a
// regular one (a device such as /dev/zero is refused by the same test).
TEST_F(ExportWindow, WhatNeverEndsIsRefusedWithAReasonAndNothingWritten)
{
    const QString fifo = Path("receiver.fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ChoosePort("file://" + fifo.toStdString());
    const BoxAnswerer answer;
    Trigger(form, "MenuExportTrack");
    EXPECT_FALSE(Exporting());
    EXPECT_TRUE(answer.Said().startsWith(fifo + " is not a file on disk but a device or a pipe")) << answer.Said().toStdString();
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(ExportWindow, CancelLeavesTheTargetAsItWasAndSaysSo)
{
    FIXWATCH_NEED_CAPTURES("garmin48.nmea");
    // Several pieces' worth of a real capture, so that Cancel comes while it is written.
    const QByteArray capture = FileContents(QString::fromStdString(CapturePath("garmin48.nmea").string()));
    const QString big = Path("big.nmea");
    ASSERT_TRUE(WriteFile(big, capture.repeated(static_cast<qsizetype>(3 * RecordingExport::kStepBytes / capture.size() + 1))));
    ASSERT_TRUE(WriteFile(target, "as it was"));

    ChoosePort("file://" + big.toStdString());
    Trigger(form, "MenuExportTrack");
    auto* progress = form.findChild<QProgressDialog*>("ExportProgress");
    ASSERT_NE(progress, nullptr);
    QCoreApplication::processEvents(); // one piece
    EXPECT_TRUE(Exporting());
    EXPECT_GT(progress->value(), 0);
    EXPECT_LT(progress->value(), progress->maximum());
    auto* cancel = progress->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    EXPECT_FALSE(Exporting());
    EXPECT_EQ(FileContents(target), "as it was");
    EXPECT_TRUE(LoggerText().startsWith("Export cancelled")) << LoggerText().toStdString();
}

} // namespace
} // namespace fixwatch
