// ctest-cost: 90
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/math/SimpleMath.h"
#include "framework/platform/FwClock.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "tests/game/GameSceneFixture.h"
#include "tests/support/FightDriver.h"
#include "tests/support/GameRun.h"
#include "tests/support/RouteDriver.h"

namespace {

const std::string kBuild = QUARNEL_BUILD_DIR;
constexpr float kFloor = -7.5f;
constexpr int kReturnFrame = kTitleReturnFrame;

// One step of the route: walk (or the final goal walk) to (x, z), or shoot breaker `breaker`.
struct RouteLeg {
    bool shoot = false;
    float x = 0.0f;
    float z = 0.0f;
    int breaker = 0;
};

// The steps of TxtData/route.txt.
bool ReadLegs(Vector3& start, std::vector<RouteLeg>& legs) {
    std::string error;
    for (const RouteStep& step : ReadRoute(kBuild, error)) {
        if (step.action == "start") {
            start = step.point;
        } else if (step.action == "shoot") {
            legs.push_back({true, 0.0f, 0.0f, step.breaker});
        } else if (step.action == "walk" || step.action == "goal") {
            legs.push_back({false, step.point.x, step.point.z, 0});
        }
    }
    return error.empty() && !legs.empty();
}

// Groups of numbers of a level file: position and angle of each breaker, breaker index, position
// and angle of each stand.
std::vector<std::vector<float>> ReadRecords(const std::string& name, size_t width) {
    return ReadLevelRecords(kBuild + "/TxtData/" + name, width);
}

// A content tree with the generated pictures, models and sounds and the shipped level without
// its enemies: the breakers, drums and laser curtains are the ones the route is made for.
void MakeLevel(const TempDir& dir) {
    std::filesystem::create_directory_symlink(kBuild + "/Data", dir.File("Data"));
    for (const char* name : {"data.txt", "drumdata.txt", "breaker.txt", "installatioStand.txt"}) {
        WriteTextFile(dir.File(std::string("TxtData/") + name), ReadTextFile(kBuild + "/TxtData/" + name));
    }
    WriteTextFile(dir.File("TxtData/Enemydata.txt"), "");
}

std::string DumpPath(const TempDir& dir, int frame) { return dir.File("d" + std::to_string(frame) + ".json"); }

bool IsGreen(int r, int g, int b) { return g > 100 && g > r + 40 && g > b + 40; }

bool IsGold(int r, int g, int b) { return r > 180 && g > 120 && b < 120; }

// The route, the level it is made for (without enemies) and the frame in which the game starts.
class PlayThrough : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ReadLegs(start, route)) << "no usable TxtData/route.txt in " << kBuild;
        MakeLevel(content);
        gameStart = GameStartFrame();
        ASSERT_GT(gameStart, kReturnFrame);
    }

    Vector3 start;
    std::vector<RouteLeg> route;
    TempDir content;
    int gameStart = 0;
};

// From the title: Enter, then the route from the hangar to the cabin with W and the mouse:
// every breaker shot with the left gun until it breaks, the curtains it opens walked through, the
// gun arm taken in the armory and its beam fired, then the ending (the robot walks in and turns,
// the doors close, the lamps step) and a click that starts a new title. No frame may leave the
// floor.
TEST_F(PlayThrough, ShootsAndWalksTheRouteFromTheTitleToTheEndingAndBack) {
    const std::vector<std::vector<float>> breakers = ReadRecords("breaker.txt", 4);
    RouteDriver driver(start, gameStart + 5);
    std::vector<std::pair<int, Vector3>> legEnds;
    std::vector<std::pair<int, int>> breaks;  // release frame, breaker
    int beamFrame = 0;
    for (const RouteLeg& step : route) {
        if (step.shoot) {
            ASSERT_LT(static_cast<size_t>(step.breaker), breakers.size());
            const Vector3 target = BreakerFront(breakers[step.breaker]);
            breaks.emplace_back(driver.ShootAt(target, HoldFramesToBreak(driver.position, target)), step.breaker);
            continue;
        }
        legEnds.emplace_back(driver.WalkTo(step.x, step.z), driver.position);
        // The armory's far end: the gun arm was taken on the way in.
        if (beamFrame == 0 && step.z > 70.0f) {
            beamFrame = driver.FireBeam();
        }
    }
    ASSERT_NE(beamFrame, 0) << "the route never reaches the armory";
    ASSERT_GE(breaks.size(), 2u);
    driver.ReleaseAll();
    const int arrival = legEnds.back().first;
    // The robot turns to the camera (up to about 180 frames) and the doors need 186 to close.
    const int click = arrival + 520;
    driver.Click(click);

    TempDir dir;
    WriteTextFile(dir.File("in.txt"), std::string("# route\n") + std::to_string(kReturnFrame) + " key Return down\n" +
                                          std::to_string(kReturnFrame + 2) + " key Return up\n" + driver.script.str());
    const std::string shots = kBuild + "/test-output/playthrough";
    std::filesystem::create_directories(shots);
    const int middle = legEnds[legEnds.size() / 2].first;
    std::vector<std::string> args = {"--unlimited",
                                     "--seed",
                                     "7",
                                     "--content",
                                     content.Path(),
                                     "--input",
                                     dir.File("in.txt"),
                                     "--frames",
                                     std::to_string(click + 2),
                                     "--render-scale",
                                     "100",
                                     "--screenshot",
                                     std::to_string(gameStart + 110) + ":" + shots + "/start.png",
                                     "--screenshot",
                                     std::to_string(breaks.front().first + 20) + ":" + shots + "/breaker.png",
                                     "--screenshot",
                                     std::to_string(beamFrame + 14) + ":" + shots + "/beam.png",
                                     "--screenshot",
                                     std::to_string(middle) + ":" + shots + "/middle.png",
                                     "--screenshot",
                                     std::to_string(arrival + 120) + ":" + shots + "/ending-walk.png",
                                     "--screenshot",
                                     std::to_string(click - 1) + ":" + shots + "/ending.png"};
    std::vector<int> dumped;
    for (int frame = gameStart; frame <= click + 2; frame += 3) {
        dumped.push_back(frame);
    }
    for (const auto& [frame, position] : legEnds) {
        dumped.push_back(frame);
    }
    for (const auto& [frame, breaker] : breaks) {
        dumped.push_back(frame);
    }
    dumped.insert(dumped.end(), {beamFrame, beamFrame + 1, click - 1, click, click + 1});
    for (const int frame : dumped) {
        args.insert(args.end(), {"--dump-state", std::to_string(frame) + ":" + DumpPath(dir, frame)});
    }
    const GameRunResult run = RunGame(HalfSize(args));
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const nlohmann::json first = ReadJsonFile(DumpPath(dir, gameStart));
    ASSERT_EQ(first["scene"], "game");
    EXPECT_FLOAT_EQ(first["blackAlpha"].get<float>(), 0.99f);

    int shotsSeen = 0;
    for (const int frame : dumped) {
        const nlohmann::json state = ReadJsonFile(DumpPath(dir, frame));
        ASSERT_TRUE(state.is_object()) << "no snapshot of frame " << frame;
        if (state["scene"] != "game") {
            continue;
        }
        ASSERT_NEAR(state["player"]["position"][1].get<float>(), kFloor, 1e-3f) << "frame " << frame;
        shotsSeen += static_cast<int>(state["playerBullets"].size());
    }
    EXPECT_GT(shotsSeen, 0);
    for (size_t leg = 0; leg + 1 < legEnds.size(); ++leg) {
        const auto& [frame, expected] = legEnds[leg];
        const nlohmann::json position = ReadJsonFile(DumpPath(dir, frame))["player"]["position"];
        EXPECT_NEAR(position[0].get<float>(), expected.x, 0.25f) << "leg " << leg;
        EXPECT_NEAR(position[2].get<float>(), expected.z, 0.25f) << "leg " << leg;
    }
    // Each breaker is broken when the button is let go, and every curtain it powers is down.
    for (const auto& [frame, breaker] : breaks) {
        const nlohmann::json state = ReadJsonFile(DumpPath(dir, frame));
        EXPECT_FALSE(state["breakers"][breaker]["intact"]) << "breaker " << breaker << " at frame " << frame;
        for (const nlohmann::json& stand : state["stands"]) {
            if (stand["breaker"] == breaker) {
                EXPECT_FALSE(stand["barrierUp"]) << "breaker " << breaker;
            }
        }
    }
    const nlohmann::json beam = ReadJsonFile(DumpPath(dir, beamFrame));
    EXPECT_TRUE(beam["player"]["hasGunArm"]);
    EXPECT_TRUE(beam["weaponItem"]["taken"]);
    EXPECT_EQ(beam["beamShots"].size(), 1u);
    EXPECT_EQ(beam["lists"]["armFlashes"], 1);

    const nlohmann::json beforeClick = ReadJsonFile(DumpPath(dir, click - 1));
    ASSERT_EQ(beforeClick["scene"], "game");
    EXPECT_TRUE(beforeClick["ending"]);
    EXPECT_TRUE(beforeClick["player"]["arrived"]);
    EXPECT_TRUE(beforeClick["elevator"]["doorsClosed"]);
    EXPECT_LT(beforeClick["lamps"]["litIndex"], 4);
    EXPECT_EQ(beforeClick["clickLatch"], 1);
    EXPECT_FALSE(beforeClick["sceneRequested"]);
    EXPECT_GT(beforeClick["lists"]["burnMarks"], 0);
    EXPECT_GT(beforeClick["lists"]["breakerSmokes"], 0);
    EXPECT_TRUE(ReadJsonFile(DumpPath(dir, click))["sceneRequested"]);
    EXPECT_EQ(ReadJsonFile(DumpPath(dir, click + 1))["scene"], "title");

    // What the screenshots show: the gauge and the sighting mark in play, the ending picture at
    // the top of the screen at the end.
    const Image startShot = ReadPng(shots + "/start.png");
    ASSERT_FALSE(startShot.Empty());
    EXPECT_GT(startShot.Share(120, 58, 240, 8, IsGreen), 0.9);
    EXPECT_GT(startShot.Share(600, 320, 80, 81, [](int r, int g, int b) { return r > 225 && g > 225 && b > 225; }),
              0.01);
    const Image endShot = ReadPng(shots + "/ending.png");
    ASSERT_FALSE(endShot.Empty());
    EXPECT_GT(endShot.Share(309, 107, 662, 146, IsGold), 0.05);
    EXPECT_LT(startShot.Share(309, 107, 662, 146, IsGold), 0.01);
}

// The same route without a shot: walking on past the first breaker into its curtain, the robot is
// held 3 units from the curtain's plane.
TEST_F(PlayThrough, UnpoweredCurtainIsNeverReachedWithoutShooting) {
    const std::vector<std::vector<float>> stands = ReadRecords("installatioStand.txt", 5);
    RouteDriver driver(start, gameStart + 5);
    size_t next = 0;
    while (next < route.size() && !route[next].shoot) {
        driver.WalkTo(route[next].x, route[next].z);
        ++next;
    }
    ASSERT_LT(next + 1, route.size());
    const int firstBreaker = route[next].breaker;
    const RouteLeg& through = route[next + 1];
    constexpr int kPushing = 120;
    const int legStart = driver.frame;
    const int legEnd = driver.WalkTo(through.x, through.z, kPushing) + kPushing;
    driver.ReleaseAll();

    const auto curtain = std::find_if(stands.begin(), stands.end(), [&](const std::vector<float>& stand) {
        return static_cast<int>(stand[0]) == firstBreaker;
    });
    ASSERT_NE(curtain, stands.end());
    const Vector3 standPosition((*curtain)[1], (*curtain)[2], (*curtain)[3]);
    const float radians = (*curtain)[4] * Math::kDegToRad;
    const Vector3 normal(std::cos(radians), 0.0f, -std::sin(radians));

    TempDir dir;
    WriteTextFile(dir.File("in.txt"), std::to_string(kReturnFrame) + " key Return down\n" +
                                          std::to_string(kReturnFrame + 2) + " key Return up\n" + driver.script.str());
    std::vector<uint32_t> frames;
    for (int frame = legStart; frame <= legEnd; ++frame) {
        frames.push_back(static_cast<uint32_t>(frame));
    }
    const std::string shots = kBuild + "/test-output/playthrough";
    std::filesystem::create_directories(shots);
    GameRunResult run;
    const auto states =
        RunGameWithSnapshots(StateOnly({"--unlimited", "--seed", "7", "--content", content.Path(), "--input",
                                        dir.File("in.txt"), "--frames", std::to_string(legEnd), "--render-scale", "100",
                                        "--screenshot", std::to_string(legEnd) + ":" + shots + "/curtain.png"}),
                             frames, &run);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    int heldFrames = 0;
    for (const auto& [frame, state] : states) {
        const nlohmann::json& p = state["player"]["position"];
        const Vector3 position(p[0].get<float>(), p[1].get<float>(), p[2].get<float>());
        const float distance = std::fabs((position - standPosition).Dot(normal));
        EXPECT_GE(distance, 2.9f) << "frame " << frame;
        EXPECT_TRUE(state["stands"][curtain - stands.begin()]["barrierUp"]);
        heldFrames += (distance < 3.1f && state["player"]["moving"]) ? 1 : 0;
    }
    EXPECT_EQ(states.size(), frames.size());
    EXPECT_GE(heldFrames, kPushing);
}

}  // namespace

namespace {

constexpr int kMaxFrames = 9000;

class PlayThroughWithEnemies : public GameSceneTest {};

// The shipped level with its twelve enemies, played by the fight driver to the ending.
TEST_F(PlayThroughWithEnemies, ShootsDownTheEnemiesInRangeOnTheWayToTheEnding) {
    for (const char* name : {"data.txt", "Enemydata.txt", "drumdata.txt", "breaker.txt", "installatioStand.txt"}) {
        WriteLevelFile(name, ReadTextFile(kBuild + "/TxtData/" + name));
    }
    FightDriver driver;
    std::string error;
    ASSERT_TRUE(driver.ReadRoute(kBuild, error)) << error;
    const ScopedSeed seed(7u);
    StartGame();
    RunFrames(1);
    C_Game& game = *Game();
    ASSERT_EQ(game.enemies.size(), 12u);

    int frame = 0;
    for (; frame < kMaxFrames && driver.Step(game); ++frame) {
        RunFrames(1);
    }
    std::cout << "play-through with enemies: " << frame << " frames, " << driver.enemiesDowned << " enemies down, "
              << game.player->hitPoints << " hit points left\n";
    RecordProperty("enemiesDown", driver.enemiesDowned);
    RecordProperty("hitPointsLeft", std::to_string(game.player->hitPoints));
    EXPECT_TRUE(game.ending) << "stopped at route step " << driver.step << " after " << frame << " frames";
    EXPECT_GT(game.player->hitPoints, 0.0f);
    EXPECT_GE(driver.enemiesDowned, 1);
}

}  // namespace
