// The number conversions and the wording of times, dates and positions.
#include "nmea_test.h"
#include "number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace fixwatch::test {
namespace {

TEST(LeadingNumber, ReadsTheLongestLeadingDecimalNumberAndSaturates)
{
    const std::pair<const char*, double> cases[] = {
        {"545.4", 545.4}, {"0.9", 0.9},   {"-12.5", -12.5}, {"+3", 3},      {"1.2x", 1.2},
        {"", 0},          {"x", 0},       {"-", 0},         {".5", 0.5},    {"7.", 7},
        {"1.5.6", 1.5},   {"1,5", 1},     {"1E3", 1000},    {"2.5E-1", 0.25}, {"1E", 1},
        {"1E+", 1},       {" 1 2.5", 12.5}, {"\t-\n4", -4}, {"08", 8},      {"1E-999", 0},
    };
    for (auto [text, value] : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << '"' << text << '"';
    EXPECT_TRUE(std::isinf(LeadingNumber("1E999")));
}

TEST(LeadingNumber, IgnoresTheProcessLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale on this machine";
    EXPECT_DOUBLE_EQ(LeadingNumber("4807.038"), 4807.038);
    EXPECT_EQ(ToInteger("2.5"), 2);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ToInteger, RoundsHalvesToEvenAndChecksTheRange)
{
    const std::pair<const char*, std::optional<std::int16_t>> cases[] = {
        {"08", 8},          {"2.5", 2},          {"3.5", 4},          {"-2.5", -2},
        {" 12 ", 12},       {"\t7", 7},          {"32767", 32767},    {"-32768", -32768},
        {"32767.4", 32767}, {"32767.5", {}},     {"32768", {}},       {"-32769", {}},
        {"1E2", 100},       {"ab", {}},          {"", {}},            {" ", {}},
        {"1x", {}},         {"1 2", {}},         {"+5", 5},           {".5", 0},
    };
    for (auto [text, value] : cases)
        EXPECT_EQ(ToInteger(text), value) << '"' << text << '"';
}

TEST(TimeWording, ShortAndExtendedTimesFromTheRawCharacters)
{
    const std::pair<const char*, const char*> cases[] = {
        {"123519", "12:35:19"},      {"123519.00", "12:35:19.00"}, {"225444.5", "22:54:44.5"},
        {"1235190", "12:35:19"},     {"1235", "12:35:"},           {"1", "1::"},
        {"ab:cdef", "ab::c:de"}, // the digits are not tested
    };
    for (auto [field, extended] : cases) {
        const std::string full = extended, shortTime = full.substr(0, full.find('.'));
        EXPECT_EQ(Events(Sealed(std::string("$GPGGA,") + field)),
                  (Lines{"TimeChangedExtendex\t" + full + " GMT", "TimeChanged\t" + shortTime}))
            << field;
    }
}

TEST(DateWording, DayMonthTwoDigitYear)
{
    EXPECT_EQ(Events(Sealed("$GPRMC,,,,,,,,,230394")), (Lines{"DateChanged\t23/03/94"}));
    EXPECT_EQ(Events(Sealed("$GPRMC,,,,,,,,,2303")), (Lines{"DateChanged\t23/03/"}));
    EXPECT_EQ(Events(Sealed("$GPRMC,,,,,,,,,23031994")), (Lines{"DateChanged\t23/03/19"}));
}

TEST(PositionWording, DegreesGetThreeDigitsAndMinutesStayAsSent)
{
    const std::pair<const char*, const char*> cases[] = {
        {"4807.038,N,01131.000,E", "048° 07.038' N\t011° 31.000' E"},
        {"4916.45,N,12311.12,W", "049° 16.45' N\t123° 11.12' W"},
        {"3345.1234567,S,15112.7,E", "033° 45.1234567' S\t151° 12.7' E"},
        {"807.038,N,1131.000,E", "080° 7.038' N\t113° 1.000' E"}, // always 2 (3) characters of degrees
        {"5,N,12,E", "005°  N\t012°  E"},                         // short fields lose the minutes
        {"48,N,011,E", "048° ' N\t011° ' E"},
    };
    for (auto [fields, position] : cases)
        EXPECT_EQ(Events(Sealed(std::string("$GPGLL,") + fields)),
                  (Lines{std::string("PositionReceived\t") + position}))
            << fields;
}

} // namespace
} // namespace fixwatch::test
