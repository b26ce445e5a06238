// The Console tab on the window: a real capture, a few checksums damaged, played through a
// pseudo-terminal.
#include "capture_receiver.h"
#include "console_view.h"

#include <QTableWidget>

#include <gtest/gtest.h>

#include <algorithm>

namespace fixwatch {
namespace {

using namespace test;

TEST(ConsoleTab, ShowsEveryReceivedLineOnceAndMarksTheDamagedOnes)
{
    FIXWATCH_NEED_CAPTURES("GPSmap-76S.nmea");
    std::string text = RealCapture("GPSmap-76S.nmea", 300);
    // The last checksum digit of every 25th line is changed.
    std::uint64_t damaged = 0;
    int line = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", end + 2)) {
        if (++line % 25 == 0 && end >= 3 && text[end - 3] == '*') {
            text[end - 1] = text[end - 1] == '0' ? '1' : '0';
            ++damaged;
        }
    }
    ASSERT_GT(damaged, 0u);

    PtyWindow w;
    MainForm& form = w.form;
    form.show();
    Tabs(form).setCurrentWidget(Control<QWidget>(form, "Frm_Console"));
    w.Receive(text);

    ConsoleView& console = *Control<ConsoleView>(form, "Frm_Console");
    // The assembler hands kept lines on again at every poll; the console has each once.
    EXPECT_EQ(console.ReceivedLines(), static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n')));
    EXPECT_EQ(static_cast<std::uint64_t>(console.ShownText().count(QStringLiteral("checksum "))), damaged);
    // The inventory's counts, bad checksums among them, are pinned by nmea.SentenceStats.
    EXPECT_GT(console.Grd_Inventory->rowCount(), 0);
}

} // namespace
} // namespace fixwatch
