// The descriptor work behind Qt's serial port, on real pseudo-terminals: how it drains and
// paces the line, and the bounded text it keeps in whole lines. What it discards at a Start,
// its flow control, whether a line still answers and a hang-up are pinned through the port.
#include "newest_lines.h"
#include "pseudo_terminal.h"
#include "serial_line.h"
#include "test_peers.h"

#include <QSerialPort>

#include <gtest/gtest.h>

#include <string>

namespace fixwatch {
namespace {

class SerialLineOnPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        port.setPortName(QString::fromStdString(pty.Device()));
        ASSERT_TRUE(port.open(QIODevice::ReadOnly)) << qPrintable(port.errorString());
        line.Opened(115200);
        // As the port does: a read of a quiet line then says "nothing now", not an end.
        line.RaiseWakeThreshold();
    }

    // Drains until `count` bytes came or two seconds passed.
    std::string DrainBytes(std::size_t count)
    {
        std::string text;
        test::WaitFor([&] {
            line.Drain(1 << 20, [&](std::string_view bytes) { text.append(bytes); });
            return text.size() >= count;
        },
                      std::chrono::seconds(2));
        return text;
    }

    PseudoTerminal pty;
    QSerialPort port;
    int resumed = 0;
    SerialLine line{port, [this] { ++resumed; }};
};

TEST_F(SerialLineOnPty, ADrainTakesTheKernelsQueueInOrderUpToItsBound)
{
    std::string written;
    for (int i = 0; written.size() < 3000; ++i)
        written += "$GPGLL," + std::to_string(i) + "\r\n";
    pty.Write(written);
    ASSERT_TRUE(pty.WaitUntilQueued(static_cast<int>(written.size())));
    std::string none;
    EXPECT_TRUE(line.Drain(0, [&](std::string_view bytes) { none.append(bytes); }));
    EXPECT_EQ(none, "");
    EXPECT_EQ(pty.Queued(), static_cast<int>(written.size())) << "the bound left it in the kernel";
    EXPECT_EQ(DrainBytes(written.size()), written);
}

TEST_F(SerialLineOnPty, TheTerminalWakesLessOften)
{
    EXPECT_EQ(pty.LineSettings().c_cc[VMIN], SerialLine::kWakeThreshold);
}

TEST_F(SerialLineOnPty, ASlowLineIsLeftToTheKernelUntilAboutTheNextRead)
{
    line.Opened(4800);
    EXPECT_EQ(line.QuietMs(), 2000) << "capped, so that a hang-up is seen in time";
    line.Opened(19200);
    EXPECT_EQ(line.QuietMs(), 1600) << "3 KiB at 1920 bytes a second";

    // A slow line that brought a little between two Reads a tick apart is paused, and the
    // pause ends by itself.
    line.Opened(4800);
    line.QuietAfterRead();
    pty.Write("$GPGGA,1*00\r\n");
    DrainBytes(13);
    QTest::qWait(100);
    line.QuietAfterRead();
    EXPECT_TRUE(line.Paused());
    EXPECT_TRUE(test::WaitFor([&] { return resumed == 1; }, std::chrono::seconds(3)));
}

TEST(NewestLines, ABoundDropsWholeLinesAndCountsThemNeverJoiningPieces)
{
    struct Row {
        const char* legend;
        std::vector<std::string> appends;
        std::string kept;
        std::uint64_t dropped;
    };
    const Row rows[] = {
        {"within the bound nothing goes", {"$A,1\r\n$B", ",2\r\n"}, "$A,1\r\n$B,2\r\n", 0},
        {"the oldest line goes whole", {"$A,1\r\n$B,2\r\n", "$C,3\r\n"}, "$B,2\r\n$C,3\r\n", 6},
        {"a cut goes on to the line's end", {"$AAAAAAAA,1\r\n", "$B,2\r\n"}, "$B,2\r\n", 13},
        {"LF and CR end lines too", {"$A,1\n$B,2\r$C", ",3\n$D,4\n"}, "$C,3\n$D,4\n", 10},
        {"a line over the bound goes whole, its end included",
         {"$LONG,xxxxxxxx", "xxxxxxxxxxx", "xx\r\n$B,2\r\n"},
         "$B,2\r\n",
         29},
        {"a CR LF split at a cut goes whole", {"$LONG,xxxxxxxxxxxxxx\r", "\n$B,2\r\n"}, "$B,2\r\n", 22},
    };
    for (const Row& row : rows) {
        NewestLines kept(14);
        for (const std::string& more : row.appends)
            kept.Append(more);
        EXPECT_EQ(kept.Dropped(), row.dropped) << row.legend;
        EXPECT_EQ(kept.Take(), row.kept) << row.legend;
        EXPECT_EQ(kept.Size(), 0u) << row.legend;
    }
}

} // namespace
} // namespace fixwatch
