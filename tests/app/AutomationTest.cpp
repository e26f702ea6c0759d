// ctest-cost: 40
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/GameRun.h"

namespace {

TEST(Automation, FramesEndTheRunAndDumpTheState) {
    TempDir dir;
    const GameRunResult run =
        RunGame(StateOnly({"--frames", "120", "--unlimited", "--dump-state", "120:" + dir.File("s.json"),
                           "--dump-state", "1:" + dir.File("first.json")}));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const nlohmann::json state = ReadJsonFile(dir.File("s.json"));
    ASSERT_TRUE(state.is_object()) << ReadTextFile(dir.File("s.json"));
    EXPECT_EQ(state["frame"], 120);
    EXPECT_EQ(state["scene"], "title");
    EXPECT_TRUE(state.contains("measuredFps"));
    EXPECT_TRUE(state.contains("clickLatch"));
    EXPECT_EQ(ReadJsonFile(dir.File("first.json"))["frame"], 1);
}

TEST(Automation, ScriptedEscapeEndsTheRunInThatFrame) {
    TempDir dir;
    WriteTextFile(dir.File("esc.txt"), "30 key Escape down\n");
    const GameRunResult run =
        RunGame(StateOnly({"--input", dir.File("esc.txt"), "--unlimited", "--frames", "100", "--dump-state",
                           "29:" + dir.File("29.json"), "--dump-state", "30:" + dir.File("30.json")}));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(std::filesystem::exists(dir.File("29.json")));
    // Esc is seen at the pump: the loop ends before frame 30 is updated or drawn.
    EXPECT_FALSE(std::filesystem::exists(dir.File("30.json")));
}

TEST(Automation, ScreenshotIsTheFullBackBuffer) {
    TempDir dir;
    const GameRunResult run =
        RunGame({"--frames", "3", "--render-scale", "100", "--screenshot", "3:" + dir.File("a.png")});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const Image image = ReadPng(dir.File("a.png"));
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.width, 1280);
    EXPECT_EQ(image.height, 720);
}

// Live input recorded under a real X server replays to the same state. The recording runs on an X
// server of its own, so that xdotool cannot reach the windows of tests running beside it.
TEST(Automation, RecordedInputReplaysToTheSameSnapshot) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "needs xvfb-run and xdotool";
    }
    TempDir dir;
    const std::string script = dir.File("recorded.txt");
    // Input arrives while the game runs at its limited rate, as soon as its window is there: a
    // click, then W and Return held, so the title starts the game once its prompt is live and the
    // robot drives. Every wait is bounded: xdotool's for the window, `timeout` for the whole run.
    WriteTextFile(dir.File("player.sh"),
                  "( timeout 30 xdotool search --sync --name '^Quarnel$' windowfocus --sync >/dev/null 2>&1 || exit;\n"
                  "  xdotool mousemove --sync 300 200 >/dev/null 2>&1; xdotool click 1;\n"
                  "  xdotool keydown w; xdotool keydown Return ) &\n"
                  "\"$@\"\nstatus=$?\nwait\nexit $status\n");
    const std::string record = "timeout 120 xvfb-run -a -s '-screen 0 1280x720x24' sh " + dir.File("player.sh") + " " +
                               QUARNEL_EXE + " --frames 450 --seed 5 --back-buffer 320x180 --record " + script +
                               " --dump-state 450:" + dir.File("live.json") + " >" + dir.File("live.log") + " 2>&1";
    ASSERT_EQ(std::system(record.c_str()), 0) << ReadTextFile(dir.File("live.log"));
    const std::string text = ReadTextFile(script);
    EXPECT_NE(text.find("key W down"), std::string::npos) << text;
    EXPECT_NE(text.find("key Return down"), std::string::npos) << text;
    EXPECT_NE(text.find("button left down"), std::string::npos) << text;

    const GameRunResult replayed = RunGame(StateOnly({"--frames", "450", "--seed", "5", "--unlimited", "--input",
                                                      script, "--dump-state", "450:" + dir.File("replay.json")}));
    ASSERT_EQ(replayed.exitCode, 0) << replayed.output;
    nlohmann::json live = ReadJsonFile(dir.File("live.json"));
    nlohmann::json replay = ReadJsonFile(dir.File("replay.json"));
    for (const char* machine : {"measuredFps", "renderScale", "cheaperLook"}) {
        live.erase(machine);
        replay.erase(machine);
    }
    EXPECT_EQ(live["scene"], "game") << "the recorded Return started the game:\n" << text << live.dump();
    EXPECT_EQ(live, replay);
}

// On a French (AZERTY) keyboard the key at the W position types Z: pressed, it drives the robot
// forward as W does on QWERTY, and the key that types W (at the Z position) does nothing.
TEST(Automation, FrenchLayoutDrivesWithTheKeyAtTheWPosition) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1 && "
                    "command -v setxkbmap >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "needs xvfb-run, xdotool and setxkbmap";
    }
    TempDir dir;
    for (const char* key : {"z", "w"}) {
        WriteTextFile(dir.File("player.sh"),
                      // The layout is set once the game's window is there: with no client left the
                      // X server resets, and its keyboard with it.
                      std::string("( timeout 30 xdotool search --sync --name '^Quarnel$' windowfocus --sync >/dev/null "
                                  "2>&1 || exit;\n"
                                  "  setxkbmap fr; xdotool keydown Return; xdotool keydown ") +
                          key + " ) &\n\"$@\"\nstatus=$?\nwait\nexit $status\n");
        const std::string run = "timeout 120 xvfb-run -a -s '-screen 0 1280x720x24' sh " + dir.File("player.sh") + " " +
                                QUARNEL_EXE + " --frames 450 --seed 5 --back-buffer 320x180 --dump-state 450:" +
                                dir.File("live.json") + " >" + dir.File("live.log") + " 2>&1";
        ASSERT_EQ(std::system(run.c_str()), 0) << ReadTextFile(dir.File("live.log"));
        const nlohmann::json state = ReadJsonFile(dir.File("live.json"));
        ASSERT_EQ(state["scene"], "game") << state.dump();
        // The robot starts at (38, -7.5, -8) looking along +z.
        const float travelled = state["player"]["position"][2].get<float>() + 8.0f;
        if (std::string(key) == "z") {
            EXPECT_GT(travelled, 5.0f) << state["player"].dump();
            EXPECT_EQ(state["settings"]["key-forward"], "W");
            // Screens name the keys as the French layout does.
            EXPECT_EQ(state["input"]["keyNames"]["key-forward"], "Z");
            EXPECT_EQ(state["input"]["keyNames"]["key-left"], "Q");
            EXPECT_EQ(state["input"]["keyNames"]["key-back"], "S");
        } else {
            EXPECT_EQ(travelled, 0.0f) << state["player"].dump();
        }
    }
}

}  // namespace
