#include <gtest/gtest.h>

#include <set>

#include "core/dipdigitize.h"
#include "core/work_edits.h"
#include "core/work_snapshot.h"

namespace {

ProjectState withDips(int count)
{
    ProjectState s;
    s.NumPoints = std::int16_t(count);
    for (int i = 1; i <= count; ++i)
        s.dips[i] = DipPoint{double(i), 10.0 * i, 1.0, 5.0 * i, double(i % 360), "B"};
    return s;
}

std::size_t distinctBlocks(std::initializer_list<const SharedTable<DipPoint, kMaxDips + 1>*> tables)
{
    std::set<const void*> blocks;
    for (const auto* t : tables)
        t->forEachBlock([&](const void* b) { blocks.insert(b); });
    return blocks.size();
}

}  // namespace

TEST(WorkHistory, SnapshotsShareTheDipRowsTheyDoNotChange)
{
    ProjectState s = withDips(kMaxDips - 1);
    const WorkSnapshot before = takeSnapshot(s);
    const std::size_t all = distinctBlocks({&s.dips});
    EXPECT_EQ(distinctBlocks({&s.dips, &before.dips}), all);
    applyEdit(s, StartDip{1, 2, 3.0, 4.0});
    EXPECT_EQ(distinctBlocks({&s.dips, &before.dips}), all + 1);  // the last block only
    EXPECT_FALSE(takeSnapshot(s) == before);

    restoreSnapshot(s, before);
    EXPECT_TRUE(takeSnapshot(s) == before);
    EXPECT_EQ(s.NumPoints, kMaxDips - 1);
    EXPECT_FALSE(s.interaction.AwaitingAzimuth);
}

TEST(WorkHistory, DeleteDipClosesUpAndFollowsTheDipAwaitingItsTail)
{
    ProjectState s = withDips(5);
    applyEdit(s, StartDip{7, 80, 9.0, 10.0});  // row 6 at height 80, pending
    ASSERT_EQ(s.interaction.PendingRow, 6);
    applyEdit(s, DeleteDip{2});
    EXPECT_EQ(s.NumPoints, 5);
    EXPECT_EQ(s.dips[2], (DipPoint{3.0, 30, 1.0, 15, 3, "B"}));  // values and order kept
    EXPECT_EQ(s.interaction.PendingRow, 5);
    EXPECT_EQ(s.dips[6].YPIX, 0);  // the row given up
    applyEdit(s, EraseDips{0, 45});  // rows 1, 2 and 3 (heights 10, 30, 40)
    EXPECT_EQ(s.NumPoints, 2);
    EXPECT_EQ(s.interaction.PendingRow, 2);
    EXPECT_TRUE(s.interaction.AwaitingAzimuth);
    applyEdit(s, DeleteDip{2});
    EXPECT_FALSE(s.interaction.AwaitingAzimuth);
    EXPECT_THROW(applyEdit(s, DeleteDip{2}), std::out_of_range);
}

TEST(WorkHistory, DepthsLeadBackToTheirHeights)
{
    ProjectState s;
    EXPECT_FALSE(depthToImageY(s, 1000));
    s.NUMDEP = 3;
    s.depths[1] = {1000, 1500, 0, 0};
    s.depths[2] = {1100, 4500, 0, 0};
    s.depths[3] = {1050, 6000, 0, 0};  // depths need not increase downwards
    EXPECT_EQ(depthToImageY(s, 1050), 3000);  // the first stretch that holds it
    EXPECT_EQ(depthToImageY(s, 1075), 3750);
    EXPECT_EQ(depthToImageY(s, 1000), 1500);
    EXPECT_FALSE(depthToImageY(s, 999.9));
    EXPECT_FALSE(depthToImageY(s, 1100.1));
    for (double depth : {1000.0, 1033.3, 1099.0})
        EXPECT_NEAR(*getdepth(s, *depthToImageY(s, depth) + 1e-9), depth, 1e-6);
}
