#include "files/project_file.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "golden.h"
#include "project_fixtures.h"

namespace {

std::string written(ProjectState& s)
{
    std::ostringstream out;
    EXPECT_TRUE(writeProject(out, s));
    return out.str();
}

bool read(const std::string& text, ProjectState& s, std::string& error)
{
    std::istringstream in(text);
    return readProject(in, s, error);
}

ProjectState readBack(const std::string& text)
{
    ProjectState s;
    std::string error;
    EXPECT_TRUE(read(text, s, error)) << error;
    return s;
}

// Replaces the first occurrence of from with to.
std::string edited(std::string text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST(WriteProject, EmptyProjectMatchesGolden)
{
    ProjectState s;
    s.FILE = "well7.bmp";
    s.IMAGEWIDTH = 2000;
    s.IMAGEHEIGHT = 30000;
    s.ZoomFactor = 0.5;
    s.MAXDIP = 90;
    EXPECT_EQ(written(s), golden("empty_project.ddp"));
}

TEST(WriteProject, RecomputesSortsAndWritesDipRows)
{
    ProjectState s = linearProjectWithDips();
    EXPECT_EQ(written(s), golden("linear_with_dips.ddp"));
    // The recompute and the sort stay in memory.
    EXPECT_EQ(s.dips[1].Quality, "A");
    EXPECT_DOUBLE_EQ(*s.dips[2].Depth, 1005);
    EXPECT_DOUBLE_EQ(*s.dips[2].Dip, 45);
    EXPECT_FALSE(s.dips[5].Depth);
    EXPECT_FALSE(s.dips[4].Dip);
    // A second save writes the same bytes.
    EXPECT_EQ(written(s), golden("linear_with_dips.ddp"));
}

TEST(WriteProject, CustomScaleLinesAndPlainNumbers)
{
    ProjectState s;
    s.FILE = "a,b.bmp";
    s.IMAGEWIDTH = 1;
    s.IMAGEHEIGHT = -40;
    s.ZoomFactor = 0.125;
    s.DipScaleMode = 4;
    s.CustomDipTwip[0] = 1234.5;
    s.CustomDipTwip[1] = 99;  // beyond NCUST 0: not written
    EXPECT_EQ(written(s), golden("custom_ncust0.ddp"));

    ProjectState c;
    c.FILE = "log 12.bmp";
    c.IMAGEWIDTH = 3000;
    c.IMAGEHEIGHT = 40000;
    c.ZoomFactor = 8;
    c.DipScaleMode = 4;
    c.MAXDIP = 90;
    c.NCUST = 9;
    const double clicks[] = {0, 2000, 3500, 4700, 5700, 6600, 7400, 8100, 8700, 9200};
    for (int k = 0; k <= 9; ++k)
        c.CustomDipTwip[k] = clicks[k];
    c.NUMDEP = 2;
    c.depths[1] = {1234.5678901234567, 0.1 + 0.2, -15.5, 9200};
    c.depths[2] = {-0.000125, 1.23456789012345e20, 0, 9200.75};
    EXPECT_EQ(written(c), golden("custom_scale.ddp"));
}

TEST(WriteProject, RefusesWhatCannotBeReadBack)
{
    const auto refused = [](ProjectState s) {
        std::ostringstream out;
        const ProjectState before = s;
        EXPECT_FALSE(writeProject(out, s));
        EXPECT_EQ(out.str(), "");
        return s.dips[1] == before.dips[1];
    };
    ProjectState quote = linearProjectWithDips();
    quote.FILE = "say \"hi\".bmp";
    EXPECT_TRUE(refused(quote));  // nothing recomputed either

    ProjectState inf = linearProjectWithDips();
    inf.depths[2].DEPTH = std::numeric_limits<double>::infinity();
    refused(inf);
    ProjectState nan = linearProjectWithDips();
    nan.dips[3].Azimuth = std::numeric_limits<double>::quiet_NaN();
    refused(nan);
    ProjectState grade = linearProjectWithDips();
    grade.dips[2].Quality = "A,B";
    refused(grade);
    ProjectState count = linearProjectWithDips();
    count.NUMDEP = 201;
    refused(count);
    ProjectState custom;
    custom.DipScaleMode = 4;
    custom.NCUST = 11;
    refused(custom);
}

TEST(WriteProject, ReportsAFailingStream)
{
    ProjectState s = linearProjectWithDips();
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    EXPECT_FALSE(writeProject(out, s));
}

TEST(ReadProject, RoundTripKeepsEveryFieldOfTheFile)
{
    ProjectState c = readBack(golden("custom_scale.ddp"));
    EXPECT_EQ(c.FILE, "log 12.bmp");
    EXPECT_EQ(c.IMAGEWIDTH, 3000);
    EXPECT_EQ(c.ZoomFactor, 8);
    EXPECT_EQ(c.DipScaleMode, 4);
    EXPECT_EQ(c.NCUST, 9);
    EXPECT_EQ(c.CustomDipTwip[9], 9200);
    EXPECT_EQ(c.depths[1].DEPTH, 1234.56789012346);
    EXPECT_EQ(c.depths[2].DEPTHTWIP, 1.23456789012345e20);
    EXPECT_EQ(written(c), golden("custom_scale.ddp"));

    ProjectState d = readBack(golden("linear_with_dips.ddp"));
    EXPECT_EQ(d.NumPoints, 5);
    EXPECT_EQ(d.dips[3].YPIX, 3000.5);
    EXPECT_EQ(d.dips[3].DIPPIX, 7750.25);
    EXPECT_EQ(*d.dips[3].Dip, 67.5);
    EXPECT_EQ(d.dips[1].Azimuth, 360);
    EXPECT_FALSE(d.dips[4].Dip);
    EXPECT_FALSE(d.dips[5].Depth);
    EXPECT_EQ(d.dips[5].Quality, "");
    EXPECT_EQ(d.dips[5].DIPPIX, 3000);
    EXPECT_EQ(written(d), golden("linear_with_dips.ddp"));

    ProjectState e = readBack(golden("custom_ncust0.ddp"));
    EXPECT_EQ(e.FILE, "a,b.bmp");
    EXPECT_EQ(e.IMAGEHEIGHT, -40);
    EXPECT_EQ(e.ZoomFactor, 0.125);
    EXPECT_EQ(e.CustomDipTwip[0], 1234.5);
}

TEST(ReadProject, KeepsFieldsThatAreNotInTheFile)
{
    ProjectState s;
    s.HeaderTop = 77;
    s.QualityColorB = {1, 2, 3};
    s.ProjectChanged = true;
    s.NCUST = 3;
    s.CustomDipTwip[2] = 55;
    s.NUMDEP = 5;
    s.depths[5].DEPTH = 4242;
    std::string error;
    ASSERT_TRUE(read(golden("linear_with_dips.ddp"), s, error)) << error;
    EXPECT_EQ(s.HeaderTop, 77);
    EXPECT_EQ(s.QualityColorB, (Rgb{1, 2, 3}));
    EXPECT_TRUE(s.ProjectChanged);
    EXPECT_EQ(s.NCUST, 3);  // not a custom scale: the custom table is not in the file
    EXPECT_EQ(s.CustomDipTwip[2], 55);
    EXPECT_EQ(s.NUMDEP, 3);
    EXPECT_EQ(s.depths[5].DEPTH, 4242);  // beyond the new count
}

TEST(ReadProject, AcceptsTheVariationsTheWritingRulesLeaveOpen)
{
    const std::string text =
        "file,  \"x.bmp\" trailing\n"
        "\n"
        "Width, 2000  \r"
        "IMAGEHEIGHT,3e4\r\n"
        "zoom,.5\r\n"
        "DipScaleMode,+1.0\r\n"
        "MINDIP,-5\r\n"
        "MAXDIP,90\r\n"
        "NUMDEP,2\r\n"
        "a,b,c,d\r\n"
        "1000, 1500 ,1000,10000\r\n"
        "1010,3000,1000,1E4\r\n"
        "NumPoints,1\r\n"
        "h,h,h,h,h,h\r\n"
        "1005.0, 2250 ,45.0, 5500 ,45.0,\"B\"";
    const ProjectState s = readBack(text);
    EXPECT_EQ(s.FILE, "x.bmp");
    EXPECT_EQ(s.IMAGEWIDTH, 2000);
    EXPECT_EQ(s.IMAGEHEIGHT, 30000);
    EXPECT_EQ(s.ZoomFactor, 0.5);
    EXPECT_EQ(s.DipScaleMode, 1);
    EXPECT_EQ(s.MINDIP, -5);
    EXPECT_EQ(s.depths[2].MAXDIPTWIP, 10000);
    EXPECT_EQ(s.dips[1].Quality, "B");
    EXPECT_EQ(s.dips[1].DIPPIX, 5500);

    // A zoom other than the seven ratios is taken as it stands.
    EXPECT_EQ(readBack(edited(golden("empty_project.ddp"), "Zoom,0.5", "Zoom,3")).ZoomFactor, 3);
    // Whole-number fields round halves to even.
    EXPECT_EQ(readBack(edited(golden("empty_project.ddp"), "MAXDIP,90", "MAXDIP,88.5")).MAXDIP, 88);
}

TEST(ReadProject, FailuresNameTheLineAndLeaveTheStateUntouched)
{
    const std::string good = golden("linear_with_dips.ddp");
    const std::string custom = golden("custom_scale.ddp");
    struct Case {
        std::string text;
        std::string expectedInError;
    };
    const Case cases[] = {
        {"", "ends early"},
        {good.substr(0, good.size() / 2), "ends early"},
        {good.substr(0, good.find("NumPoints")), "ends early"},
        {"FILE,\"unterminated.bmp\r\nIMAGEWIDTH,1\r\n", "closing quote"},
        {edited(good, "IMAGEWIDTH,2000", "IMAGEWIDTH,wide"), "Line 2: expected a number for IMAGEWIDTH"},
        {edited(good, "IMAGEHEIGHT,30000", "IMAGEHEIGHT,"), "Line 3: expected a number for IMAGEHEIGHT"},
        {edited(good, "IMAGEWIDTH,2000", "IMAGEWIDTH,3000000000"), "IMAGEWIDTH must be a whole number"},
        {edited(good, "DipScaleMode,1", "DipScaleMode,5"), "Line 5: DipScaleMode must be a whole number from 0 to 4"},
        {edited(good, "DipScaleMode,1", "DipScaleMode,-1"), "DipScaleMode"},
        {edited(good, "MINDIP,0", "MINDIP,40000"), "MINDIP"},
        {edited(good, "Zoom,1", "Zoom,0"), "zoom must be greater than 0"},
        {edited(good, "Zoom,1", "Zoom,1e999"), "out of range"},
        {edited(good, "NUMDEP,3", "NUMDEP,201"), "NUMDEP must be a whole number from 0 to 200"},
        {edited(good, "NUMDEP,3", "NUMDEP,-2"), "NUMDEP"},
        {edited(good, "NumPoints,5", "NumPoints,10001"), "NumPoints must be a whole number from 0 to 10000"},
        {edited(custom, "NCUST,9", "NCUST,11"), "NCUST must be a whole number from 0 to 10"},
        {edited(good, "1010,3000,1000,10000", "1010,3000,1000,NO CAL"), "MAXDIPTWIP of depth row 2"},
        {edited(good, "1005.0, 2250", "1005.0, 1e400"), "YPIX of dip row 2 is out of range"},
        {edited(good, "45.0,B", "45.0,7"), "expected text for Quality of dip row 2"},
        {edited(good, "NUMDEP,3", "3"), "expected text for the key word \"NUMDEP\""},
        {edited(good, "FILE,\"well7.bmp\"", "FILE,12"), "Line 1: expected text for FILE"},
        {edited(good, "1000.0, 1501", "1000.0, \"1501\""), "YPIX of dip row 1"},
    };
    for (const Case& c : cases) {
        ProjectState s = linearProjectWithDips();
        s.HeaderTop = 5;
        const ProjectState before = s;
        std::string error;
        EXPECT_FALSE(read(c.text, s, error)) << c.expectedInError;
        EXPECT_NE(error.find(c.expectedInError), std::string::npos) << "got: " << error;
        EXPECT_TRUE(s.FILE == before.FILE && s.IMAGEWIDTH == before.IMAGEWIDTH && s.NUMDEP == before.NUMDEP
                    && s.depths == before.depths && s.NumPoints == before.NumPoints && s.dips == before.dips
                    && s.ZoomFactor == before.ZoomFactor && s.DipScaleMode == before.DipScaleMode)
            << "state changed by: " << c.expectedInError;
    }
}

TEST(ReadProject, MisspelledKeysReadAlikeAndAMissingFieldShifts)
{
    std::string text = golden("empty_project.ddp");
    text = edited(text, "IMAGEWIDTH", "imagewidht");
    text = edited(text, "NumPoints", "NUMPOINTS");
    EXPECT_EQ(readBack(text).IMAGEWIDTH, 2000);

    // One missing field in the middle shifts the rest: the reader then finds a
    // number where a key word is due and refuses the file.
    ProjectState s;
    std::string error;
    EXPECT_FALSE(read(edited(golden("empty_project.ddp"), "IMAGEHEIGHT,30000\r\n", "30000\r\n"), s, error));
    EXPECT_NE(error.find("Line 3"), std::string::npos) << error;
}

TEST(DefaultFileName, ReplacesAShortExtension)
{
    EXPECT_EQ(defaultFileName("well7.bmp", "ddp"), "well7.ddp");
    EXPECT_EQ(defaultFileName("x.ddp", "ddp"), "x.ddp");
    EXPECT_EQ(defaultFileName("a.b", "ddp"), "a.ddp");
    EXPECT_EQ(defaultFileName("log.tf", "dip"), "log.dip");
    EXPECT_EQ(defaultFileName("archive.tar.gz", "ddp"), "archive.tar.ddp");
    EXPECT_EQ(defaultFileName("a.b.c", "ddp"), "a.b.ddp");  // the later match wins
    EXPECT_EQ(defaultFileName("picture.jpeg", "ddp"), "");
    EXPECT_EQ(defaultFileName("noextension", "ddp"), "");
    EXPECT_EQ(defaultFileName("", "ddp"), "");
    EXPECT_EQ(defaultFileName(".", "ddp"), "");
    EXPECT_EQ(defaultFileName("a.", "ddp"), "");
}
