// What the status bar says of the data logger and of what writes files beside it.
#include "logger_status.h"
#include "qt_print.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

TEST(LoggerStatusText, SaysWhyFirstThenWhereItLogsThenTheOthersJoined)
{
    const QString home = QStringLiteral("/home/ada");
    const struct {
        const char* legend;
        LoggerStatus status;
        QString homeFolder;
        QString text;
    } rows[] = {
        {"idle says nothing", {}, home, ""},
        {"under home from ~", {{}, "/home/ada/logs/2026-12-09.log", 5, {}, {}}, home, "Logging every 5 s to ~/logs/2026-12-09.log"},
        {"a folder that only begins like home is named whole",
         {{}, "/home/adam/2026-12-09.log", 5, {}, {}},
         home,
         "Logging every 5 s to /home/adam/2026-12-09.log"},
        {"a home of / shortens nothing", {{}, "/logs/2026-12-09.log", 1, {}, {}}, "/", "Logging every 1 s to /logs/2026-12-09.log"},
        {"the reason wins over logging",
         {"disk full", "/home/ada/2026-12-09.log", 5, {}, {}},
         home,
         "Log not written: disk full"},
        {"the recorder and what was written follow",
         {{}, "/home/ada/x.log", 5, "Recording to \u2026/r.nmea \u00b7 1 KiB", "Exported 7 points to \u2026/t.gpx"},
         home,
         "Logging every 5 s to ~/x.log; Recording to \u2026/r.nmea \u00b7 1 KiB; Exported 7 points to \u2026/t.gpx"},
        {"without the logger the others stand alone", {{}, {}, 5, {}, "Position saved to \u2026/d.log"}, home, "Position saved to \u2026/d.log"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LoggerStatusText(row.status, row.homeFolder), row.text) << row.legend;
}

} // namespace
} // namespace fixwatch
