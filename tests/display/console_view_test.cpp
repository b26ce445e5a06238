#include "console_view.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QImage>
#include <QListView>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <malloc.h>
#include <string>

namespace fixwatch {
namespace {

constexpr const char* kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
constexpr const char* kBadGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*4A";
constexpr const char* kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";

struct ShownConsole : ::testing::Test {
    ShownConsole()
    {
        console.clock = [this] { return now; };
        console.resize(800, 600);
        console.show();
    }
    QStringList Lines() const { return console.ShownText().split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    std::int64_t now = 1000000;
    ConsoleView console;
};

TEST_F(ShownConsole, MarksABadChecksumAndShowsReceivedTextLiterallyWithControlCharactersEscaped)
{
    static constexpr char kHostile[] = "$GPTXT,<b>bold</b>,\x01\x1b[2J\t\xff*00";
    console.Add(kGga, false);
    console.Add(kBadGga, true);
    console.Add("$GPGGA,1", true);
    console.Add(std::string(kHostile, sizeof kHostile - 1), true);
    std::string lowerCase = kRmc;
    lowerCase.back() = 'a';
    console.Add(lowerCase, true);
    console.Flush();
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(console.ShownLines(), 5);
    EXPECT_TRUE(lines[4].endsWith(QStringLiteral("*6a  checksum in lower case (6a)"))) << lines[4].toStdString();
    EXPECT_FALSE(lines[0].contains(QStringLiteral("checksum")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("*4A  checksum 4A, expected 47"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].contains(QStringLiteral("no checksum, expected")));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("$GPTXT,<b>bold</b>,\\x01\\x1B[2J\\x09\\xFF*00")))
        << lines[3].toStdString();
    // As drawn: the good line's identifier in its type's blue and nothing red; the damaged
    // line's identifier and note in red.
    const QImage drawn = console.Lst_Console->viewport()->grab().toImage();
    const auto count = [&](int row, auto&& like) {
        const QRect rect = console.Lst_Console->visualRect(console.Model().index(row));
        int n = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= std::min(rect.right(), drawn.width() - 1); ++x)
                n += like(drawn.pixelColor(x, y));
        return n;
    };
    const auto red = [](const QColor& c) { return c.red() > 150 && c.green() < 80 && c.blue() < 80; };
    const auto blue = [](const QColor& c) { return c.blue() > c.red() + 60 && c.blue() > c.green() + 30; };
    EXPECT_EQ(count(0, red), 0);
    EXPECT_GT(count(0, blue), 0);
    EXPECT_GT(count(1, red), 0);
    EXPECT_EQ(count(1, blue), 0);
}

TEST_F(ShownConsole, EachLineShowsTheLocalTimeItCameAtToTheMillisecond)
{
    // Lines within one second, across the next, and back to an earlier one.
    const std::int64_t moments[] = {1000000, 1000999, 1001000, 1001007, 61234567, 1000500};
    for (const std::int64_t ms : moments) {
        now = ms;
        console.Add(kGga, false);
    }
    console.Flush();
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(std::size(moments)));
    for (std::size_t i = 0; i < std::size(moments); ++i) {
        const QString expected = QDateTime::fromMSecsSinceEpoch(moments[i]).toString(QStringLiteral("HH:mm:ss.zzz  "));
        EXPECT_TRUE(lines[static_cast<qsizetype>(i)].startsWith(expected + kGga))
            << moments[i] << ": " << lines[static_cast<qsizetype>(i)].toStdString();
    }
}

TEST_F(ShownConsole, KeepsTheNewestLinesAndBoundsALongLine)
{
    for (std::size_t i = 0; i < ConsoleView::kMaxLines + 500; ++i)
        console.Add("$GPGGA," + std::to_string(i), true);
    console.Add(std::string(65536, 'A'), true);
    console.Flush();
    EXPECT_EQ(console.KeptLines(), ConsoleView::kMaxLines);
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(ConsoleView::kMaxLines));
    EXPECT_TRUE(lines[0].contains(QStringLiteral("$GPGGA,501"))) << lines[0].toStdString();
    EXPECT_LT(lines.back().size(), 1200);
    EXPECT_TRUE(lines.back().contains(QStringLiteral("64512 more characters not kept")));
    // Shown rows drop off with their lines, tick after tick.
    for (int i = 0; i < 100; ++i)
        console.Add("$GPRMC," + std::to_string(i), true);
    console.Flush();
    EXPECT_EQ(console.ShownLines(), static_cast<int>(ConsoleView::kMaxLines));
    EXPECT_TRUE(Lines().front().contains(QStringLiteral("$GPGGA,601")));
}

TEST_F(ShownConsole, FiltersByTalkerTypeExpressionAndBadChecksum)
{
    console.Add(kGga, false);
    console.Add(kBadGga, true);
    console.Add(kRmc, false);
    console.Add("$GNRMC,1*00", true);
    console.Flush();
    console.Txt_Type->setText(QStringLiteral("rmc"));
    EXPECT_EQ(Lines().size(), 2);
    console.Txt_Talker->setText(QStringLiteral("GN"));
    EXPECT_EQ(Lines().size(), 1);
    console.Txt_Talker->clear();
    console.Txt_Type->clear();
    console.Chk_BadOnly->setChecked(true);
    EXPECT_EQ(Lines().size(), 2);
    console.Chk_BadOnly->setChecked(false);
    console.Txt_Filter->setText(QStringLiteral("4807\\.038,N"));
    EXPECT_EQ(Lines().size(), 3);
    EXPECT_TRUE(console.Lab_FilterError->text().isEmpty());
    // An invalid expression says so and filters nothing.
    console.Txt_Filter->setText(QStringLiteral("(4807"));
    EXPECT_EQ(Lines().size(), 4);
    EXPECT_TRUE(console.Lab_FilterError->text().startsWith(QStringLiteral("Invalid expression")));
}

TEST_F(ShownConsole, PauseHoldsTheViewWhileLinesAreStillKept)
{
    console.Add(kGga, false);
    console.Flush();
    console.Cmd_Pause_Click();
    for (int i = 0; i < 10; ++i)
        console.Add(kRmc, false);
    console.Flush();
    EXPECT_EQ(Lines().size(), 1);
    EXPECT_EQ(console.KeptLines(), 11u);
    EXPECT_EQ(console.Stats().Rows().size(), 2u);
    console.Cmd_Pause_Click();
    EXPECT_EQ(Lines().size(), 11);
    // Paused past the bound: the rows of lines that dropped off go, none shows a newer line.
    console.Cmd_Pause_Click();
    for (std::size_t i = 0; i < ConsoleView::kMaxLines; ++i)
        console.Add("$GPGLL," + std::to_string(i), false);
    console.Flush();
    EXPECT_EQ(console.ShownLines(), 0);
    console.Cmd_Pause_Click();
    EXPECT_EQ(Lines().size(), static_cast<qsizetype>(ConsoleView::kMaxLines));
    EXPECT_TRUE(Lines().front().contains(QStringLiteral("$GPGLL,0"))) << Lines().front().toStdString();
    console.Cmd_Clear_Click();
    EXPECT_TRUE(Lines().isEmpty());
    EXPECT_EQ(console.KeptLines(), 0u);
}

TEST_F(ShownConsole, LastSeenGoesOnWithTheClockWhenNoLineComes)
{
    console.Add(kGga, false);
    console.Flush();
    auto lastSeen = [this] { return console.Grd_Inventory->item(0, 4)->text(); };
    EXPECT_EQ(lastSeen(), "0.0 s ago");
    now += 7500; // the replay ended: nothing more arrives, only the clock moves
    console.Tmr_Inventory_Timer();
    EXPECT_EQ(lastSeen(), "7.5 s ago");
}

TEST(HiddenConsole, KeepsLinesWithoutFormattingThem)
{
    ConsoleView console;
    console.Add(kGga, false);
    console.Flush();
    EXPECT_EQ(console.KeptLines(), 1u);
    EXPECT_TRUE(console.ShownText().isEmpty());
    console.show();
    EXPECT_EQ(console.ShownText().count(QLatin1Char('\n')), 0);
    EXPECT_TRUE(console.ShownText().contains(QLatin1String(kGga)));
}

TEST(HiddenConsole, MemoryFollowsTheLinesKeptNotTheLongestThatEverCame)
{
    // Noise splits into lines of any length: once long lines have passed through every slot
    // of the ring, short ones must not go on holding their storage.
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer's allocator keeps books of its own, which mallinfo2 does not read";
#endif
    ConsoleView console;
    const std::string noise(ConsoleLine::kMaxKeptLength, 'x');
    for (std::size_t i = 0; i < ConsoleView::kMaxLines; ++i)
        console.Add(noise, true);
    console.Flush();
    const std::size_t full = mallinfo2().uordblks;
    for (std::size_t i = 0; i < ConsoleView::kMaxLines; ++i)
        console.Add(kGga, false);
    console.Flush();
    const std::size_t after = mallinfo2().uordblks;
    EXPECT_LT(after + ConsoleView::kMaxLines * (ConsoleLine::kMaxKeptLength / 2), full)
        << "the ring holds " << after << " bytes of short lines after " << full << " of long ones";

    // A sentence's storage is reused by the next: keeping it allocates nothing.
    ConsoleLine line;
    line.Assign(kRmc, false, Talkers::GpsOnly, 0);
    const char* storage = line.text.data();
    line.Assign(kGga, false, Talkers::GpsOnly, 0);
    EXPECT_EQ(line.text.data(), storage);
    line.Assign(noise, false, Talkers::GpsOnly, 0);
    line.Assign(kGga, false, Talkers::GpsOnly, 0);
    EXPECT_LE(line.text.capacity(), ConsoleLine::kReusedCapacity);
}

} // namespace
} // namespace fixwatch
