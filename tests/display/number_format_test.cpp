#include "number_format.h"

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

const QString kPoint = QStringLiteral(".");

TEST(NumberPatterns, UpToThreeDecimalsKeepsOneAndDropsTrailingZeros)
{
    EXPECT_EQ(FormatUpToThreeDecimals(545.4, kPoint), "545.4");
    EXPECT_EQ(FormatUpToThreeDecimals(12, kPoint), "12.0");
    EXPECT_EQ(FormatUpToThreeDecimals(0.25, kPoint), "0.25");
    EXPECT_EQ(FormatUpToThreeDecimals(12.34567, kPoint), "12.346");
    EXPECT_EQ(FormatUpToThreeDecimals(-3.5, kPoint), "-3.5");
    EXPECT_EQ(FormatUpToThreeDecimals(-12.3456, kPoint), "-12.346");
    EXPECT_EQ(FormatUpToThreeDecimals(0, kPoint), "0.0");
    EXPECT_EQ(FormatUpToThreeDecimals(123456.7, kPoint), "123456.7"); // no grouping
}

TEST(NumberPatterns, ExactHalvesRoundAwayFromZeroAsTyped)
{
    EXPECT_EQ(FormatUpToThreeDecimals(2.0005, kPoint), "2.001");
    EXPECT_EQ(FormatUpToThreeDecimals(-2.0005, kPoint), "-2.001");
    EXPECT_EQ(FormatUpToThreeDecimals(9.9995, kPoint), "10.0");
    EXPECT_EQ(FormatOneDecimal(0.25, kPoint), "0.3");
    EXPECT_EQ(FormatOneDecimal(99.99, kPoint), "100.0");
    EXPECT_EQ(FormatOneDecimal(-0.04, kPoint), "0.0"); // no "-0.0"
}

TEST(NumberPatterns, OneDecimalAndIntegers)
{
    EXPECT_EQ(FormatOneDecimal(1.85, kPoint), "1.9");
    EXPECT_EQ(FormatOneDecimal(12, kPoint), "12.0");
    EXPECT_EQ(FormatOneDecimal(12.34, kPoint), "12.3");
    EXPECT_EQ(FormatInteger(8), "8");
    EXPECT_EQ(FormatInteger(-32768), "-32768");
    EXPECT_EQ(FormatTwoDigits(1), "01");
    EXPECT_EQ(FormatTwoDigits(12), "12");
}

TEST(NumberPatterns, UseTheGivenDecimalSeparator)
{
    EXPECT_EQ(FormatUpToThreeDecimals(545.4, QStringLiteral(",")), "545,4");
    EXPECT_EQ(FormatOneDecimal(0.9, QStringLiteral(",")), "0,9");
}

TEST(DatePattern, WidensTwoDigitYearsByThePosixWindow)
{
    EXPECT_EQ(FormatDate("05/12/26"), "05/12/2026");
    EXPECT_EQ(FormatDate("31/12/99"), "31/12/1999");
    EXPECT_EQ(FormatDate("01/01/68"), "01/01/2068");
    EXPECT_EQ(FormatDate("01/01/69"), "01/01/1969");
    EXPECT_EQ(FormatDate("01/03/30"), "01/03/2030");
}

TEST(DatePattern, LeavesAnUnreadableDateUnchanged)
{
    EXPECT_EQ(FormatDate("32/13/26"), "32/13/26");
    EXPECT_EQ(FormatDate("30/02/26"), "30/02/26");
    EXPECT_EQ(FormatDate("//"), "//");
    EXPECT_EQ(FormatDate(""), "");
}

} // namespace
} // namespace fixwatch
