// ctest-cost: 60
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/GameRun.h"

namespace {

const std::string kBuild = QUARNEL_BUILD_DIR;
constexpr int kFrames = 1000;
constexpr int kEvery = 10;

// The shipped level with two robots just ahead of the start, so that a fight begins at once.
void MakeArena(const TempDir& content) {
    std::filesystem::create_directory_symlink(kBuild + "/Data", content.File("Data"));
    for (const char* name : {"data.txt", "drumdata.txt", "breaker.txt", "installatioStand.txt"}) {
        WriteTextFile(content.File(std::string("TxtData/") + name), ReadTextFile(kBuild + "/TxtData/" + name));
    }
    WriteTextFile(content.File("TxtData/Enemydata.txt"), "38 -3 16\n46 -3 34\n");
}

std::vector<std::string> Dumps(const TempDir& dir, const std::string& prefix) {
    std::vector<std::string> args;
    for (int frame = kEvery; frame <= kFrames; frame += kEvery) {
        args.insert(args.end(),
                    {"--dump-state", std::to_string(frame) + ":" + dir.File(prefix + std::to_string(frame))});
    }
    return args;
}

std::map<int, nlohmann::json> ReadDumps(const TempDir& dir, const std::string& prefix) {
    std::map<int, nlohmann::json> states;
    for (int frame = kEvery; frame <= kFrames; frame += kEvery) {
        nlohmann::json state = ReadJsonFile(dir.File(prefix + std::to_string(frame)));
        if (state.is_object()) {
            state.erase("measuredFps");
            state.erase("renderScale");
            state.erase("cheaperLook");
            states[frame] = state;
        }
    }
    return states;
}

// A fight played live under a real X server with xdotool and recorded replays twice to the same
// snapshot every 10 frames: title, the game starting, both sides firing, robots hit. The
// recording runs on an X server of its own, so that xdotool cannot reach the windows of tests
// running beside it.
TEST(Replay, RecordedLiveFightReplaysExactlyTwice) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "needs xvfb-run and xdotool";
    }
    TempDir content;
    MakeArena(content);
    TempDir dir;
    const std::string script = dir.File("recorded.txt");
    // Enter and the left button held from the moment the window is there (the title takes them
    // once its prompt is live, and the gun then fires for the rest of the run), while the mouse
    // sweeps across the robots and W now and then drives toward them, until the game has quit.
    // Every wait is bounded: xdotool's for the window, `timeout` for the whole run.
    WriteTextFile(dir.File("player.sh"),
                  "\"$@\" & game=$!\n"
                  "( timeout 30 xdotool search --sync --name '^Quarnel$' windowfocus --sync >/dev/null 2>&1 || exit;\n"
                  "  xdotool keydown Return mousedown 1; step=0;\n"
                  "  while kill -0 $game 2>/dev/null; do\n"
                  "    if [ $((step / 10 % 2)) -eq 0 ]; then dx=6; else dx=-6; fi;\n"
                  "    xdotool mousemove_relative -- $dx 0;\n"
                  "    case $((step % 40)) in 5) xdotool keydown w;; 12) xdotool keyup w;; esac;\n"
                  "    step=$((step + 1)); sleep 0.1;\n"
                  "  done ) &\n"
                  "wait $game\nstatus=$?\nwait\nexit $status\n");
    std::string live = "timeout 150 xvfb-run -a -s '-screen 0 1280x720x24' sh " + dir.File("player.sh") + " " +
                       QUARNEL_EXE + " --frames " + std::to_string(kFrames) +
                       " --seed 9 --back-buffer 320x180 --content " + content.Path() + " --record " + script;
    for (const std::string& arg : Dumps(dir, "live")) {
        live += " " + arg;
    }
    live += " >" + dir.File("live.log") + " 2>&1";
    ASSERT_EQ(std::system(live.c_str()), 0) << ReadTextFile(dir.File("live.log"));
    const std::map<int, nlohmann::json> recorded = ReadDumps(dir, "live");
    ASSERT_EQ(recorded.size(), static_cast<size_t>(kFrames / kEvery));

    // It was a fight: both sides fired and the robots were hit.
    size_t playerShots = 0;
    size_t enemyShots = 0;
    bool robotHit = false;
    double fullHitPoints = -1.0;
    for (const auto& [frame, state] : recorded) {
        if (state["scene"] != "game") {
            continue;
        }
        playerShots += state["playerBullets"].size();
        enemyShots += state["enemyBullets"].size() + state["chargeRings"].size();
        for (const nlohmann::json& enemy : state["enemies"]) {
            const double hitPoints = enemy["hitPoints"].get<double>();
            fullHitPoints = std::max(fullHitPoints, hitPoints);
            robotHit = robotHit || hitPoints < fullHitPoints;
        }
    }
    EXPECT_GT(playerShots, 0u) << ReadTextFile(script);
    EXPECT_GT(enemyShots, 0u) << ReadTextFile(script);
    EXPECT_TRUE(robotHit);

    for (const char* replay : {"first", "second"}) {
        std::vector<std::string> args = {"--frames",  std::to_string(kFrames), "--seed",  "9",   "--unlimited",
                                         "--content", content.Path(),          "--input", script};
        const std::vector<std::string> dumps = Dumps(dir, replay);
        args.insert(args.end(), dumps.begin(), dumps.end());
        const GameRunResult run = RunGame(StateOnly(args));
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const std::map<int, nlohmann::json> replayed = ReadDumps(dir, replay);
        ASSERT_EQ(replayed.size(), recorded.size()) << replay;
        for (const auto& [frame, state] : recorded) {
            ASSERT_EQ(replayed.at(frame), state) << replay << " replay differs at frame " << frame;
        }
    }
}

}  // namespace
