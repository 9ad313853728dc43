#include "files/safe_save.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

TEST(SafeSave, ReplacesOnSuccessAndKeepsThePreviousFileOnFailure)
{
    const auto dir = std::filesystem::temp_directory_path() / "dip_safe_save_test";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "work.ddp").string();
    auto contents = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::string error;
    ASSERT_TRUE(saveFileSafely(path, [](std::ostream& o) { return bool(o << "first"); }, error));
    EXPECT_FALSE(saveFileSafely(path, [](std::ostream& o) { o << "half"; return false; }, error));
    EXPECT_EQ(contents(), "first");
    EXPECT_EQ(error, "Cannot save \"" + path + "\": the work holds what this file cannot carry. Any earlier file of "
                     "that name is unchanged.");
    EXPECT_FALSE(std::filesystem::exists(path + ".saving"));
    EXPECT_FALSE(saveFileSafely((dir / "no folder" / "x.ddp").string(), [](std::ostream&) { return true; }, error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    std::filesystem::remove_all(dir);
}
