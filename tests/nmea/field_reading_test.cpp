// Reading one field: how strictly each reader takes its text, and sentences cut short.
#include "epochs.h"
#include "field_reading.h"
#include "minimum_fields.h"
#include "nmea_test.h"

#include <gtest/gtest.h>

#include <optional>

namespace fixwatch::test {
namespace {

TEST(FieldReading, StrictReadersTakeTheWholeFieldOrNothing)
{
    struct Row {
        const char* legend;
        std::string_view text;
        std::optional<double> decimal;
        std::optional<int> whole;
        std::optional<int> truncated; // at most 99
    };
    // clang-format off
    const Row rows[] = {
        {"plain",                 "12",     12.0,  12,           12},
        {"leading zero",          "08",     8.0,   8,            8},
        {"fraction",              "45.7",   45.7,  std::nullopt, 45},
        {"negative",              "-3",     -3.0,  -3,           std::nullopt},
        {"empty",                 "",       std::nullopt, std::nullopt, std::nullopt},
        {"blank before",          " 5",     std::nullopt, std::nullopt, std::nullopt},
        {"plus sign",             "+5",     std::nullopt, std::nullopt, std::nullopt},
        {"trailing letter",       "1.5x",   std::nullopt, std::nullopt, std::nullopt},
        {"infinity",              "inf",    std::nullopt, std::nullopt, std::nullopt},
        {"two points",            "1.2.3",  std::nullopt, std::nullopt, std::nullopt},
        {"above the bound",       "100",    100.0, 100,          std::nullopt},
        {"too large for int",     "99999999999", 99999999999.0, std::nullopt, std::nullopt},
    };
    // clang-format on
    for (const Row& row : rows) {
        EXPECT_EQ(field::Decimal(row.text), row.decimal) << row.legend << ": \"" << row.text << '"';
        EXPECT_EQ(field::Whole(row.text), row.whole) << row.legend << ": \"" << row.text << '"';
        EXPECT_EQ(field::TruncatedWhole(row.text, 99), row.truncated) << row.legend << ": \"" << row.text << '"';
    }
    EXPECT_EQ(field::Count("-1"), std::nullopt) << "a count is never negative";
    EXPECT_EQ(field::NonNegativeDecimal("-0.5"), std::nullopt);
    EXPECT_EQ(field::Direction("359.9"), 359.9);
    EXPECT_EQ(field::Direction("360"), std::nullopt) << "a full turn is written 0";
}

TEST(FieldReading, TimesAndCoordinatesKeepToTheirRanges)
{
    EXPECT_EQ(field::TimeOfDayMs("123519"), (12 * 3600 + 35 * 60 + 19) * 1000);
    EXPECT_EQ(field::TimeOfDayMs("000000.295"), 295);
    EXPECT_EQ(field::TimeOfDayMs("235960.5"), 24 * 3600 * 1000 - 1) << "a leap second stays within the day";
    for (const char* bad : {"", "12351", "243000", "126000", "120061", "12-519", "1235a9", "12:35:19"})
        EXPECT_EQ(field::TimeOfDayMs(bad), std::nullopt) << '"' << bad << '"';
    EXPECT_EQ(field::TimeDecimals("123519.295"), 3);
    EXPECT_EQ(field::TimeDecimals("123519.29512"), 3);
    EXPECT_EQ(field::WholeSecondOfDay("123519.9"), 12 * 3600 + 35 * 60 + 19) << "the fraction is not looked at";

    EXPECT_NEAR(*field::Coordinate("4807.038", "N", 90), 48 + 7.038 / 60, 1e-12);
    EXPECT_NEAR(*field::Coordinate("01131.000", "W", 180), -(11 + 31.0 / 60), 1e-12);
    EXPECT_EQ(field::Coordinate("4807.038", "", 90), std::nullopt);
    EXPECT_EQ(field::Coordinate("4807.038", "X", 90), std::nullopt);
    EXPECT_EQ(field::Coordinate("4860.000", "N", 90), std::nullopt) << "minutes below sixty";
    EXPECT_EQ(field::Coordinate("9100.000", "N", 90), std::nullopt);
    EXPECT_EQ(field::Coordinate("-4807.038", "N", 90), std::nullopt);
    EXPECT_EQ(field::Coordinate("48e2", "N", 90), std::nullopt);
}

// Every sentence the epoch model reads, one field short of what the table asks: the epoch
// model takes nothing from it and reads no field that is not there.
TEST(FieldReading, ASentenceCutBeforeItsMinimumFieldsGivesNothing)
{
    // clang-format off
    const Lines complete = {
        "$GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
        "$GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W",
        "$GNGLL,4807.038,N,01131.000,E,123519,A",
        "$GNGNS,123519,4807.038,N,01131.000,E,AA,08,0.9,545.4,46.9,,",
        "$GNVTG,054.7,T,034.4,M,005.5,N,010.2,K",
        "$GNGST,123519,3.2,6.6,4.7,47.3,5.8,5.6,22.0",
        "$GNZDA,123519,23,03,1994,00,00",
        "$GNGBS,123519,1.2,1.3,2.5,05,,,",
        "$GNHDT,244.28,T",
        "$GNTHS,244.28,A",
    };
    // clang-format on
    for (const std::string& line : complete) {
        std::size_t fields = 1 + static_cast<std::size_t>(std::count(line.begin(), line.end(), ','));
        const std::size_t minimum = MinimumFieldCount(std::string_view(line).substr(3, 3));
        ASSERT_GE(fields, minimum) << line;
        ASSERT_GT(minimum, 0u) << line << " is in the table";
        std::string cut = line;
        while (fields >= minimum)
            cut.erase(cut.rfind(','), std::string::npos), --fields;

        EpochModel model(Talkers::AllSystems);
        model.Feed(Sealed(cut));
        EXPECT_FALSE(model.Finish()) << cut << " opened an epoch";
    }
    EXPECT_FALSE(ReadGgaFix(Sealed("$GPGGA,123519,4807.038,N,01131.000,E"), Talkers::GpsOnly));
    EXPECT_TRUE(ReadGgaFix(Sealed("$GPGGA,123519,4807.038,N,01131.000,E,1"), Talkers::GpsOnly));
    EXPECT_FALSE(HasMinimumFields("XYZ", 40)) << "no strict reader takes a sentence it does not know";
}

} // namespace
} // namespace fixwatch::test
