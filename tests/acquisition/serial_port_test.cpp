#include "port_device.h"
#include "pseudo_terminal.h"
#include "serial_port.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>

#include <sys/resource.h>

namespace fixwatch {
namespace {

using test::PseudoTerminal;

// Port numbers no test machine has a device for, each mapped to a test's own device.
constexpr int kPort = 201;
constexpr int kOtherPort = 202;

void MapPort(int port, const std::string& device)
{
    qputenv(("FIXWATCH_COM" + std::to_string(port)).c_str(), QByteArray::fromStdString(device));
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
        text += port.Input();
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

TEST(PortDevice, PortNumbersNameDevices)
{
    qunsetenv("FIXWATCH_COM3");
    EXPECT_EQ(DeviceForPort(1), "/dev/ttyS0");
    EXPECT_EQ(DeviceForPort(3), "/dev/ttyS2");
    qputenv("FIXWATCH_COM3", "/dev/ttyUSB0");
    EXPECT_EQ(DeviceForPort(3), "/dev/ttyUSB0");
    qputenv("FIXWATCH_COM3", "");
    EXPECT_EQ(DeviceForPort(3), "") << "a variable set empty names no device";
    qunsetenv("FIXWATCH_COM3");
    EXPECT_EQ(DeviceForPort(0), "");
    EXPECT_EQ(DeviceForPort(256), "");
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
    for (const char* text : {"9600,e,7,2", "38400,O,8,2", "150,N,5,1.5", " 300 , M , 6 , 1 "})
        EXPECT_TRUE(port.Settings(text)) << '"' << text << '"';
    EXPECT_FALSE(port.CommPort(0));
    EXPECT_FALSE(port.CommPort(256));
    EXPECT_EQ(port.CommPort(), 1);
    EXPECT_FALSE(port.Handshaking(4));
    EXPECT_EQ(port.Handshaking(), 0);
}

TEST(SerialPortOpen, FailsForAMissingOrUnsetDevice)
{
    SerialPort port;
    ASSERT_TRUE(port.CommPort(kOtherPort));
    for (const char* device : {"/dev/fixwatch-no-such-device", ""}) {
        qputenv("FIXWATCH_COM202", device);
        EXPECT_FALSE(port.PortOpen(true)) << device;
        EXPECT_FALSE(port.PortOpen());
        EXPECT_FALSE(port.ErrorText().isEmpty());
        EXPECT_EQ(port.Input(), "");
    }
    qunsetenv("FIXWATCH_COM202");
    EXPECT_FALSE(port.PortOpen(false)) << "closing a closed port is an error";
}

class SerialPortOnPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        MapPort(kPort, pty.Device());
        ASSERT_TRUE(port.CommPort(kPort));
    }
    void TearDown() override { qunsetenv("FIXWATCH_COM201"); }

    bool Open(const char* settings, int handshaking = 0)
    {
        return port.Settings(settings) && port.Handshaking(handshaking) && port.PortOpen(true);
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
            received += port.Input();   // sometimes polled with no event loop in between
        else
            QCoreApplication::processEvents();
    }
    received += ReadBytes(port, sent.size() - received.size());
    EXPECT_TRUE(received == sent) << "bytes changed, lost, repeated or reordered";
    EXPECT_EQ(port.Input(), "");
}

TEST_F(SerialPortOnPty, InputHasEverythingReceivedEvenWithoutTheEventLoop)
{
    ASSERT_TRUE(Open("38400,N,8,1"));
    pty.Write("$GPGGA,1*00\r\n$GPRMC,2*00\r\n");
    ASSERT_TRUE(pty.WaitUntilQueued(26));
    EXPECT_EQ(port.Input(), "$GPGGA,1*00\r\n$GPRMC,2*00\r\n");
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
                                                    << ": " << port.ErrorText().toStdString();
            EXPECT_TRUE(port.PortOpen(false));
        }
    }
}

TEST_F(SerialPortOnPty, OneAndAHalfStopBitsAreTheLongStopSettingAtFiveDataBits)
{
    // A pseudo-terminal keeps 8 data bits but does record the stop-bit setting.
    ASSERT_TRUE(Open("4800,N,5,1.5"));
    EXPECT_TRUE(pty.LineSettings().c_cflag & CSTOPB);
    ASSERT_TRUE(port.PortOpen(false));
    ASSERT_TRUE(Open("4800,N,8,1"));
    EXPECT_FALSE(pty.LineSettings().c_cflag & CSTOPB);
}

TEST_F(SerialPortOnPty, HandshakingBothSetsHardwareAndSoftwareFlowControl)
{
    ASSERT_TRUE(Open("4800,N,8,1", 3));
    const termios both = pty.LineSettings();
    EXPECT_TRUE(both.c_cflag & CRTSCTS);
    EXPECT_TRUE((both.c_iflag & IXON) && (both.c_iflag & IXOFF));
    ASSERT_TRUE(port.PortOpen(false));
    ASSERT_TRUE(Open("4800,N,8,1", 1));
    const termios software = pty.LineSettings();
    EXPECT_FALSE(software.c_cflag & CRTSCTS);
    EXPECT_TRUE(software.c_iflag & IXOFF);
}

TEST_F(SerialPortOnPty, ASecondPortOnTheSameDeviceCannotOpen)
{
    ASSERT_TRUE(Open("4800,N,8,1"));
    EXPECT_TRUE(port.PortOpen(true)) << "opening an open port changes nothing";
    EXPECT_FALSE(port.CommPort(3)) << "the port number cannot change while open";
    SerialPort second;
    MapPort(kOtherPort, pty.Device());
    ASSERT_TRUE(second.CommPort(kOtherPort));
    EXPECT_FALSE(second.PortOpen(true));
    qunsetenv("FIXWATCH_COM202");
    EXPECT_TRUE(port.PortOpen()) << "the first port keeps its device";
}

TEST_F(SerialPortOnPty, AVanishedDeviceIsClosedOnceWithoutSpinning)
{
    QSignalSpy lost(&port, &SerialPort::DeviceLost);
    ASSERT_TRUE(Open("4800,N,8,1"));
    pty.Write("$GPGGA,1*00\r\n");
    EXPECT_EQ(ReadBytes(port, 13), "$GPGGA,1*00\r\n");

    pty.CloseMaster();
    EXPECT_LT(CpuSecondsInEventLoop(500), 0.2) << "the event loop kept busy after the loss";
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(port.PortOpen());
    EXPECT_EQ(port.Input(), "");
    EXPECT_FALSE(port.PortOpen(false)) << "already closed";

    // The receiver comes back on another device: a new open works.
    PseudoTerminal back;
    MapPort(kPort, back.Device());
    ASSERT_TRUE(port.PortOpen(true)) << port.ErrorText().toStdString();
    back.Write("$GPRMC,2*00\r\n");
    EXPECT_EQ(ReadBytes(port, 13), "$GPRMC,2*00\r\n");
    EXPECT_EQ(lost.count(), 1);
}

} // namespace
} // namespace fixwatch
