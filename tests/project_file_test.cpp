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

std::string edited(std::string text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

}  // namespace

TEST(WriteProject, MatchesTheGoldenFiles)
{
    ProjectState empty;
    empty.FILE = "well7.bmp";
    empty.IMAGEWIDTH = 2000;
    empty.IMAGEHEIGHT = 30000;
    empty.ZoomFactor = 0.5;
    empty.MAXDIP = 90;
    EXPECT_EQ(written(empty), golden("empty_project.ddp"));

    ProjectState ncust0;
    ncust0.FILE = "a,b.bmp";
    ncust0.IMAGEWIDTH = 1;
    ncust0.IMAGEHEIGHT = -40;
    ncust0.ZoomFactor = 0.125;
    ncust0.DipScaleMode = 4;
    ncust0.CustomDipTwip[0] = 1234.5;
    ncust0.CustomDipTwip[1] = 99;  // beyond NCUST 0: not written
    EXPECT_EQ(written(ncust0), golden("custom_ncust0.ddp"));
}

TEST(WriteProject, RecomputesAndSortsTheDipsInMemoryToo)
{
    ProjectState s = linearProjectWithDips();
    EXPECT_EQ(written(s), golden("linear_with_dips.ddp"));
    EXPECT_EQ(s.dips[1].Quality, "A");
    EXPECT_DOUBLE_EQ(*s.dips[2].Dip, 45);
    EXPECT_FALSE(s.dips[5].Depth);
    EXPECT_EQ(written(s), golden("linear_with_dips.ddp"));
}

TEST(WriteProject, RefusesWhatCannotBeReadBackAndChangesNothing)
{
    std::vector<ProjectState> refused(6, linearProjectWithDips());
    refused[0].FILE = "say \"hi\".bmp";
    refused[1].depths[2].DEPTH = std::numeric_limits<double>::infinity();
    refused[2].dips[3].Azimuth = std::numeric_limits<double>::quiet_NaN();
    refused[3].dips[2].Quality = "A,B";
    refused[4].NUMDEP = 201;
    refused[5].DipScaleMode = 4;
    refused[5].NCUST = 11;
    for (ProjectState& s : refused) {
        const DipPoint before = s.dips[1];
        std::ostringstream out;
        EXPECT_FALSE(writeProject(out, s));
        EXPECT_EQ(out.str(), "");
        EXPECT_EQ(s.dips[1], before);
    }
    ProjectState s = linearProjectWithDips();
    std::ostringstream failing;
    failing.setstate(std::ios::badbit);
    EXPECT_FALSE(writeProject(failing, s));
}

TEST(ReadProject, RoundTripsEveryGoldenFile)
{
    for (const char* name : {"empty_project.ddp", "custom_ncust0.ddp", "custom_scale.ddp", "linear_with_dips.ddp"}) {
        ProjectState s = readBack(golden(name));
        EXPECT_EQ(written(s), golden(name)) << name;
    }
    EXPECT_EQ(readBack(golden("custom_scale.ddp")).depths[1].DEPTH, 1234.56789012346);
    const ProjectState d = readBack(golden("linear_with_dips.ddp"));
    EXPECT_EQ(d.dips[3].DIPPIX, 7750.25);
    EXPECT_FALSE(d.dips[4].Dip);  // "NO CAL" reads back as such
    EXPECT_EQ(d.dips[5].Quality, "");
    EXPECT_EQ(readBack(golden("custom_ncust0.ddp")).FILE, "a,b.bmp");
}

TEST(ReadProject, ReplacesOnlyTheFieldsOfTheFile)
{
    ProjectState s;
    s.HeaderTop = 77;
    s.NCUST = 3;
    s.NUMDEP = 5;
    s.depths[5].DEPTH = 4242;
    std::string error;
    ASSERT_TRUE(read(golden("linear_with_dips.ddp"), s, error)) << error;
    EXPECT_EQ(s.HeaderTop, 77);
    EXPECT_EQ(s.NCUST, 3);  // not a custom scale: no custom table in the file
    EXPECT_EQ(s.NUMDEP, 3);
    EXPECT_EQ(s.depths[5].DEPTH, 4242);  // beyond the new count
}

TEST(ReadProject, AcceptsWhatTheWritingRulesLeaveOpen)
{
    const ProjectState s = readBack(
        "fiLE,  \"x.bmp\" trailing\n\nWidht, 2000  \rIMAGEHEIGHT,3e4\r\nzoom,.5\r\nDipScaleMode,+1.0\r\n"
        "MINDIP,-5\r\nMAXDIP,88.5\r\nNUMDEP,2\r\na,b,c,d\r\n1000, 1500 ,1000,10000\r\n1010,3000,1000,1E4\r\n"
        "NumPoints,1\r\nh,h,h,h,h,h\r\n1005.0, 2250 ,45.0, 5500 ,45.0,\"B\"");
    EXPECT_EQ(s.FILE, "x.bmp");
    EXPECT_EQ(s.IMAGEWIDTH, 2000);
    EXPECT_EQ(s.IMAGEHEIGHT, 30000);
    EXPECT_EQ(s.ZoomFactor, 0.5);
    EXPECT_EQ(s.DipScaleMode, 1);
    EXPECT_EQ(s.MAXDIP, 88);  // halves to even
    EXPECT_EQ(s.depths[2].MAXDIPTWIP, 10000);
    EXPECT_EQ(s.dips[1].Quality, "B");
    EXPECT_EQ(readBack(edited(golden("empty_project.ddp"), "Zoom,0.5", "Zoom,3")).ZoomFactor, 3);
}

TEST(ReadProject, FailuresNameTheLineAndLeaveTheStateUntouched)
{
    const std::string good = golden("linear_with_dips.ddp");
    const std::pair<std::string, std::string> cases[] = {
        {"", "ends early"},
        {good.substr(0, good.find("NumPoints")), "ends early"},
        {"FILE,\"unterminated.bmp\r\nIMAGEWIDTH,1\r\n", "closing quote"},
        {edited(good, "IMAGEWIDTH,2000", "IMAGEWIDTH,wide"), "Line 2: expected a number for IMAGEWIDTH"},
        {edited(good, "IMAGEWIDTH,2000", "IMAGEWIDTH,3000000000"), "IMAGEWIDTH must be a whole number"},
        {edited(good, "DipScaleMode,1", "DipScaleMode,5"), "Line 5: DipScaleMode must be a whole number from 0 to 4"},
        {edited(good, "Zoom,1", "Zoom,0"), "zoom must be greater than 0"},
        {edited(good, "Zoom,1", "Zoom,1e999"), "out of range"},
        {edited(good, "NUMDEP,3", "NUMDEP,201"), "NUMDEP must be a whole number from 0 to 200"},
        {edited(good, "NumPoints,5", "NumPoints,10001"), "from 0 to 10000"},
        {edited(golden("custom_scale.ddp"), "NCUST,9", "NCUST,11"), "NCUST must be a whole number from 0 to 10"},
        {edited(good, "1010,3000,1000,10000", "1010,3000,1000,NO CAL"), "MAXDIPTWIP of depth row 2"},
        {edited(good, "45.0,B", "45.0,7"), "expected text for Quality of dip row 2"},
        {edited(good, "IMAGEHEIGHT,30000\r\n", "30000\r\n"), "Line 3: expected text for the key word"},
        {edited(good, "FILE,\"well7.bmp\"", "FILE,12"), "Line 1: expected text for FILE"},
        {edited(good, "1000.0, 1501", "1000.0, \"1501\""), "YPIX of dip row 1"},
    };
    for (const auto& [text, expected] : cases) {
        ProjectState s = linearProjectWithDips();
        std::string error;
        EXPECT_FALSE(read(text, s, error)) << expected;
        EXPECT_NE(error.find(expected), std::string::npos) << "got: " << error;
        const ProjectState before = linearProjectWithDips();
        EXPECT_TRUE(s.FILE == before.FILE && s.NUMDEP == before.NUMDEP && s.depths == before.depths
                    && s.NumPoints == before.NumPoints && s.dips == before.dips && s.ZoomFactor == before.ZoomFactor)
            << "state changed by: " << expected;
    }
}

TEST(DefaultFileName, ReplacesAShortExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"well7.bmp", "well7.ddp"}, {"x.ddp", "x.ddp"}, {"a.b", "a.ddp"}, {"log.tf", "log.ddp"},
        {"a.b.c", "a.b.ddp"}, {"picture.jpeg", ""}, {"noextension", ""}, {"a.", ""}, {"", ""}};
    for (const auto& [title, expected] : cases)
        EXPECT_EQ(defaultFileName(title, "ddp"), expected) << title;
    EXPECT_EQ(defaultFileName("well7.bmp", "dip"), "well7.dip");
}
