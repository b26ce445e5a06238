#include "command_line.h"
#include "serial_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fixwatch {
namespace {

SerialSettings With(std::int16_t port, std::int16_t baud, std::int16_t parity, std::int16_t data,
                    std::int16_t stop, std::int16_t handshaking = 0, bool dtr = false, bool rts = false,
                    bool nulls = false, bool allGnss = false)
{
    return {port, baud, parity, data, stop, dtr, rts, nulls, handshaking, allGnss};
}

const SerialSettings kDefaults;

TEST(CommandLine, ReadsTheSlashOptions)
{
    const struct {
        const char* legend;
        std::string commandLine;
        SerialSettings settings;
        bool checksumButton = false;
    } rows[] = {
        {"empty: all defaults", "", kDefaults},
        {"the documented example", "/c3 /s9600,e,7,2 /h1 /d+", With(2, 6, 1, 2, 2, 1, true)},
        {"COM3 is C then OM3, not a number", "/COM3", kDefaults},
        {"ports 0 and 256 are out of range", "/C0 /C256", kDefaults},
        {"port 255 is the last one", "/C255", With(254, 5, 0, 3, 0)},
        {"blanks between the digits are skipped", "/C 1 2", With(11, 5, 0, 3, 0)},
        {"a half rounds to even: 3.5 - 1 = 2.5 gives index 2", "/C3.5", With(2, 5, 0, 3, 0)},
        {"a port too large for 16 bits keeps the earlier value", "/C3 /C99999", With(2, 5, 0, 3, 0)},
        {"speed alone, the other fields default", "/S19200", With(0, 7, 0, 3, 0)},
        {"57600", "/S57600", With(0, 9, 0, 3, 0)},
        {"115200", "/S115200,N,8,1", With(0, 10, 0, 3, 0)},
        {"unknown field values give each field's default", "/S1234,X,9,3", kDefaults},
        {"fields after the fourth are ignored", "/S300,O,5,1.5,junk", With(0, 1, 2, 0, 1)},
        {"blanks inside the fields are stripped", "/S 2400 , E , 6 , 2 ", With(0, 4, 1, 1, 2)},
        {"a later /S reuses the fields it leaves out", "/S9600,E,7,2 /S300", With(0, 1, 1, 2, 2)},
        {"a later /S with an empty field takes its default", "/S9600,E,7,2 /S300,,", With(0, 1, 0, 3, 2)},
        {"handshaking 3", "/H3", With(0, 5, 0, 3, 0, 3)},
        {"handshaking 7 is out of range", "/H7", kDefaults},
        {"the switches", "/D+ /R+ /N+", With(0, 5, 0, 3, 0, 0, true, true, true)},
        {"a later switch wins; only whole items match", "/d+ /r+ /n+ /D- /R- /N- /D+X /R /N++", kDefaults},
        {"text before the first slash and unknown items change nothing", "c3 s9600 /Q /X+ /", kDefaults},
        {"checksum button shown", "/B+", kDefaults, true},
        {"checksum button shown, then hidden again", "/b+ /b-", kDefaults, false},
        {"every satellite system", "/g+", With(0, 5, 0, 3, 0, 0, false, false, false, true)},
        {"every satellite system, then GPS only again", "/G+ /G-", kDefaults},
    };
    for (const auto& row : rows) {
        const CommandLineOptions options = ApplyCommandLine(row.commandLine);
        EXPECT_EQ(options.settings, row.settings) << row.legend << ": \"" << row.commandLine << "\"";
        EXPECT_EQ(options.checksumButtonVisible, row.checksumButton) << row.legend;
    }
}

TEST(CommandLine, NamesEachItemItDoesNotUnderstand)
{
    const std::vector<std::pair<std::string, std::vector<std::string>>> rows = {
        {"/c3 /s9600,e,7,2 /b+ /g+", {}},
        {"/d+ /q /D+X  /",
         {"fixwatch: ignoring /q: not an option", "fixwatch: ignoring /D+X: not an option"}},
        {"c3 /C3", {"fixwatch: ignoring c3: options begin with /"}},
    };
    for (const auto& [commandLine, warnings] : rows)
        EXPECT_EQ(ApplyCommandLine(commandLine).warnings, warnings) << '"' << commandLine << '"';
}

TEST(CommandLine, SettingsTextJoinsTheChosenCaptions)
{
    EXPECT_EQ(SettingsText(kDefaults), "4800,N,8,1");
    EXPECT_EQ(SettingsText(With(0, 8, 2, 3, 2)), "38400,O,8,2");
    EXPECT_EQ(SettingsText(With(0, 0, 0, 0, 1)), "150,N,5,1.5");
    EXPECT_EQ(SettingsText(With(0, 10, 0, 3, 0)), "115200,N,8,1");
    EXPECT_EQ(SettingsText(With(0, 11, 0, 3, 0)), "") << "an index outside its list makes no text";
}

} // namespace
} // namespace fixwatch
