// Replays every input a fuzzer once crashed on, and the hand-made seeds, through the entry point
// the fuzzer called: the reader must come back (refusing the input is fine). Under the sanitizer
// build this also catches reads out of bounds, undefined behaviour and leaks.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzTargets.h"

namespace {

const std::filesystem::path kData = std::filesystem::path(QUARNEL_SOURCE_DIR) / "tests/data";

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

// A folder whose name is not a target would never be replayed.
TEST(RegressionCorpus, EveryFolderNamesAFuzzTarget) {
    for (const char* corpus : {"regressions", "fuzz-seeds"}) {
        for (const auto& entry : std::filesystem::directory_iterator(kData / corpus)) {
            if (entry.is_directory()) {
                EXPECT_NE(FindFuzzTarget(entry.path().filename().string()), nullptr) << entry.path();
            }
        }
    }
}

class RegressionReplay : public testing::TestWithParam<FuzzTarget> {};

TEST_P(RegressionReplay, EveryInputIsReadOrRefusedWithoutCrashing) {
    const FuzzTarget& target = GetParam();
    std::vector<std::filesystem::path> inputs = FilesIn(kData / "regressions" / target.name);
    const std::vector<std::filesystem::path> seeds = FilesIn(kData / "fuzz-seeds" / target.name);
    inputs.insert(inputs.end(), seeds.begin(), seeds.end());
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.string());
        target.run(ReadBytes(input));
    }
    // Empty and one-byte inputs are the first a fuzzer tries; they stay covered without files.
    target.run({});
    const uint8_t zero = 0;
    target.run({&zero, 1});
}

INSTANTIATE_TEST_SUITE_P(Targets, RegressionReplay, testing::ValuesIn(FuzzTargets().begin(), FuzzTargets().end()),
                         [](const testing::TestParamInfo<FuzzTarget>& info) { return std::string(info.param.name); });
