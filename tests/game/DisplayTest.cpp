// ctest-cost: 40
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "tests/support/DisplayServer.h"
#include "tests/support/GameRun.h"

namespace {

std::string Frame(int frame) { return std::to_string(frame); }

// From the title to a robot that drives, aims and fires on a virtual controller plugged in at the
// start; pulled out it lets go of everything, plugged in again it drives again, and Back quits.
TEST(Display, GamepadPlaysFromTheTitleToAMovingFiringRobot) {
    const int g = GameStartFrame();
    ASSERT_GT(g, 0);
    TempDir dir;
    const int a = kTitleReturnFrame;
    WriteTextFile(dir.File("pad.txt"),
                  "1 pad attach\n" + Frame(a) + " pad button a down\n" + Frame(a + 2) + " pad button a up\n" +
                      Frame(g + 10) + " pad axis lefty -32767\n" + Frame(g + 10) + " pad axis rightx 20000\n" +
                      Frame(g + 10) + " pad axis righttrigger 32767\n" + Frame(g + 41) + " pad detach\n" +
                      Frame(g + 60) + " pad attach\n" + Frame(g + 61) + " pad axis leftx 32767\n" +
                      Frame(g + 80) + " pad button back down\n");
    GameRunResult run;
    const auto shots = RunGameWithSnapshots(
        StateOnly({"--frames", Frame(g + 100), "--seed", "3", "--unlimited", "--input", dir.File("pad.txt")}),
        {static_cast<uint32_t>(g + 5), static_cast<uint32_t>(g + 40), static_cast<uint32_t>(g + 45),
         static_cast<uint32_t>(g + 55), static_cast<uint32_t>(g + 75), static_cast<uint32_t>(g + 85)},
        &run);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(shots.size(), 5u) << "Back closed the window at frame " << g + 80 << ":\n" << run.output;
    const auto& before = shots.at(g + 5);
    const auto& firing = shots.at(g + 40);
    ASSERT_EQ(before["scene"], "game") << "A started the game";
    EXPECT_TRUE(before["input"]["gamepad"]);
    const auto& player = firing["player"];
    EXPECT_TRUE(player["moving"]);
    EXPECT_GT(std::abs(player["position"][2].get<float>() - before["player"]["position"][2].get<float>()) +
                  std::abs(player["position"][0].get<float>() - before["player"]["position"][0].get<float>()),
              5.0f);
    EXPECT_GT(player["yaw"].get<float>(), before["player"]["yaw"].get<float>() + 20.0f) << "the right stick aims";
    EXPECT_GT(firing["lists"]["playerBullets"].get<int>() + firing["lists"]["gunFlashes"].get<int>(), 0)
        << "the right trigger fires the gun";

    const auto& unplugged = shots.at(g + 45);
    const auto& later = shots.at(g + 55);
    EXPECT_FALSE(unplugged["input"]["gamepad"]);
    EXPECT_FALSE(later["player"]["moving"]);
    EXPECT_EQ(later["player"]["position"], unplugged["player"]["position"]) << "pulled out, it lets go";
    EXPECT_EQ(later["player"]["yaw"], unplugged["player"]["yaw"]);
    const auto& again = shots.at(g + 75);
    EXPECT_TRUE(again["input"]["gamepad"]);
    EXPECT_TRUE(again["player"]["moving"]) << "plugged in again while running";
}

// F12 saves the picture under the pictures folder without touching a file of the same name; F3
// shows the frame rate in the top-right corner of the picture and hides it again.
TEST(Display, ScreenshotKeyWritesNewFilesAndFrameRateKeyShowsTheRate) {
    TempDir dir;
    const std::string pictures = dir.File("pictures");
    const std::string folder = pictures + "/quarnel";
    std::filesystem::create_directories(folder);
    // Every name of the next minute is taken already.
    const std::time_t now = std::time(nullptr);
    for (int second = 0; second < 60; ++second) {
        const std::time_t when = now + second;
        std::tm utc{};
        gmtime_r(&when, &utc);
        char name[64];
        std::strftime(name, sizeof name, "quarnel-%Y%m%d-%H%M%S.png", &utc);
        WriteTextFile(folder + "/" + name, "taken");
    }
    WriteTextFile(dir.File("keys.txt"),
                  "5 key F12 down\n7 key F12 up\n8 key F12 down\n9 key F12 up\n"
                  "20 key F3 down\n21 key F3 up\n40 key F3 down\n41 key F3 up\n");
    const GameRunResult run = RunGame(
        {"--frames", "50", "--unlimited", "--input", dir.File("keys.txt"), "--screenshot", "30:" + dir.File("fps.png"),
         "--screenshot", "45:" + dir.File("nofps.png"), "--dump-state", "30:" + dir.File("30.json")},
        {"XDG_PICTURES_DIR=" + pictures, "TZ=UTC"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    int taken = 0;
    std::vector<std::string> made;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (ReadTextFile(entry.path().string()) == "taken") {
            ++taken;
        } else {
            made.push_back(entry.path().string());
        }
    }
    EXPECT_EQ(taken, 60) << "no file was replaced";
    ASSERT_EQ(made.size(), 2u) << run.output;
    for (const std::string& path : made) {
        EXPECT_TRUE(path.ends_with("-2.png") || path.ends_with("-3.png")) << path;
        const Image image = ReadPng(path);
        EXPECT_EQ(image.width, 1280) << path;
        EXPECT_EQ(image.height, 720) << path;
    }
    EXPECT_TRUE(ReadJsonFile(dir.File("30.json"))["frameRateShown"]);
    const auto yellow = [](int r, int g, int b) { return r > 200 && g > 200 && b < 150; };
    EXPECT_GT(ReadPng(dir.File("fps.png")).Share(1100, 0, 180, 40, yellow), 0.02);
    EXPECT_EQ(ReadPng(dir.File("nofps.png")).Share(1100, 0, 180, 40, yellow), 0.0);
}

}  // namespace
