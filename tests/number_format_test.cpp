#include "core/number_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

TEST(OneDecimal, RoundsHalvesAwayFromZeroAsTheValueReads)
{
    EXPECT_EQ(formatOneDecimal(0.35), "0.4");
    EXPECT_EQ(formatOneDecimal(2.45), "2.5");
    EXPECT_EQ(formatOneDecimal(0.25), "0.3");
    EXPECT_EQ(formatOneDecimal(1234.56), "1234.6");
    EXPECT_EQ(formatOneDecimal(0.04), "0.0");
    EXPECT_EQ(formatOneDecimal(0.5), "0.5");
    EXPECT_EQ(formatOneDecimal(0.0), "0.0");
    EXPECT_EQ(formatOneDecimal(-0.0), "0.0");
    EXPECT_EQ(formatOneDecimal(45), "45.0");
    EXPECT_EQ(formatOneDecimal(9.95), "10.0");
    EXPECT_EQ(formatOneDecimal(99.96), "100.0");
    EXPECT_EQ(formatOneDecimal(-2.45), "-2.5");
    EXPECT_EQ(formatOneDecimal(-12.34), "-12.3");
    EXPECT_EQ(formatOneDecimal(1e15 + 0.5), "1000000000000000.0");  // 15 digits: .5 is beyond them
    EXPECT_EQ(formatOneDecimal(123456789.25), "123456789.3");
    EXPECT_EQ(formatOneDecimal(1e20), "100000000000000000000.0");
    EXPECT_EQ(formatOneDecimal(Reading()), "NO CAL");
    EXPECT_EQ(formatOneDecimal(Reading(7.25)), "7.3");
}

TEST(PlainForm, FifteenDigitsNoTrailingZerosNoExponent)
{
    EXPECT_EQ(formatPlain(1500), "1500");
    EXPECT_EQ(formatPlain(0.5), "0.5");
    EXPECT_EQ(formatPlain(0.25), "0.25");
    EXPECT_EQ(formatPlain(0.125), "0.125");
    EXPECT_EQ(formatPlain(-2.5), "-2.5");
    EXPECT_EQ(formatPlain(0), "0");
    EXPECT_EQ(formatPlain(-0.0), "0");
    EXPECT_EQ(formatPlain(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatPlain(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(formatPlain(2.0 / 3 * 1000), "666.666666666667");
    EXPECT_EQ(formatPlain(1e-7), "0.0000001");
    EXPECT_EQ(formatPlain(1.5e17), "150000000000000000");
    EXPECT_EQ(formatPlain(3000.5), "3000.5");
}

TEST(PlainForm, IndependentOfTheMachineLocale)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "fr_FR.UTF-8")) {
        EXPECT_EQ(formatPlain(0.5), "0.5");
        EXPECT_EQ(formatOneDecimal(1234.56), "1234.6");
    }
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(8.5), 8);
    EXPECT_EQ(roundHalfEven(9.5), 10);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.6), 3);
    EXPECT_EQ(roundHalfEven(-2.6), -3);
    EXPECT_EQ(roundHalfEven(102.5), 102);
}
