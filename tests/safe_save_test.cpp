#include "files/safe_save.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace {

std::string contents(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(SafeSave, ReplacesOnSuccessAndKeepsThePreviousFileOnFailure)
{
    const auto dir = std::filesystem::temp_directory_path() / ("safe_save_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "work.ddp").string();
    std::string error;

    ASSERT_TRUE(saveFileSafely(path, [](std::ostream& o) { return static_cast<bool>(o << "first\r\n"); }, error));
    EXPECT_EQ(contents(path), "first\r\n");

    EXPECT_FALSE(saveFileSafely(path, [](std::ostream& o) { o << "half"; return false; }, error));
    EXPECT_NE(error.find("unchanged"), std::string::npos);
    EXPECT_EQ(contents(path), "first\r\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".saving"));

    EXPECT_FALSE(saveFileSafely((dir / "no such folder" / "x.ddp").string(),
                                [](std::ostream&) { return true; }, error));
    EXPECT_FALSE(error.empty());

    ASSERT_TRUE(saveFileSafely(path, [](std::ostream& o) { return static_cast<bool>(o << "second"); }, error));
    EXPECT_EQ(contents(path), "second");
    std::filesystem::remove_all(dir);
}
