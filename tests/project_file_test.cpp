#include "files/project_file.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "files/dip_export.h"
#include "files/dip_interchange.h"
#include "golden.h"
#include "model/calibration.h"
#include "project_fixtures.h"

namespace {

std::string written(const ProjectFile& p)
{
    std::ostringstream out;
    EXPECT_TRUE(writeProject(out, p));
    return out.str();
}

std::optional<ProjectFile> read(const std::string& text, std::string& error)
{
    std::istringstream in(text);
    return readProject(in, error);
}

ProjectFile readBack(const std::string& text)
{
    std::string error;
    auto p = read(text, error);
    EXPECT_TRUE(p) << error;
    return p.value_or(ProjectFile{});
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
    ProjectFile empty;
    empty.picture = "well7.bmp";
    empty.width = 2000;
    empty.height = 30000;
    empty.zoom = 0.5;
    empty.work.scale = DipScale{DipScaleKind::Standard60, 0, 90, {}};
    EXPECT_EQ(written(empty), golden("empty_project.ddp"));

    ProjectFile ncust0;
    ncust0.picture = "a,b.bmp";
    ncust0.width = 1;
    ncust0.height = -40;
    ncust0.zoom = 0.125;
    ncust0.work.scale = DipScale{DipScaleKind::Custom, 0, 0, {px(1234.5)}};
    EXPECT_EQ(written(ncust0), golden("custom_ncust0.ddp"));
}

TEST(WriteProject, SortsTheDipsByTheirDepthsUnderTheCalibrationAndLeavesTheWork)
{
    const ProjectFile p = linearProjectWithDips();
    EXPECT_EQ(written(p), golden("linear_with_dips.ddp"));
    EXPECT_EQ(p.work.dips[0].grade, "B");  // in the order they were placed
    EXPECT_EQ(written(p), golden("linear_with_dips.ddp"));
}

TEST(WriteProject, RefusesWhatCannotBeReadBack)
{
    std::vector<ProjectFile> refused(5, linearProjectWithDips());
    refused[0].picture = "say \"hi\".bmp";
    refused[1].work.depthRows[1].depth = std::numeric_limits<double>::infinity();
    refused[2].work.dips.at(2).azimuth = std::numeric_limits<double>::quiet_NaN();
    refused[3].work.dips.at(1).grade = "A,B";
    refused[4].work.scale = DipScale{DipScaleKind::Custom, 0, 120, std::vector<double>(12, 1.0)};
    for (const ProjectFile& p : refused) {
        std::ostringstream out;
        EXPECT_FALSE(writeProject(out, p));
        EXPECT_EQ(out.str(), "");
    }
    std::ostringstream failing;
    failing.setstate(std::ios::badbit);
    EXPECT_FALSE(writeProject(failing, linearProjectWithDips()));
}

TEST(ReadProject, RoundTripsEveryGoldenFile)
{
    for (const char* name : {"empty_project.ddp", "custom_ncust0.ddp", "custom_scale.ddp", "linear_with_dips.ddp"})
        EXPECT_EQ(written(readBack(golden(name))), golden(name)) << name;
    EXPECT_EQ(readBack(golden("custom_scale.ddp")).work.depthRows[0].depth, 1234.56789012346);
    const ProjectFile d = readBack(golden("linear_with_dips.ddp"));
    EXPECT_DOUBLE_EQ(d.work.dips[2].x, px(7750.25));
    EXPECT_EQ(d.work.dips[4].grade, "");
    EXPECT_EQ(readBack(golden("custom_ncust0.ddp")).picture, "a,b.bmp");
}

TEST(ReadProject, AcceptsWhatTheWritingRulesLeaveOpen)
{
    const ProjectFile p = readBack(
        "fiLE,  \"x.bmp\" trailing\n\nWidht, 2000  \rIMAGEHEIGHT,3e4\r\nzoom,.5\r\nDipScaleMode,+1.0\r\n"
        "MINDIP,-5\r\nMAXDIP,88.5\r\nNUMDEP,2\r\na,b,c,d\r\n1000, 1500 ,1000,10000\r\n1010,3000,1000,1E4\r\n"
        "NumPoints,1\r\nh,h,h,h,h,h\r\n1005.0, 2250 ,45.0, 5500 ,45.0,\"B\"");
    EXPECT_EQ(p.picture, "x.bmp");
    EXPECT_EQ(p.width, 2000);
    EXPECT_EQ(p.height, 30000);
    EXPECT_EQ(p.zoom, 0.5);
    ASSERT_TRUE(p.work.scale);
    EXPECT_EQ(p.work.scale->kind, DipScaleKind::Linear);
    EXPECT_EQ(p.work.scale->maxDip, 88);  // halves to even
    EXPECT_DOUBLE_EQ(p.work.depthRows[1].maxDipX, px(10000));
    EXPECT_EQ(p.work.dips[0].grade, "B");
    EXPECT_EQ(readBack(edited(golden("empty_project.ddp"), "Zoom,0.5", "Zoom,3")).zoom, 3);
}

TEST(ReadProject, FailuresNameTheLine)
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
        {edited(good, "NUMDEP,3", "NUMDEP,32768"), "NUMDEP must be a whole number from 0 to 32767"},
        {edited(good, "NumPoints,5", "NumPoints,32768"), "from 0 to 32767"},
        {edited(golden("custom_scale.ddp"), "NCUST,9", "NCUST,11"), "NCUST must be a whole number from 0 to 10"},
        {edited(good, "1010,3000,1000,10000", "1010,3000,1000,NO CAL"), "MAXDIPTWIP of depth row 2"},
        {edited(good, "45.0,B", "45.0,7"), "expected text for Quality of dip row 2"},
        {edited(good, "IMAGEHEIGHT,30000\r\n", "30000\r\n"), "Line 3: expected text for the key word"},
        {edited(good, "FILE,\"well7.bmp\"", "FILE,12"), "Line 1: expected text for FILE"},
        {edited(good, "1000.0, 1501", "1000.0, \"1501\""), "YPIX of dip row 1"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        EXPECT_FALSE(read(text, error)) << expected;
        EXPECT_NE(error.find(expected), std::string::npos) << "got: " << error;
    }
}

TEST(ProjectFile, WellDetailsFollowTheDipsAndFilesWithoutThemReadAsBefore)
{
    ProjectFile p = linearProjectWithDips();
    EXPECT_EQ(readBack(golden("linear_with_dips.ddp")).work.well, WellDetails{});
    p.work.well = {"Vell 7, side-track", "Vellwick Oil", "", "12-34-056-07W5", "Alberta", "", "100/12-34-056-07W5/00", "M"};
    EXPECT_EQ(written(p), golden("well_details.ddp"));
    EXPECT_EQ(readBack(golden("well_details.ddp")).work, readBack(written(p)).work);
    EXPECT_EQ(readBack(golden("well_details.ddp")).work.well, p.work.well);

    // In any order, any of them; never twice, never unknown, never bare.
    const std::string dips = golden("linear_with_dips.ddp");
    EXPECT_EQ(readBack(dips + "UNIT,\"FT\"\r\nWELL,\"W\"\r\n").work.well, (WellDetails{"W", "", "", "", "", "", "", "FT"}));
    const std::pair<std::string, std::string> refused[] = {
        {dips + "DEPTHUNIT,\"M\"\r\n", "expected a well detail"},
        {dips + "WELL,\"A\"\r\nWELL,\"B\"\r\n", "expected a well detail"},
        {dips + "WELL,7\r\n", "WELL must be text in double quotes"},
        {dips + "UNIT,\"KM\"\r\n", "UNIT is not"},
        {dips + "WELL\r\n", "ends early"},
    };
    for (const auto& [text, expected] : refused) {
        std::string error;
        EXPECT_FALSE(read(text, error)) << expected;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
    p.work.well.name = "say \"hi\"";
    std::ostringstream out;
    EXPECT_FALSE(writeProject(out, p));
}

TEST(ProjectFile, TheSearchsConfidencesFollowTheWellInTheDipsOrderAndRoundTrip)
{
    ProjectFile p = linearProjectWithDips();
    p.work.dips.at(0).confidence = 73;   // the second by depth
    p.work.dips.at(1).confidence = 100;  // the first
    p.work.well.name = "W";
    const std::string text = written(p);
    const std::string expected = "UNIT,\"\"\r\nCONFIDENCE,5\r\n100\r\n73\r\n\"\"\r\n\"\"\r\n\"\"\r\n";
    ASSERT_GE(text.size(), expected.size());
    EXPECT_EQ(text.substr(text.size() - expected.size()), expected);
    const DipList& back = readBack(text).work.dips;
    ASSERT_EQ(back.size(), 5u);
    EXPECT_EQ(back[0].confidence, 100);
    EXPECT_EQ(back[1].confidence, 73);
    EXPECT_EQ(back[2].confidence, std::nullopt);
    // Without well details they follow the dips.
    p.work.well = {};
    EXPECT_EQ(readBack(written(p)).work.dips[1].confidence, 73);

    std::ostringstream csv;
    ASSERT_TRUE(writeDipsCsv(csv, p.work));
    EXPECT_EQ(csv.str().substr(0, 45), "Depth,Dip,Azimuth,Quality,X,Y,Confidence\r\n100");
    EXPECT_NE(csv.str().find(",366.67,150.00,73\r\n"), std::string::npos) << csv.str();
    EXPECT_NE(csv.str().find(",516.68,200.03,\r\n"), std::string::npos) << csv.str();

    const std::string dips = written(p).substr(0, written(p).find("CONFIDENCE"));
    const std::pair<std::string, std::string> refused[] = {
        {dips + "CONFIDENCE,4\r\n1\r\n2\r\n3\r\n4\r\n", "one confidence for each of the 5 dips"},
        {dips + "CONFIDENCE,5\r\n1\r\n2\r\n3\r\n4\r\n101\r\n", "whole number from 0 to 100, found 101"},
        {dips + "CONFIDENCE,5\r\n1\r\n2\r\n3\r\n4\r\n", "ends early"},
        {dips + "CONFIDENCE,5\r\n1\r\n2\r\n3\r\n4\r\n5\r\nWELL,\"W\"\r\n", "nothing may follow"},
    };
    for (const auto& [bad, expectedError] : refused) {
        std::string error;
        EXPECT_FALSE(read(bad, error)) << expectedError;
        EXPECT_NE(error.find(expectedError), std::string::npos) << error;
    }
}

// Positions in twips become pixels at 15 twips a pixel; an end of the track
// interpolated between rows then lands a hair beside where the file put it,
// and must still read the scale's limit.
TEST(ReadProject, DipsOnTheTracksEndsKeepTheirLimitsThroughARoundTrip)
{
    const std::string header = "FILE,\"well7.bmp\"\r\nIMAGEWIDTH,2000\r\nIMAGEHEIGHT,30000\r\nZoom,1\r\n"
                               "DipScaleMode,1\r\nMINDIP,0\r\nMAXDIP,90\r\nNUMDEP,2\r\n"
                               "DEPTH,DEPTHTWIP,MINDIPTWIP,MAXDIPTWIP\r\n100,1000,1000,10000\r\n200,3000,2000,11000\r\n"
                               "NumPoints,2\r\nDepth,YPIX,Dip,DIPPIX,Azimuth,Quality\r\n";
    const std::string dips = "150.0, 2000 ,0.0, 1500 ,10.0,A\r\n150.0, 2000 ,90.0, 10500 ,20.0,B\r\n";
    EXPECT_EQ(written(readBack(header + dips)), header + dips);

    // Anywhere along the rows, with ends at any twips.
    for (int step = 1; step < 200; ++step) {
        Work w;
        w.scale = DipScale{DipScaleKind::Linear, -10, 80, {}};
        const double top = 1000 + step, bottom = 7000 + 13 * step;
        const double leftTop = 900 + 7 * step, leftBottom = 2100 - 3 * step;
        w.depthRows = {{0, px(top), px(leftTop), px(12000)}, {10, px(bottom), px(leftBottom), px(12000 + step)}};
        const double y = top + (bottom - top) * step / 200.0;
        const double left = leftTop + (leftBottom - leftTop) * step / 200.0;
        const double right = 12000 + step * step / 200.0;
        const Calibration c(w);
        EXPECT_NEAR(c.dipAt(px(left), px(y)).value_or(-999), -10, 1e-9) << step;
        EXPECT_NEAR(c.dipAt(px(right), px(y)).value_or(-999), 80, 1e-9) << step;
    }
}

// A log as long as real ones: 300 depth rows and 20,000 dips, beyond the
// tables' old limits of 200 and 10,000, saved, read back and exported.
TEST(ProjectFile, TablesAsLongAsRealLogsRoundTripAndExport)
{
    ProjectFile p;
    p.picture = "well.bmp";
    p.width = 2000;
    p.height = 310000;
    p.work.scale = DipScale{DipScaleKind::Linear, 0, 90, {}};
    for (int i = 0; i < 300; ++i)
        p.work.depthRows.push_back({1000.0 + 10 * i, 1000.0 + 1000 * i, 300, 1800});
    for (int i = 0; i < 20000; ++i)
        p.work.dips.push_back(Dip{400.0 + (i * 37) % 1300, 1001.0 + (i * 7919) % 298000, double((i * 53) % 360), "A"});
    const std::string text = written(p);
    EXPECT_NE(text.find("NUMDEP,300\r\n"), std::string::npos);
    EXPECT_NE(text.find("NumPoints,20000\r\n"), std::string::npos);
    const ProjectFile back = readBack(text);
    EXPECT_EQ(back.work.depthRows, p.work.depthRows);
    EXPECT_EQ(back.work.dips.size(), 20000u);
    EXPECT_EQ(written(back), text);  // sorted once, the same again

    std::ostringstream dips, csv;
    EXPECT_TRUE(writeDips(dips, back.work));
    EXPECT_TRUE(writeDipsCsv(csv, back.work));
    const std::string table = csv.str();
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 20001);
    EXPECT_EQ(table.find("NO CAL"), std::string::npos);
}
