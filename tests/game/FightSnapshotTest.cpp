// ctest-cost: 240
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "tests/support/GameRun.h"

namespace {

const std::string kBuild = QUARNEL_BUILD_DIR;
const std::string kFight = std::string(QUARNEL_SOURCE_DIR) + "/tests/data/fight/";
constexpr int kUpdates[] = {200, 500, 800, 1100};

// The fight driver's input (tests/data/fight/input.txt, recorded from the shipped level with seed
// 7) played by the game binary: at four updates across the fight (robots shot down, explosions,
// debris, enemy fire on the player) the whole state equals the snapshots taken from the game before
// ray queries walked hierarchies and content was shared, re-taken once when the game's trigonometry
// became its own (Math::Sin and friends round the double functions; glibc's float ones differ from
// them in the last bit). Their frames count from the game's start.
// The world never depends on the scale its 3D picture is drawn at: at full size and at half size
// every field is the same, and at `auto`, whose first game frame is drawn again to time it.
class FightSnapshot : public ::testing::TestWithParam<const char*> {};

TEST_P(FightSnapshot, StateAcrossAFightIsTheSameAsBeforeTheSpeedWork) {
    const int start = GameStartFrame();
    ASSERT_GT(start, kTitleReturnFrame);
    TempDir content;
    std::filesystem::create_directory_symlink(kBuild + "/Data", content.File("Data"));
    for (const char* name : {"data.txt", "Enemydata.txt", "drumdata.txt", "breaker.txt", "installatioStand.txt"}) {
        WriteTextFile(content.File(std::string("TxtData/") + name), ReadTextFile(kBuild + "/TxtData/" + name));
    }
    WriteTextFile(content.File("in.txt"), FightScript(start));
    std::vector<uint32_t> frames;
    for (const int update : kUpdates) {
        frames.push_back(static_cast<uint32_t>(start + update - 1));
    }
    GameRunResult run;
    const auto states = RunGameWithSnapshots(
        StateOnly({"--unlimited", "--seed", "7", "--content", content.Path(), "--input", content.File("in.txt"),
                   "--frames", std::to_string(frames.back()), "--render-scale", GetParam()}),
        frames, &run);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const int update : kUpdates) {
        const auto state = states.find(static_cast<uint32_t>(start + update - 1));
        ASSERT_NE(state, states.end()) << "no snapshot at update " << update;
        ASSERT_EQ(state->second["updates"], update);
        if (std::string(GetParam()) != "auto") {
            EXPECT_EQ(state->second["renderScale"].get<float>() * 100.0f, std::stof(GetParam()));
        }
        StateComparison comparison{1e-5};
        ExpectSameState(ReadJsonFile(kFight + "update-" + std::to_string(update) + ".json"), state->second,
                        "update " + std::to_string(update), comparison);
    }
}

INSTANTIATE_TEST_SUITE_P(RenderScale, FightSnapshot, ::testing::Values("100", "50", "auto"));

}  // namespace
