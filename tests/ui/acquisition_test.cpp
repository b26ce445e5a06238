// Start, ticks and Stop through real pseudo-terminals standing in for the receiver: what a
// silent, vanishing, returning, flooding or refusing receiver does to the window.
#include "capture_receiver.h"
#include "gpsd_harness.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace fixwatch {
namespace {

using namespace test;

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// Lines split across reads are joined by acquisition.SentenceAssembly; here the window's ticks
// and its Start and Stop.
TEST(AcquisitionThroughAPseudoTerminal, TicksFillTheDisplayAndStopKeepsIt)
{
    PtyWindow w;
    MainForm& form = w.form;
    ASSERT_TRUE(Start(form));
    EXPECT_TRUE(Control<QTimer>(form, "Timer_Lett")->isActive());
    EXPECT_TRUE(Control<QAction>(form, "MenuStart", 1)->isEnabled());
    w.Send(SampleSecondText());
    EXPECT_EQ(FixLabel(form, kTime)->text(), "12:35:19");

    Stop(form);
    EXPECT_FALSE(Control<QTimer>(form, "Timer_Lett")->isActive());
    EXPECT_EQ(FixLabel(form, kAltitude)->text(), "545.4") << "Stop keeps the values";
    EXPECT_TRUE(Control<QPushButton>(form, "Cmd_StartStop", 0)->isEnabled());
}

// Lines that end in LF alone: without All GNSS the fix stays empty and the status bar says how
// to read them; with it they are read, recorded with CR LF (recording.SentenceRecorder), and
// nothing needs saying.
TEST(AcquisitionThroughAPseudoTerminal, AReceiverWhoseLinesEndInLfAloneIsToldHowToBeReadOrReadWithAllGnss)
{
    FIXWATCH_NEED_CAPTURES("GPSmap-76S.nmea");
    std::string text = RealCapture("GPSmap-76S.nmea", 40);
    std::erase(text, '\r');
    const struct {
        const char* commandLine;
        QString state; // how the link's state begins
        bool fixShown;
    } rows[] = {
        {"", "Receiving lines that end in LF only: check All GNSS on the Communication tab, or start with /G+", false},
        {"/G+", "Receiving \u00B7 ", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.commandLine);
        PtyWindow w(row.commandLine);
        w.Receive(text);
        EXPECT_TRUE(StatusText(w.form, kLinkStatus).startsWith(row.state)) << StatusText(w.form, kLinkStatus).toStdString();
        EXPECT_EQ(FixLabel(w.form, kTime)->text().isEmpty(), !row.fixShown);
    }
}

TEST(AcquisitionThroughAPseudoTerminal, AReceiverThatVanishesIsOpenedAgainWhenItComesBack)
{
    // The port names a link, as udev makes /dev/serial/by-id/... for a USB receiver, and the
    // link is made again for the new device node when the receiver comes back.
    QTemporaryDir folder;
    const QString link = folder.filePath("usb-receiver");
    auto first = std::make_unique<PseudoTerminal>();
    ASSERT_TRUE(QFile::link(Q(first->Device()), link));
    PortVariable port(1, link.toStdString());
    MainForm form;
    QLabel* state = Control<QLabel>(form, "Lab_Status", kLinkStatus);
    const auto lost = [&] { return Comm(form).LinkState() == CommControl::State::Lost; };
    ASSERT_TRUE(Start(form));
    first->Write(Line("$GPGGA,120000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
    ASSERT_TRUE(TickUntil(form, [&] { return FixLabel(form, kTime)->text() == "12:00:00"; }));

    // Unplugged: no message, still running, Stop available, the values kept.
    first->CloseMaster();
    ASSERT_TRUE(TickUntil(form, lost));
    EXPECT_EQ(state->text(), "Receiver lost (" + link + "): waiting for it to come back");
    for (int tick = 0; tick < 3; ++tick)
        TickReading(form);
    EXPECT_TRUE(Acquiring(form));
    EXPECT_TRUE(Control<QTimer>(form, "Timer_Lett")->isActive());
    EXPECT_EQ(FixLabel(form, kTime)->text(), "12:00:00");
    EXPECT_TRUE(lost());

    // Plugged in again: a new device node under the same name; reading goes on by itself.
    first.reset();
    PseudoTerminal second;
    ASSERT_TRUE(QFile::remove(link));
    ASSERT_TRUE(QFile::link(Q(second.Device()), link));
    TickReading(form);
    EXPECT_EQ(Comm(form).LinkState(), CommControl::State::Open);
    EXPECT_TRUE(state->text().startsWith("Receiver back (" + link + ")")) << state->text().toStdString();
    second.Write(Line("$GPGGA,120005,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
    EXPECT_TRUE(TickUntil(form, [&] { return FixLabel(form, kTime)->text() == "12:00:05"; }));

    // Lost again, then Stop ends the waiting.
    second.CloseMaster();
    ASSERT_TRUE(TickUntil(form, lost));
    Stop(form);
    EXPECT_EQ(Comm(form).LinkState(), CommControl::State::Closed);
    EXPECT_EQ(state->text(), "Stopped");
}

// A flood is bounded by the port, which hands out whole lines only (acquisition.SerialPortOnPty),
// and no line is made of pieces of two (acquisition.ReceiverSession); here the status bar says
// how much went.
TEST(AcquisitionThroughAPseudoTerminal, AFloodingReceiverIsSaidToSendFasterThanTheWindowReads)
{
    PtyWindow w("/S115200,N,8,1");
    ASSERT_TRUE(Start(w.form));
    // Far more than a tick holds, with nobody reading meanwhile; the event loop takes it from
    // the terminal until the port holds all it keeps.
    const std::string line = Line("$GPTXT,01,01,02," + std::string(40, 'x'));
    std::size_t written = 0;
    QElapsedTimer running;
    running.start();
    for (int refused = 0; refused < 20 || written < 2 * ReceiverSource::kMaxReadLength;) {
        ASSERT_LT(running.elapsed(), 20000) << "the port stopped taking the flood";
        const std::size_t taken = w.receiver.WriteWithoutWaiting(line);
        written += taken;
        if (taken < line.size()) {
            ++refused;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }
    TickReading(w.form);
    const QString state = StatusText(w.form, kLinkStatus);
    EXPECT_TRUE(state.startsWith("Lost ") && state.endsWith(" s: the receiver sends faster than the window reads"))
        << state.toStdString();
}

TEST(AcquisitionThroughAPseudoTerminal, AFailedStartSaysWhyInTheStatusBarAndOnStandardError)
{
    PseudoTerminal held;
    const QString unused = QString::number(GpsdHarness::FreePort());
    // A data logger's position file: records, no sentence.
    LogFolder logs;
    const QString records = logs.Path("2026-12-08.log");
    ASSERT_TRUE(WriteFile(records, "08/12/2026;10:15:00;45 27.458 S;167 09.165 E;14.7;0.0\r\n"));
    // Settings the port refuses, a port number it does not have, a port that does not open (here
    // a gpsd that is not there; a serial port's reasons are pinned by acquisition.SerialPortOpen)
    // and a file to replay that holds no sentence (acquisition.FileSourceTest).
    const struct {
        std::string device; // FIXWATCH_COM1, or nothing
        const char* commandLine;
        QString reason;
    } rows[] = {
        {held.Device(), "/S4800,N,8,1.5", "1.5 stop bits need 5 data bits."},
        {"", "/C5", "No serial port 5 on this machine."},
        {"gpsd://127.0.0.1:" + unused.toStdString(), "",
         "Cannot connect to gpsd on 127.0.0.1:" + unused + ": connection refused. Is gpsd running?"},
        {"file://" + records.toStdString(), "", "No NMEA sentence in " + records + "."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason.toStdString());
        std::unique_ptr<PortVariable> port;
        if (!row.device.empty())
            port = std::make_unique<PortVariable>(1, row.device);
        MainForm form(row.commandLine);
        ForgetMachinePorts(form);
        std::ostringstream errors;
        std::streambuf* const cerr = std::cerr.rdbuf(errors.rdbuf());
        const BoxAnswerer answer;
        Start(form);
        std::cerr.rdbuf(cerr);
        EXPECT_FALSE(Acquiring(form));
        EXPECT_EQ(Tabs(form).currentIndex(), 3);
        EXPECT_EQ(StatusText(form, kLinkStatus), row.reason);
        EXPECT_EQ(errors.str(), "fixwatch: " + row.reason.toStdString() + "\n");
    }
}

} // namespace
} // namespace fixwatch
