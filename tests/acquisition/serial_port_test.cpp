#include "pseudo_terminal.h"
#include "serial_port.h"
#include "sealed.h"
#include "test_peers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTemporaryDir>
#include <QFile>
#include <QSocketNotifier>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace fixwatch {
namespace {

// Polls as the window does until `count` bytes have come or two seconds have passed.
std::string ReadBytes(SerialPort& port, std::size_t count)
{
    const auto enough = [count](const std::string& text) { return text.size() >= count; };
    return test::ReadUntil(port, enough, std::chrono::seconds(2));
}

TEST(SerialPortSettings, UnusableValuesAreRefusedWithTheOldOnesKept)
{
    SerialPort port;
    ASSERT_TRUE(port.Settings("4800,N,8,1"));
    for (const char* text : {"", "4800,N,8", "4800,N,8,1,1", "fast,N,8,1", "0,N,8,1", "4800x,N,8,1",
                             "4800,X,8,1", "4800,N,9,1", "4800,N,8,3", "4800,N,8,", "4800,N,7,1.5"}) {
        EXPECT_FALSE(port.Settings(text)) << '"' << text << '"';
        EXPECT_EQ(port.Settings(), "4800,N,8,1") << '"' << text << '"';
    }
    EXPECT_FALSE(port.Settings("4800,N,8,1.5"));
    EXPECT_EQ(port.Reason(), "1.5 stop bits need 5 data bits.");
    for (const char* text : {"9600,e,7,2", "150,N,5,1.5", " 300 , M , 6 , 1 ", "115200,N,8,1"})
        EXPECT_TRUE(port.Settings(text)) << '"' << text << '"';
    EXPECT_FALSE(port.Handshaking(4));
    EXPECT_EQ(SerialPort::ShortSettings("9600,e,7,2"), "9600 7E2");
    EXPECT_EQ(SerialPort::ShortSettings("150,N,5,1.5"), "150 5N1.5");
}

TEST(SerialPortOpen, AFailureNamesTheDeviceAndWhatToDoAndANonSerialPortIsCalledSoNotBusy)
{
    const std::pair<int, const char*> rows[] = {
        {ENXIO, "/dev/ttyUSB0 does not exist."},
        {EACCES,
         "Cannot open /dev/ttyUSB0: permission denied. Add your user to the dialout group and log in again."},
        {EBUSY, "/dev/ttyUSB0 is busy: another program (often gpsd) is using it."},
        {0, "/dev/ttyUSB0 is busy: another program (often gpsd) is using it."},
        {EIO, "Cannot open /dev/ttyUSB0: input/output error."},
    };
    for (const auto& [error, reason] : rows)
        EXPECT_EQ(OpenFailureReason("/dev/ttyUSB0", error), reason) << "errno " << error;

    EXPECT_FALSE(SerialPort().Open()) << "no device set";

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("track.nmea"));
    QFile(file).open(QIODevice::WriteOnly);
    const std::pair<QString, QString> devices[] = {
        {"/dev/fixwatch-no-such-device", "/dev/fixwatch-no-such-device does not exist."},
        {"/dev/null", "/dev/null is not a serial port."},
        {file, file + " is a regular file, not a serial port."},
        {folder.path(), folder.path() + " is a folder, not a serial port."},
    };
    for (const auto& [device, reason] : devices) {
        SerialPort port;
        ASSERT_TRUE(port.SetDevice(device));
        EXPECT_FALSE(port.Open()) << qPrintable(device);
        EXPECT_EQ(port.Reason(), reason);
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(port.Read(), "");
        EXPECT_FALSE(port.Reconnect());
    }
}

class SerialPortOnPty : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(port.SetDevice(QString::fromStdString(pty.Device()))); }

    bool Open(const char* settings, int handshaking = 0)
    {
        return port.Settings(settings) && port.Handshaking(handshaking) && port.Open();
    }

    PseudoTerminal pty;
    SerialPort port;
};

TEST_F(SerialPortOnPty, EveryByteArrivesOnceInOrderWithOrWithoutTheEventLoop)
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
            received += port.Read(); // polled with no event loop in between
        else
            QCoreApplication::processEvents();
    }
    received += ReadBytes(port, sent.size() - received.size());
    EXPECT_TRUE(received == sent) << "bytes changed, lost, repeated or reordered";
    EXPECT_EQ(port.Description(), QString::fromStdString(pty.Device()) + " \u00B7 4800 8N1");

    port.Close();
    port.NullDiscard(true);
    ASSERT_TRUE(Open("4800,N,8,1"));
    pty.Write(std::string("$GP\0GGA\0,\xB0\0", 11));
    ASSERT_TRUE(pty.WaitUntilQueued(11));
    EXPECT_EQ(port.Read(), "$GPGGA,\xB0") << "NUL bytes alone are discarded";
}

TEST_F(SerialPortOnPty, TheLineSettingsAndHandshakingAreApplied)
{
    const struct {
        const char* settings;
        int handshaking;
        speed_t speed;
        bool twoStopBits, rtsCts, xonXoff;
    } rows[] = {
        {"150,E,7,2", 0, B150, true, false, false},
        {"9600,N,5,1.5", 1, B9600, true, false, true}, // 1.5 stop bits are the long stop setting
        {"38400,O,6,1", 2, B38400, false, true, false},
        {"115200,N,8,1", 3, B115200, false, true, true},
    };
    port.DTREnable(true);
    port.RTSEnable(true);
    for (const auto& row : rows) {
        ASSERT_TRUE(Open(row.settings, row.handshaking)) << row.settings << ": " << qPrintable(port.Reason());
        const termios line = pty.LineSettings();
        EXPECT_EQ(::cfgetispeed(&line), row.speed) << row.settings;
        EXPECT_EQ(bool(line.c_cflag & CSTOPB), row.twoStopBits) << row.settings;
        EXPECT_EQ(bool(line.c_cflag & CRTSCTS), row.rtsCts) << row.settings;
        EXPECT_EQ(bool(line.c_iflag & IXON) && bool(line.c_iflag & IXOFF), row.xonXoff) << row.settings;
        port.Close();
    }
}

TEST_F(SerialPortOnPty, AFloodIsHandedOutBoundedInWholeLinesNewestFirstAndItsLossCounted)
{
    ASSERT_TRUE(Open("115200,N,8,1"));
    // Numbered lines until neither Qt's buffer nor the terminal takes more, while nobody reads.
    // A fast line is read in pauses, so the terminal refuses for a while before Qt's buffer
    // fills: write on until more than one Read holds.
    std::string written;
    QElapsedTimer running;
    running.start();
    for (int line = 0, refused = 0; refused < 20 || written.size() <= ReceiverSource::kMaxReadLength; ++line) {
        ASSERT_LT(running.elapsed(), 10000) << "the port stopped taking the flood";
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
    ASSERT_LE(text.size(), ReceiverSource::kMaxReadLength);
    ASSERT_GT(text.size(), ReceiverSource::kMaxReadLength - 80) << "more than a line went";
    // One Read is a piece of the text in order, the oldest whole lines dropped and counted;
    // the terminal may still be moving the last bytes, and the next reads bring them,
    // nothing newer lost.
    EXPECT_EQ(text.substr(0, 7), "$FLOOD,") << "a Read after a loss begins where a line begins";
    const auto at = written.find(text);
    ASSERT_NE(at, std::string::npos) << "not a piece of the text in order";
    EXPECT_GT(at, 0u) << "the oldest text should have been dropped";
    EXPECT_EQ(port.Dropped(), at);
    EXPECT_TRUE(text + ReadBytes(port, written.size() - at - text.size()) == written.substr(at));
}

TEST_F(SerialPortOnPty, WhatCameBeforeACloseIsNeverReadAfterTheNextOpen)
{
    // A slow line leaves its bytes in the kernel between Reads: those before Close, and
    // those the receiver sends while the port is closed, are not news at the next Open.
    ASSERT_TRUE(Open("4800,N,8,1"));
    pty.Write(test::Line("$GPGGA,1"));
    EXPECT_EQ(ReadBytes(port, test::Line("$GPGGA,1").size()), test::Line("$GPGGA,1"));
    pty.Write(test::Line("$GPGGA,2"));
    ASSERT_TRUE(pty.WaitUntilQueued(static_cast<int>(test::Line("$GPGGA,2").size())));
    port.Close();
    pty.Write(test::Line("$GPGGA,3"));
    ASSERT_TRUE(pty.WaitUntilQueued(static_cast<int>(test::Line("$GPGGA,3").size())));
    ASSERT_TRUE(Open("4800,N,8,1"));
    QTest::qWait(50);
    EXPECT_EQ(port.Read(), "");
    pty.Write(test::Line("$GPGGA,4"));
    EXPECT_EQ(ReadBytes(port, test::Line("$GPGGA,4").size()), test::Line("$GPGGA,4"));
}

TEST_F(SerialPortOnPty, ASecondPortIsToldTheDeviceIsBusyAndAVanishedDeviceIsLostOnceWithoutSpinning)
{
    QSignalSpy lost(&port, &ReceiverSource::Lost);
    ASSERT_TRUE(Open("115200,N,8,1")); // read at its notices: the loss comes without a Read
    EXPECT_FALSE(port.SetDevice("/dev/ttyS0")) << "the device cannot change while open";
    SerialPort second;
    ASSERT_TRUE(second.SetDevice(QString::fromStdString(pty.Device())));
    EXPECT_FALSE(second.Open());
    EXPECT_EQ(second.Reason(), port.Name() + " is busy: another program (often gpsd) is using it.");
    pty.Write("$GPGGA,1*00\r\n");
    EXPECT_EQ(ReadBytes(port, 13), "$GPGGA,1*00\r\n") << "the first port keeps its device";

    pty.CloseMaster();
    EXPECT_LT(test::CpuMsWhileWaiting(500), 200) << "the event loop kept busy after the loss";
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.Read(), "");
}

// The event loop saw the line readable, but a Read took the bytes before Qt's own read ran:
// what the loop then delivers is the notice Qt's read finds nothing for.
void DeliverStaleNotice(SerialPort& port)
{
    for (QSocketNotifier* notifier : port.findChildren<QSocketNotifier*>()) {
        if (notifier->type() == QSocketNotifier::Read) {
            QEvent notice(QEvent::SockAct);
            QCoreApplication::sendEvent(notifier, &notice);
            return;
        }
    }
    ADD_FAILURE() << "the port has no read notifier";
}

TEST_F(SerialPortOnPty, ANoticeWhoseBytesWereTakenAlreadyKeepsTheLineAndAllItGave)
{
    QSignalSpy lost(&port, &ReceiverSource::Lost);
    ASSERT_TRUE(Open("115200,N,8,1"));
    const std::string burst(300, 'x'); // over the terminal's wake threshold
    pty.Write(burst);
    ASSERT_TRUE(pty.WaitUntilQueued(static_cast<int>(burst.size())));
    ASSERT_TRUE(test::WaitFor([&] { return pty.Queued() == 0; })) << "the port did not take the burst";
    DeliverStaleNotice(port);
    EXPECT_EQ(lost.count(), 0) << qPrintable(port.Reason());
    EXPECT_TRUE(port.IsOpen());
    pty.Write(burst);
    EXPECT_EQ(ReadBytes(port, 2 * burst.size()), burst + burst) << "bytes were lost on the way";

    // A device that really went away is still told from such a notice.
    pty.CloseMaster();
    DeliverStaleNotice(port);
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPortReconnect, WhatALostDeviceGaveBeforeItWentIsHandedOutWhenItIsBack)
{
    // The receiver's link names one terminal, then another after it was plugged in again.
    PseudoTerminal before;
    PseudoTerminal after;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString link = folder.filePath(QStringLiteral("gps0"));
    ASSERT_TRUE(QFile::link(QString::fromStdString(before.Device()), link));
    SerialPort port;
    QSignalSpy lost(&port, &ReceiverSource::Lost);
    ASSERT_TRUE(port.SetDevice(link) && port.Settings("115200,N,8,1") && port.Open());

    // Taken from the terminal by the event loop, not yet by a Read: a hang-up empties the
    // terminal, not the port.
    const std::string last(300, 'x');
    before.Write(last);
    ASSERT_TRUE(before.WaitUntilQueued(static_cast<int>(last.size())));
    ASSERT_TRUE(test::WaitFor([&] { return before.Queued() == 0; })) << "the port did not take the text";
    before.CloseMaster();
    ASSERT_TRUE(test::WaitFor([&] { return lost.count() == 1; })) << "the loss went unnoticed";
    ASSERT_TRUE(QFile::remove(link) && QFile::link(QString::fromStdString(after.Device()), link));
    ASSERT_TRUE(port.Reconnect()) << qPrintable(port.Reason());
    const std::string next = test::Line("$GPGGA,2");
    after.Write(next);
    EXPECT_EQ(ReadBytes(port, last.size() + next.size()), last + next);
}

TEST_F(SerialPortOnPty, ASlowLineWaitsInTheKernelForTheNextReadAndItsLossShowsThere)
{
    const std::string burst(300, 'x'); // over the terminal's wake threshold
    const auto takenWithoutARead = [&] {
        pty.Write(burst);
        EXPECT_TRUE(pty.WaitUntilQueued(static_cast<int>(burst.size()))); // no event loop meanwhile
        const bool taken = test::WaitFor([&] { return pty.Queued() == 0; }, std::chrono::milliseconds(500));
        EXPECT_EQ(port.Read(), burst);
        return taken;
    };
    // Two Reads a tick apart with a sentence between: the line's pace is known.
    const auto readAtASlowPace = [&] {
        EXPECT_EQ(port.Read(), "");
        pty.Write(test::Line("$GPGGA,1"));
        QTest::qWait(100);
        EXPECT_EQ(port.Read(), test::Line("$GPGGA,1"));
    };
    QSignalSpy lost(&port, &ReceiverSource::Lost);
    ASSERT_TRUE(Open("115200,N,8,1"));
    readAtASlowPace();
    EXPECT_TRUE(takenWithoutARead()) << "a fast line waited for the next Read";

    port.Close();
    ASSERT_TRUE(Open("4800,N,8,1"));
    EXPECT_EQ(port.Read(), "");
    pty.Write(std::string(3000, 'y')); // a USB receiver sends at its own pace, whatever the baud
    QTest::qWait(100);
    EXPECT_EQ(port.Read().size(), 3000u);
    EXPECT_TRUE(takenWithoutARead()) << "a fast receiver on a slow setting waited for the next Read";

    port.Close();
    ASSERT_TRUE(Open("4800,N,8,1"));
    readAtASlowPace();
    EXPECT_FALSE(takenWithoutARead()) << "the event loop read a slow line between Reads";

    pty.CloseMaster();
    EXPECT_EQ(port.Read(), "");
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(port.IsOpen());
}

} // namespace
} // namespace fixwatch
