// Receiver B on the Compare tab: its port, its link's states, its refusal of A's device, its
// recording, and A going on undisturbed beside it. --compare-with is pinned by ui.ViewOptions.
#include "capture_receiver.h"
#include "status_line.h"

#include <gtest/gtest.h>

#include <QFile>

namespace fixwatch {
namespace {

using namespace test;

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString CompareStatus(const MainForm& form) { return Control<QLabel>(form, "Lab_CompareStatus")->text(); }
QComboBox* ComparePort(const MainForm& form) { return Control<QComboBox>(form, "Cmb_CompareCOM"); }

// Writes to a receiver and ticks until the window has read it all.
void Send(MainForm& form, PseudoTerminal& receiver, const std::string& text)
{
    receiver.Write(text);
    ASSERT_TRUE(receiver.WaitUntilQueued(static_cast<int>(text.size())));
    TickReading(form);
}

const std::string kGgaA = Line("$GPGGA,120000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const std::string kGgaB = Line("$GNGGA,120000.00,4916.450,N,12311.120,W,1,08,0.9,100.0,M,-17.0,M,,")
                          + Line("$GAGSV,1,1,01,07,30,120,38,7");

TEST(CompareTab, ReceiverBBesideAHasItsOwnLinkStatesAndRecordingAndLeavesAAlone)
{
    LogFolder logs;
    PseudoTerminal a, b;
    const QString device = Q(b.Device());
    PortVariable portA(1, a.Device());
    PortVariable portB(2, b.Device());
    MainForm form;
    ForgetMachinePorts(form);
    qint64 now = 0;
    Control<StatusLine>(form, "StatusLine")->clock = [&now] { return now; };
    form.utcNow = [] { return QDateTime(QDate(2026, 12, 7), QTime(10, 15, 0), Qt::UTC); };
    Trigger(form, "MenuRecord");

    QComboBox* ports = ComparePort(form);
    EXPECT_EQ(ports->itemText(0), "None");
    EXPECT_EQ(ports->count(), Control<QComboBox>(form, "Cmb_COM")->count() + 1);
    EXPECT_EQ(CompareStatus(form), "B: no receiver chosen");
    ports->setCurrentIndex(2);
    EXPECT_EQ(CompareStatus(form), "B: " + device + " \u00B7 Stopped");
    EXPECT_TRUE(ports->toolTip().contains("serial settings")) << ports->toolTip().toStdString();

    const QString fixBefore = Texts(Controls<QLabel>(form, "Lab_Posizione", kFixFieldCount));
    ASSERT_TRUE(Start(form));
    EXPECT_EQ(CompareStatus(form), "B: " + device + " \u00B7 Receiving \u00B7 0 sentences/s");
    Send(form, b, kGgaB);
    EXPECT_EQ(CompareStatus(form), "B: " + device + " \u00B7 Receiving \u00B7 2 sentences/s");
    EXPECT_EQ(Texts(Controls<QLabel>(form, "Lab_Posizione", kFixFieldCount)), fixBefore) << "B's fix is not A's";
    EXPECT_EQ(StatusText(form, kLinkStatus), "Receiving \u00B7 0 sentences/s");

    // B unplugged: A reads on, B waits for its receiver. Coming back is the same link's, pinned
    // for A by ui.AcquisitionThroughAPseudoTerminal.
    b.CloseMaster();
    ASSERT_TRUE(TickUntil(form, [&] { return CompareStatus(form).contains("Receiver lost"); }));
    EXPECT_EQ(CompareStatus(form), "B: " + device + " \u00B7 Receiver lost (" + device + "): waiting for it to come back");
    Send(form, a, kGgaA);
    EXPECT_EQ(FixLabel(form, kTime)->text(), "12:00:00");
    EXPECT_TRUE(Acquiring(form));
    EXPECT_TRUE(StatusText(form, kLinkStatus).startsWith("Receiving")) << StatusText(form, kLinkStatus).toStdString();

    Stop(form);
    EXPECT_EQ(CompareStatus(form), "B: " + device + " \u00B7 Stopped");
    EXPECT_EQ(Control<CommControl>(form, "MSCommCompare")->LinkState(), CommControl::State::Closed);
    // Record sentences records B beside A, with B in the name.
    EXPECT_EQ(FileContents(logs.Path("2026-12-07T10-15-00.nmea")).toStdString(), kGgaA);
    EXPECT_EQ(FileContents(logs.Path("2026-12-07T10-15-00-b.nmea")).toStdString(), kGgaB);
}

TEST(CompareTab, BThatCannotStartSaysWhyAndAStartsAllTheSame)
{
    QTemporaryDir folder;
    PseudoTerminal a;
    const QString otherName = folder.filePath("receiver-a");
    ASSERT_TRUE(QFile::link(Q(a.Device()), otherName));
    PortVariable portA(1, a.Device());
    PortVariable portAgain(2, otherName.toStdString());
    PortVariable missing(3, "/nonexistent/ttyB");
    struct Case {
        const char* legend;
        int port;
        QString status;
    };
    const Case cases[] = {
        {"A's own port", 1, "B: not started: " + Q(a.Device()) + " is already receiver A's port"},
        {"A's device by another name", 2, "B: not started: " + otherName + " is already receiver A's port"},
        {"a device that is not there", 3, "B: not started: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.legend);
        MainForm form;
        ForgetMachinePorts(form);
        ComparePort(form)->setCurrentIndex(c.port);
        ASSERT_TRUE(Start(form));
        EXPECT_TRUE(CompareStatus(form).startsWith(c.status)) << CompareStatus(form).toStdString();
        Send(form, a, kGgaA);
        EXPECT_EQ(FixLabel(form, kTime)->text(), "12:00:00");
        Stop(form);
        EXPECT_TRUE(CompareStatus(form).startsWith(c.status)) << "the reason stays until the next Start";
    }
}

} // namespace
} // namespace fixwatch
