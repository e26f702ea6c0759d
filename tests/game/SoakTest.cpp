// ctest-cost: 40
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

#include "framework/graphics/FwDirect3D.h"
#include "framework/platform/FwClock.h"
#include "game/world/C_Game.h"
#include "scenes/SceneManager.h"
#include "scenes/TitleScene.h"
#include "tests/game/GameSceneFixture.h"
#include "tests/support/FightDriver.h"

namespace {

const std::string kBuild = QUARNEL_BUILD_DIR;
// The test run's length; scripts/quarnel.sh soak sets QUARNEL_SOAK_FRAMES for the long one.
constexpr int kDefaultFrames = 3000;
// Memory is watched from here on, once every kind of object has been made at least once.
constexpr int kSettledFrame = 10000;
constexpr long kMaxGrowthBytes = 5L * 1024 * 1024;
// Burn marks are capped by the game; no other list of a game comes near this.
constexpr size_t kListBound = C_Game::kMaxBurnMarks;

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long total = 0;
    long resident = 0;
    statm >> total >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

class Soak : public GameSceneTest {};

// The seeded careless driver plays the shipped level with no frame limiter: title, game, death or
// ending, title again, for as many frames as asked. Nothing may crash, no list may grow without
// bound, and once the run has settled its resident memory may grow by 5 MB at most.
TEST_F(Soak, PlaysTheLevelAgainAndAgainWithinBoundedListsAndMemory) {
    const char* asked = std::getenv("QUARNEL_SOAK_FRAMES");
    const int frames = asked != nullptr ? std::atoi(asked) : kDefaultFrames;
    ASSERT_GT(frames, 0);
    for (const char* name : {"data.txt", "Enemydata.txt", "drumdata.txt", "breaker.txt", "installatioStand.txt"}) {
        WriteLevelFile(name, ReadTextFile(kBuild + "/TxtData/" + name));
    }
    FightDriver driver(20261209u);
    std::string error;
    ASSERT_TRUE(driver.ReadRoute(kBuild, error)) << error;
    const ScopedSeed seed(11u);
    SceneManager& scenes = SceneManager::GetInstance();
    scenes.SetNextScene(std::make_unique<TitleScene>());

    std::map<std::string, size_t> largest;
    long settled = 0;
    long peak = 0;
    int gameFrames = 0;
    for (int frame = 1; frame <= frames; ++frame) {
        driver.PlayFrame();
        // As the game's loop does: the driver lets go of a frame's commands once it is presented.
        FwDirect3D::GetInstance().Present();
        if (Game() != nullptr) {
            ++gameFrames;
            const nlohmann::json state = Snapshot();
            for (const auto& [list, size] : state["lists"].items()) {
                largest[list] = std::max(largest[list], size.get<size_t>());
            }
        }
        if (frame == kSettledFrame) {
            settled = ResidentBytes();
        }
        if (frame > kSettledFrame && frame % 1000 == 0) {
            peak = std::max(peak, ResidentBytes());
        }
    }
    std::cout << "soak: " << frames << " frames (" << gameFrames << " in games), " << driver.gamesStarted << " games, "
              << driver.endings << " endings, " << driver.deaths << " deaths, " << driver.enemiesDowned
              << " enemies down, " << driver.beamsFired << " beams\n";
    if (settled > 0) {
        std::cout << "soak: resident memory " << settled / 1024 << " KiB at frame " << kSettledFrame << ", at most "
                  << peak / 1024 << " KiB after it\n";
    }
    std::cout << "soak: largest list sizes:";
    for (const auto& [list, size] : largest) {
        std::cout << " " << list << " " << size;
        RecordProperty(list, static_cast<int>(size));
        EXPECT_LE(size, kListBound) << list;
    }
    std::cout << "\n";
    EXPECT_GE(driver.gamesStarted, 1);
    EXPECT_GT(largest["playerBullets"], 0u);
    if (settled > 0) {
        EXPECT_LE(peak - settled, kMaxGrowthBytes);
        // A run this long has time for games that end both ways.
        EXPECT_GE(driver.deaths, 1);
        EXPECT_GE(driver.endings, 1);
    }
}

}  // namespace
