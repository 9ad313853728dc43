// Printed depths read by Tesseract, as the search for a calibration reads
// the labels beside depth lines.
#include <clocale>
#include <thread>

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "ocr/number_reader.h"

namespace {

cv::Mat printed(const std::string& text, double size = 0.6)
{
    cv::Mat grey(28, 20 + int(text.size()) * 16, CV_8U, cv::Scalar(255));
    cv::putText(grey, text, {6, 21}, cv::FONT_HERSHEY_SIMPLEX, size, cv::Scalar(0), 2, cv::LINE_AA);
    return grey;
}

}  // namespace

TEST(NumberReader, ReadsPrintedDepths)
{
    NumberReader reader;
    ASSERT_TRUE(reader.ready());
    for (const char* depth : {"2410", "1005", "387.5", "12030"}) {
        const NumberReader::Reading r = reader.read(printed(depth));
        EXPECT_EQ(r.text, depth);
        EXPECT_GT(r.confidence, 50) << depth;
    }
    EXPECT_EQ(reader.read(cv::Mat(20, 60, CV_8U, cv::Scalar(255))).text, "");  // nothing printed
}

// Text that is no number is read as none, not as a guess at one: no two
// readings of it agree on digits.
TEST(NumberReader, WordsGiveNoNumber)
{
    NumberReader reader;
    ASSERT_TRUE(reader.ready());
    for (const char* words : {"SAND", "FAULT", "SHALE"}) {
        cv::Mat grey(28, 20 + 16 * int(std::string(words).size()), CV_8U, cv::Scalar(255));
        cv::putText(grey, words, {6, 21}, cv::FONT_HERSHEY_SIMPLEX, 0.6, cv::Scalar(0), 2, cv::LINE_AA);
        EXPECT_FALSE(numberOf(reader.read(grey).text)) << words;
    }
}

TEST(NumberReader, OnlyDigitsMakeANumber)
{
    EXPECT_EQ(numberOf("2410"), 2410);
    EXPECT_EQ(numberOf("387.5"), 387.5);
    EXPECT_EQ(numberOf("-12"), -12);
    for (const char* bad : {"", "-", ".5", "5.", "2.4.1", "24-10", "SAND", "24l0"})
        EXPECT_FALSE(numberOf(bad)) << bad;
}

// A speck after a number is read as a point or a minus sign: it is no
// part of the number.
TEST(NumberReader, ASpeckAfterANumberIsNoPartOfIt)
{
    NumberReader reader;
    ASSERT_TRUE(reader.ready());
    for (const char* depth : {"2410", "1005", "2070"}) {
        cv::Mat grey = printed(depth);
        const int end = 6 + cv::getTextSize(depth, cv::FONT_HERSHEY_SIMPLEX, 0.6, 2, nullptr).width;
        cv::rectangle(grey, cv::Rect(end + 3, 19, 3, 3), cv::Scalar(0), cv::FILLED);
        EXPECT_EQ(reader.read(grey).text, depth);
    }
}

// A reader is made on the calibration search's thread while the window's
// runs: it sets no locale, and reads and parses a depth under one that
// writes numbers with a decimal comma.
TEST(NumberReader, ReadsUnderADecimalCommaLocaleAndSetsNone)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "scripts/install-deps.sh makes this locale";
    NumberReader::Reading read;
    std::thread search([&read] {
        NumberReader reader;
        if (reader.ready())
            read = reader.read(printed("387.5"));
    });
    search.join();
    const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(numeric, "de_DE.UTF-8");
    EXPECT_EQ(read.text, "387.5");
    EXPECT_EQ(numberOf(read.text), 387.5);
}
