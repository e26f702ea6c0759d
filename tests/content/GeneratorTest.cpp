// The generator writes the same bytes on every run: a fresh run matches the tree the build wrote
// beside the game, file for file, and stays within its size budget.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/GameRun.h"

namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(Generator, WritesTheSameTreeAgain) {
    TempDir fresh;
    const std::string command = std::string(QUARNEL_BUILD_DIR) + "/quarnel_content " + fresh.Path();
    ASSERT_EQ(std::system(command.c_str()), 0);
    uintmax_t total = 0;
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fresh.Path())) {
        if (!entry.is_regular_file())
            continue;
        const fs::path relative = fs::relative(entry.path(), fresh.Path());
        const fs::path built = fs::path(QUARNEL_BUILD_DIR) / relative;
        ASSERT_TRUE(fs::exists(built)) << relative;
        EXPECT_TRUE(Bytes(entry.path()) == Bytes(built)) << relative << " differs from the build's copy";
        total += entry.file_size();
        ++files;
    }
    EXPECT_GT(files, 100);
    EXPECT_LT(total, 20u * 1024 * 1024);
}
