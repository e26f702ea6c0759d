// ctest-cost: 90
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "framework/math/SimpleMath.h"
#include "tests/support/GameRun.h"

namespace {

const std::string kBuild = QUARNEL_BUILD_DIR;
constexpr float kFloor = -7.5f;
constexpr float kWalkSpeed = 0.5f;
constexpr float kDegreesPerPixel = 0.25f;
constexpr int kReturnFrame = kTitleReturnFrame;

// A point the route walks to on the floor.
struct Waypoint {
    float x = 0.0f;
    float z = 0.0f;
};

// The walk and goal steps of TxtData/route.txt; shooting is for the breakers, which this level
// does not have yet.
bool ReadWalk(Vector3& start, std::vector<Waypoint>& points) {
    std::string error;
    for (const RouteStep& step : ReadRoute(kBuild, error)) {
        if (step.action == "start") {
            start = step.point;
        } else if (step.action == "walk" || step.action == "goal") {
            points.push_back({step.point.x, step.point.z});
        }
    }
    return error.empty() && !points.empty();
}

// Writes the input a player would give to walk the route: turn with the mouse (a quarter degree
// a pixel) with W released, then hold W for as many half-unit frames as the leg needs. The
// driver keeps the robot's position and yaw as the game computes them, so each leg is aimed from
// where the last one really ended; the test checks that against snapshots.
class RouteDriver {
public:
    RouteDriver(const Vector3& start, int firstFrame) : position(start), frame(firstFrame) {}

    // Returns the frame of the leg's last step.
    int WalkTo(const Waypoint& point) {
        const float heading = std::atan2(point.x - position.x, point.z - position.z) / Math::kDegToRad;
        float turn = std::remainder(heading - yaw, 360.0f);
        const int pixels = static_cast<int>(std::lround(turn / kDegreesPerPixel));
        script << frame << " key W up\n";
        if (pixels != 0) {
            script << frame << " move " << pixels << " 0\n";
            yaw += static_cast<float>(pixels) * kDegreesPerPixel;
        }
        const float distance = std::hypot(point.x - position.x, point.z - position.z);
        const int steps = static_cast<int>(std::lround(distance / kWalkSpeed));
        script << frame + 1 << " key W down\n";
        const float radians = yaw * Math::kDegToRad;
        const Vector3 forward = Vector3(std::sin(radians), 0.0f, std::cos(radians)).Normalized();
        for (int i = 0; i < steps; ++i) {
            position += forward * kWalkSpeed;
        }
        frame += steps + 1;
        return frame - 1;
    }

    void ReleaseAll() { script << frame << " key W up\n"; }
    void Click(int at) { script << at << " button left down\n" << at + 1 << " button left up\n"; }

    std::ostringstream script;
    Vector3 position;
    float yaw = 0.0f;
    int frame;
};

// A content tree with the generated pictures, models and sounds and the shipped level, without
// enemies and installation stands: nothing shoots and no curtain bars the way.
void MakeWalkingLevel(const TempDir& dir) {
    std::filesystem::create_directory_symlink(kBuild + "/Data", dir.File("Data"));
    for (const char* name : {"data.txt", "drumdata.txt", "breaker.txt"}) {
        WriteTextFile(dir.File(std::string("TxtData/") + name), ReadTextFile(kBuild + "/TxtData/" + name));
    }
    WriteTextFile(dir.File("TxtData/Enemydata.txt"), "");
    WriteTextFile(dir.File("TxtData/installatioStand.txt"), "");
}

std::string DumpPath(const TempDir& dir, int frame) { return dir.File("d" + std::to_string(frame) + ".json"); }

bool IsGreen(int r, int g, int b) { return g > 100 && g > r + 40 && g > b + 40; }

bool IsGold(int r, int g, int b) { return r > 180 && g > 120 && b < 120; }

// From the title: Enter, then the route from the hangar to the cabin with W and the mouse, the
// ending (the robot walks in and turns, the doors close, the lamps step) and a click that starts
// a new title. No frame may leave the floor.
TEST(PlayThrough, WalksTheRouteFromTheTitleToTheEndingAndBack) {
    Vector3 start;
    std::vector<Waypoint> route;
    ASSERT_TRUE(ReadWalk(start, route)) << "no usable TxtData/route.txt in " << kBuild;
    TempDir content;
    MakeWalkingLevel(content);
    const int gameStart = GameStartFrame();
    ASSERT_GT(gameStart, kReturnFrame);

    RouteDriver driver(start, gameStart + 5);
    std::vector<std::pair<int, Vector3>> legEnds;
    for (const Waypoint& point : route) {
        legEnds.emplace_back(driver.WalkTo(point), driver.position);
    }
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
                                     "--screenshot",
                                     std::to_string(gameStart + 110) + ":" + shots + "/start.png",
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
    dumped.insert(dumped.end(), {click - 1, click, click + 1});
    for (const int frame : dumped) {
        args.insert(args.end(), {"--dump-state", std::to_string(frame) + ":" + DumpPath(dir, frame)});
    }
    const GameRunResult run = RunGame(HalfSize(args));
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const nlohmann::json first = ReadJsonFile(DumpPath(dir, gameStart));
    ASSERT_EQ(first["scene"], "game");
    EXPECT_FLOAT_EQ(first["blackAlpha"].get<float>(), 0.99f);

    for (const int frame : dumped) {
        const nlohmann::json state = ReadJsonFile(DumpPath(dir, frame));
        ASSERT_TRUE(state.is_object()) << "no snapshot of frame " << frame;
        if (state["scene"] != "game") {
            continue;
        }
        ASSERT_NEAR(state["player"]["position"][1].get<float>(), kFloor, 1e-3f) << "frame " << frame;
    }
    for (size_t leg = 0; leg + 1 < legEnds.size(); ++leg) {
        const auto& [frame, expected] = legEnds[leg];
        const nlohmann::json position = ReadJsonFile(DumpPath(dir, frame))["player"]["position"];
        EXPECT_NEAR(position[0].get<float>(), expected.x, 0.25f) << "leg " << leg;
        EXPECT_NEAR(position[2].get<float>(), expected.z, 0.25f) << "leg " << leg;
    }

    const nlohmann::json beforeClick = ReadJsonFile(DumpPath(dir, click - 1));
    ASSERT_EQ(beforeClick["scene"], "game");
    EXPECT_TRUE(beforeClick["ending"]);
    EXPECT_TRUE(beforeClick["player"]["arrived"]);
    EXPECT_TRUE(beforeClick["elevator"]["doorsClosed"]);
    EXPECT_LT(beforeClick["lamps"]["litIndex"], 4);
    EXPECT_EQ(beforeClick["clickLatch"], 1);
    EXPECT_FALSE(beforeClick["sceneRequested"]);
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

}  // namespace
