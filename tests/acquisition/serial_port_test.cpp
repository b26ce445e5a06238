#include "pseudo_terminal.h"
#include "serial_port.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include <sys/resource.h>

namespace fixwatch {
namespace {


QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// Polls as the window does, the event loop running in between, until `count` bytes have
// come or two seconds have passed.
std::string ReadBytes(SerialPort& port, std::size_t count)
{
    std::string text;
    QElapsedTimer clock;
    clock.start();
    while (text.size() < count && clock.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        text += port.Read();
    }
    return text;
}

// Runs the event loop for `ms` milliseconds; the CPU time the process used meanwhile.
double CpuSecondsInEventLoop(int ms)
{
    const auto cpu = [] {
        rusage u{};
        ::getrusage(RUSAGE_SELF, &u);
        return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    const double before = cpu();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return cpu() - before;
}

TEST(SerialPortWrites, RefuseUnusableValuesAndKeepTheOldOnes)
{
    SerialPort port;
    ASSERT_TRUE(port.Settings("4800,N,8,1"));
    for (const char* text : {"", "4800,N,8", "4800,N,8,1,1", "fast,N,8,1", "0,N,8,1", "4800x,N,8,1",
                             "4800,X,8,1", "4800,N,9,1", "4800,N,8,3", "4800,N,8,", "4800,N,8,1.5",
                             "4800,N,7,1.5"}) {
        EXPECT_FALSE(port.Settings(text)) << '"' << text << '"';
        EXPECT_EQ(port.Settings(), "4800,N,8,1") << '"' << text << '"';
    }
    for (const char* text : {"9600,e,7,2", "38400,O,8,2", "150,N,5,1.5", " 300 , M , 6 , 1 ",
                             "115200,N,8,1"})
        EXPECT_TRUE(port.Settings(text)) << '"' << text << '"';
    EXPECT_FALSE(port.Handshaking(4));
    EXPECT_EQ(port.Handshaking(), 0);
}

TEST(SerialPortWrites, SayWhyInTheUsersWords)
{
    SerialPort port;
    EXPECT_FALSE(port.Settings("4800,N,8,1.5"));
    EXPECT_EQ(port.Reason(), "1.5 stop bits need 5 data bits.");
    EXPECT_EQ(SerialPort::ShortSettings("4800,N,8,1"), "4800 8N1");
    EXPECT_EQ(SerialPort::ShortSettings("9600,e,7,2"), "9600 7E2");
    EXPECT_EQ(SerialPort::ShortSettings("150,N,5,1.5"), "150 5N1.5");
}

TEST(SerialPortOpen, ReasonsNameTheDeviceAndWhatToDo)
{
    const struct {
        int error;
        const char* reason;
    } rows[] = {
        {ENOENT, "/dev/ttyUSB0 does not exist."},
        {ENXIO, "/dev/ttyUSB0 does not exist."},
        {EACCES, "Cannot open /dev/ttyUSB0: permission denied. Add your user to the dialout "
                 "group and log in again."},
        {EBUSY, "/dev/ttyUSB0 is busy: another program (often gpsd) is using it."},
        {0, "/dev/ttyUSB0 is busy: another program (often gpsd) is using it."},
        {EIO, "Cannot open /dev/ttyUSB0: input/output error."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(OpenFailureReason("/dev/ttyUSB0", row.error), row.reason) << "errno " << row.error;
}

TEST(SerialPortOpen, FailsForAMissingOrUnsetDevice)
{
    SerialPort port;
    EXPECT_FALSE(port.Open()) << "no device set";
    ASSERT_TRUE(port.SetDevice("/dev/fixwatch-no-such-device"));
    EXPECT_FALSE(port.Open());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Reason(), "/dev/fixwatch-no-such-device does not exist.");
    EXPECT_EQ(port.Read(), "");
    EXPECT_FALSE(port.Reconnect());
}

class SerialPortOnPty : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(port.SetDevice(Q(pty.Device()))); }

    bool Open(const char* settings, int handshaking = 0)
    {
        return port.Settings(settings) && port.Handshaking(handshaking) && port.Open();
    }

    PseudoTerminal pty;
    SerialPort port;
};

TEST_F(SerialPortOnPty, BytesArriveInOrderEachOnceLatinOneKept)
{
    ASSERT_TRUE(Open("4800,N,8,1"));
    std::string sent;
    for (int round = 0; round < 40; ++round)
        for (int b = 0; b < 256; ++b)
            sent += static_cast<char>(b);
    std::string received;
    for (std::size_t at = 0; at < sent.size(); at += 1000) {
        pty.Write(std::string_view(sent).substr(at, 1000));
        if (at % 3000 == 0)
            received += port.Read();   // sometimes polled with no event loop in between
        else
            QCoreApplication::processEvents();
    }
    received += ReadBytes(port, sent.size() - received.size());
    EXPECT_TRUE(received == sent) << "bytes changed, lost, repeated or reordered";
    EXPECT_EQ(port.Read(), "");
    EXPECT_EQ(port.Description(), Q(pty.Device()) + " \u00B7 4800 8N1");
}

TEST_F(SerialPortOnPty, InputHasEverythingReceivedEvenWithoutTheEventLoop)
{
    ASSERT_TRUE(Open("38400,N,8,1"));
    pty.Write("$GPGGA,1*00\r\n$GPRMC,2*00\r\n");
    ASSERT_TRUE(pty.WaitUntilQueued(26));
    EXPECT_EQ(port.Read(), "$GPGGA,1*00\r\n$GPRMC,2*00\r\n");
}

TEST_F(SerialPortOnPty, NullDiscardDropsNulBytesOnly)
{
    port.NullDiscard(true);
    ASSERT_TRUE(Open("4800,N,8,1"));
    pty.Write(std::string("$GP\0GGA\0,\xB0\0", 11));
    EXPECT_EQ(ReadBytes(port, 8), "$GPGGA,\xB0");
}

TEST_F(SerialPortOnPty, EverySettingOpensOnAPseudoTerminal)
{
    port.DTREnable(true);
    port.RTSEnable(true);
    for (const char* settings : {"150,E,7,2", "38400,O,6,1", "9600,N,5,1.5"}) {
        for (int handshaking = 0; handshaking <= 3; ++handshaking) {
            EXPECT_TRUE(Open(settings, handshaking)) << settings << " handshaking " << handshaking
                                                    << ": " << port.Reason().toStdString();
            port.Close();
        }
    }
}

TEST_F(SerialPortOnPty, OneAndAHalfStopBitsAreTheLongStopSettingAtFiveDataBits)
{
    // A pseudo-terminal keeps 8 data bits but does record the stop-bit setting.
    ASSERT_TRUE(Open("4800,N,5,1.5"));
    EXPECT_TRUE(pty.LineSettings().c_cflag & CSTOPB);
    port.Close();
    ASSERT_TRUE(Open("4800,N,8,1"));
    EXPECT_FALSE(pty.LineSettings().c_cflag & CSTOPB);
}

TEST_F(SerialPortOnPty, HandshakingBothSetsHardwareAndSoftwareFlowControl)
{
    ASSERT_TRUE(Open("4800,N,8,1", 3));
    const termios both = pty.LineSettings();
    EXPECT_TRUE(both.c_cflag & CRTSCTS);
    EXPECT_TRUE((both.c_iflag & IXON) && (both.c_iflag & IXOFF));
    port.Close();
    ASSERT_TRUE(Open("4800,N,8,1", 1));
    const termios software = pty.LineSettings();
    EXPECT_FALSE(software.c_cflag & CRTSCTS);
    EXPECT_TRUE(software.c_iflag & IXOFF);
}

TEST_F(SerialPortOnPty, ASecondPortOnTheSameDeviceIsToldItIsBusy)
{
    ASSERT_TRUE(Open("4800,N,8,1"));
    EXPECT_TRUE(port.Open()) << "opening an open port changes nothing";
    EXPECT_FALSE(port.SetDevice("/dev/ttyS0")) << "the device cannot change while open";
    SerialPort second;
    ASSERT_TRUE(second.SetDevice(Q(pty.Device())));
    EXPECT_FALSE(second.Open());
    EXPECT_EQ(second.Reason(), Q(pty.Device()) + " is busy: another program (often gpsd) is using it.");
    EXPECT_TRUE(port.IsOpen()) << "the first port keeps its device";
}

TEST_F(SerialPortOnPty, AFloodIsHandedOutBoundedNewestFirst)
{
    ASSERT_TRUE(Open("115200,N,8,1"));
    // Numbered lines until neither Qt's buffer nor the terminal takes more, while nobody
    // reads: far more than one Read hands out.
    std::string written;
    for (int line = 0, refused = 0; refused < 20; ++line) {
        const std::string text = "$FLOOD," + std::to_string(line) + std::string(60, 'x') + "\r\n";
        const std::size_t taken = pty.WriteWithoutWaiting(text);
        written += text.substr(0, taken);
        if (taken < text.size()) {
            ++refused;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }
    ASSERT_GT(written.size(), ReceiverSource::kMaxReadLength);
    const std::string text = port.Read();
    ASSERT_EQ(text.size(), ReceiverSource::kMaxReadLength);
    // The terminal may still be moving the last bytes written: one Read gives a piece of
    // the text in order with the oldest dropped, and the next reads bring the rest, nothing
    // newer lost.
    const auto at = written.find(text);
    ASSERT_NE(at, std::string::npos) << "not a piece of the text in order";
    EXPECT_GT(at, 0u) << "the oldest text should have been dropped";
    const std::string rest = ReadBytes(port, written.size() - at - text.size());
    EXPECT_TRUE(text + rest == written.substr(at));
}

TEST_F(SerialPortOnPty, AVanishedDeviceIsClosedOnceWithoutSpinning)
{
    QSignalSpy lost(&port, &ReceiverSource::Lost);
    ASSERT_TRUE(Open("4800,N,8,1"));
    pty.Write("$GPGGA,1*00\r\n");
    EXPECT_EQ(ReadBytes(port, 13), "$GPGGA,1*00\r\n");

    pty.CloseMaster();
    EXPECT_LT(CpuSecondsInEventLoop(500), 0.2) << "the event loop kept busy after the loss";
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Read(), "");
}

} // namespace
} // namespace fixwatch
