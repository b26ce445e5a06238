// The Console tab on the window: a real capture, a few checksums damaged, played through a
// pseudo-terminal.
#include "captures.h"
#include "capture_receiver.h"
#include "console_view.h"
#include "window_test_support.h"

#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <algorithm>

namespace fixwatch {
namespace {

// Changes the last checksum digit of every `every`-th line; returns how many were damaged.
int DamageChecksums(std::string& text, int every)
{
    int damaged = 0;
    int line = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", end + 2)) {
        if (++line % every == 0 && end >= 3 && text[end - 3] == '*') {
            text[end - 1] = text[end - 1] == '0' ? '1' : '0';
            ++damaged;
        }
    }
    return damaged;
}

TEST(ConsoleTab, ShowsEveryReceivedLineOnceAndMarksTheDamagedOnes)
{
    FIXWATCH_NEED_CAPTURES("GPSmap-76S.nmea");
    std::string text = test::RealCapture("GPSmap-76S.nmea", 300);
    const int damaged = DamageChecksums(text, 25);
    ASSERT_GT(damaged, 0);
    const auto lines = static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n'));

    PseudoTerminal receiver;
    test::PortVariable port(1, receiver.Device());
    MainForm form("");
    form.show();
    ASSERT_GE(form.ConsoleTab(), 0);
    EXPECT_EQ(form.SSTab->tabText(form.ConsoleTab()), QStringLiteral("Console"));
    EXPECT_EQ(form.ConsoleTab(), form.SSTab->count() - 1);
    form.SSTab->setCurrentIndex(form.ConsoleTab());
    test::Receive(form, receiver, text);

    ConsoleView& console = *form.Frm_Console;
    // The assembler hands kept lines on again at every poll; the console has each once.
    EXPECT_EQ(console.ReceivedLines(), lines);
    EXPECT_EQ(console.ShownText().count(QStringLiteral("checksum ")), damaged);
    std::uint64_t bad = 0;
    for (const auto& row : console.Stats().Rows())
        bad += row.badChecksums;
    EXPECT_EQ(bad, static_cast<std::uint64_t>(damaged));
    EXPECT_GT(console.Grd_Inventory->rowCount(), 0);
    form.Cmd_StartStop_Click(1);
}

} // namespace
} // namespace fixwatch
