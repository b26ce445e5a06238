// The number conversions and the wording of times, dates and positions.
#include "number_text.h"
#include "transcript.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace fixwatch::test {
namespace {

TEST(LeadingNumber, ReadsTheLongestLeadingDecimalNumber)
{
    const std::pair<const char*, double> cases[] = {
        {"545.4", 545.4}, {"0.9", 0.9},   {"-12.5", -12.5}, {"+3", 3},      {"1.2x", 1.2},
        {"", 0},          {"x", 0},       {"-", 0},         {".5", 0.5},    {"7.", 7},
        {"1.5.6", 1.5},   {"1,5", 1},     {"1E3", 1000},    {"2.5E-1", 0.25}, {"1E", 1},
        {"1E+", 1},       {" 1 2.5", 12.5}, {"\t-\n4", -4}, {"08", 8},
    };
    for (auto [text, value] : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << '"' << text << '"';
}

TEST(LeadingNumber, HugeExponentsSaturateInsteadOfFailing)
{
    EXPECT_TRUE(std::isinf(LeadingNumber("1E999")));
    EXPECT_EQ(LeadingNumber("1E-999"), 0.0);
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

// The field routines, seen through the sentences that use them.
Lines TimeEvents(const char* field)
{
    return Interpret(Sealed(std::string("$GPGGA,") + field)).events;
}

TEST(TimeWording, ShortAndExtendedTimes)
{
    EXPECT_EQ(TimeEvents("123519"), (Lines{"TimeChangedExtendex\t12:35:19 GMT", "TimeChanged\t12:35:19"}));
    EXPECT_EQ(TimeEvents("123519.00"), (Lines{"TimeChangedExtendex\t12:35:19.00 GMT", "TimeChanged\t12:35:19"}));
    EXPECT_EQ(TimeEvents("225444.5"), (Lines{"TimeChangedExtendex\t22:54:44.5 GMT", "TimeChanged\t22:54:44"}));
    EXPECT_EQ(TimeEvents("1235190"), (Lines{"TimeChangedExtendex\t12:35:19 GMT", "TimeChanged\t12:35:19"}))
        << "a seventh character alone is dropped";
    EXPECT_EQ(TimeEvents("1235"), (Lines{"TimeChangedExtendex\t12:35: GMT", "TimeChanged\t12:35:"}));
    EXPECT_EQ(TimeEvents("1"), (Lines{"TimeChangedExtendex\t1:: GMT", "TimeChanged\t1::"}));
    EXPECT_EQ(TimeEvents("ab:cdef"), (Lines{"TimeChangedExtendex\tab::c:de GMT", "TimeChanged\tab::c:de"}))
        << "the digits are not tested";
}

TEST(DateWording, DayMonthTwoDigitYear)
{
    EXPECT_EQ(Interpret(Sealed("$GPRMC,,,,,,,,,230394")).events, (Lines{"DateChanged\t23/03/94"}));
    EXPECT_EQ(Interpret(Sealed("$GPRMC,,,,,,,,,2303")).events, (Lines{"DateChanged\t23/03/"}));
    EXPECT_EQ(Interpret(Sealed("$GPRMC,,,,,,,,,23031994")).events, (Lines{"DateChanged\t23/03/19"}));
}

Lines PositionEvents(const char* lat, const char* ns, const char* lon, const char* ew)
{
    return Interpret(Sealed(std::string("$GPGLL,") + lat + "," + ns + "," + lon + "," + ew)).events;
}

TEST(PositionWording, DegreesGetThreeDigitsAndMinutesStayAsSent)
{
    EXPECT_EQ(PositionEvents("4807.038", "N", "01131.000", "E"),
              (Lines{"PositionReceived\t048° 07.038' N\t011° 31.000' E"}));
    EXPECT_EQ(PositionEvents("4916.45", "N", "12311.12", "W"),
              (Lines{"PositionReceived\t049° 16.45' N\t123° 11.12' W"}));
    EXPECT_EQ(PositionEvents("3345.1234567", "S", "15112.7", "E"),
              (Lines{"PositionReceived\t033° 45.1234567' S\t151° 12.7' E"}));
    EXPECT_EQ(PositionEvents("807.038", "N", "1131.000", "E"),
              (Lines{"PositionReceived\t080° 7.038' N\t113° 1.000' E"}))
        << "the first two (three) characters are always the degrees";
}

TEST(PositionWording, ShortFieldsLoseTheMinutesPart)
{
    EXPECT_EQ(PositionEvents("5", "N", "12", "E"), (Lines{"PositionReceived\t005°  N\t012°  E"}));
    EXPECT_EQ(PositionEvents("48", "N", "011", "E"), (Lines{"PositionReceived\t048° ' N\t011° ' E"}));
}

TEST(PositionWording, DegreeSignIsTheSingleLatin1Byte)
{
    struct Capture : NmeaEvents {
        std::string latitude;
        void PositionReceived(std::string lat, std::string) override { latitude = lat; }
    } capture;
    NmeaInterpreter(capture).Parse("$GPGLL,4916.45,N,12311.12,W,225444,A*31");
    EXPECT_EQ(capture.latitude, "049\xB0 16.45' N");
}

} // namespace
} // namespace fixwatch::test
