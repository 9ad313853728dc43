#include "model/number_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

TEST(OneDecimal, RoundsHalvesAwayFromZeroAsTheValueReads)
{
    const std::pair<double, const char*> cases[] = {
        {0.35, "0.4"}, {2.45, "2.5"}, {0.25, "0.3"}, {1234.56, "1234.6"}, {0.04, "0.0"}, {-0.0, "0.0"},
        {45, "45.0"}, {99.96, "100.0"}, {-2.45, "-2.5"}, {123456789.25, "123456789.3"},
        {1e15 + 0.5, "1000000000000000.0"}, {1e20, "100000000000000000000.0"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatOneDecimal(value), text) << value;
    EXPECT_EQ(formatOneDecimal(Reading()), "NO CAL");
}

TEST(PlainForm, FifteenDigitsNoTrailingZerosNoExponentNoLocale)
{
    const std::pair<double, const char*> cases[] = {
        {1500, "1500"}, {0.125, "0.125"}, {-2.5, "-2.5"}, {-0.0, "0"}, {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"}, {2.0 / 3 * 1000, "666.666666666667"}, {1e-7, "0.0000001"},
        {1.5e17, "150000000000000000"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatPlain(value), text) << value;

    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "scripts/install-deps.sh makes this locale";
    EXPECT_EQ(formatPlain(0.5), "0.5");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(roundHalfEven(8.5), 8);
    EXPECT_EQ(roundHalfEven(9.5), 10);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(-2.6), -3);
}

TEST(LeadingNumber, ReadsTheNumberATypedTextStartsWith)
{
    const std::pair<const char*, double> cases[] = {
        {" ", 0},          {"", 0},         {"ft 1020", 0},    {"1020", 1020},    {" 1020 ft", 1020},
        {"1 0 2 0", 1020}, {"-12.5x", -12.5}, {".5", 0.5},      {"2.5e2m", 250},   {"3e", 3},
        {"3e+", 3},        {"1,5", 1},      {"+7", 7},         {"--7", 0},        {"1.2.3", 1.2}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(leadingNumber(text), value) << '"' << text << '"';
    EXPECT_TRUE(std::isinf(leadingNumber("1e999")));
}
