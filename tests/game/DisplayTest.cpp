// ctest-cost: 40
#include <gtest/gtest.h>

#include <algorithm>
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
    WriteTextFile(dir.File("pad.txt"), "1 pad attach\n" + Frame(a) + " pad button a down\n" + Frame(a + 2) +
                                           " pad button a up\n" + Frame(g + 10) + " pad axis lefty -32767\n" +
                                           Frame(g + 10) + " pad axis rightx 20000\n" + Frame(g + 10) +
                                           " pad axis righttrigger 32767\n" + Frame(g + 41) + " pad detach\n" +
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

// The virtual controller's motors, as its rumble callback saw them: a long full-strength shove when
// the beam fires, a short weaker knock when an enemy's bullet hits; none with rumble off. The robot
// starts in the armory beside the spare gun arm with a tank robot ten units north.
TEST(Display, GamepadRumblesLongForTheBeamAndShortForAHit) {
    const int g = GameStartFrame();
    ASSERT_GT(g, 0);
    TempDir dir;
    const std::string content = dir.File("content");
    std::filesystem::create_directories(content);
    std::filesystem::create_directory_symlink(std::string(QUARNEL_BUILD_DIR) + "/Data", content + "/Data");
    std::filesystem::copy(std::string(QUARNEL_BUILD_DIR) + "/TxtData", content + "/TxtData");
    WriteTextFile(content + "/TxtData/data.txt", "38 -7.5 76 0");
    WriteTextFile(content + "/TxtData/Enemydata.txt", "38 -3 86");
    const int a = kTitleReturnFrame;
    WriteTextFile(dir.File("pad.txt"), "1 pad attach\n" + Frame(a) + " pad button a down\n" + Frame(a + 2) +
                                           " pad button a up\n" + Frame(g + 20) + " pad axis lefttrigger 32767\n" +
                                           Frame(g + 22) + " pad axis lefttrigger 0\n");
    std::vector<uint32_t> frames;
    for (int frame = g + 21; frame <= g + 600; frame += 5) {
        frames.push_back(static_cast<uint32_t>(frame));
    }
    for (const bool rumble : {true, false}) {
        std::vector<std::string> args = {"--frames", Frame(g + 600), "--seed", "3", "--content", content,
                                         "--input",  dir.File("pad.txt")};
        if (!rumble) {
            args.push_back("--no-rumble");
        }
        GameRunResult run;
        const auto shots = RunGameWithSnapshots(StateOnly(args), frames, &run);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        ASSERT_EQ(shots.size(), frames.size()) << run.output;
        const auto rumbleAt = [&](int frame) { return shots.at(static_cast<uint32_t>(frame))["input"]["virtualRumble"]; };
        if (!rumble) {
            EXPECT_EQ(rumbleAt(g + 596)["pulses"], 0);
            EXPECT_LT(shots.at(static_cast<uint32_t>(g + 596))["player"]["hitPoints"].get<float>(), 100.0f);
            continue;
        }
        const auto beam = rumbleAt(g + 21);
        EXPECT_EQ(beam["pulses"], 1) << "the beam fired";
        EXPECT_TRUE(beam["on"]);
        EXPECT_EQ(beam["strength"], 65535);
        // The first hit starts the second pulse; the beam's has ended by then.
        int hit = 0;
        for (int frame = g + 26; frame <= g + 596 && hit == 0; frame += 5) {
            if (rumbleAt(frame)["pulses"] == 2) {
                hit = frame;
            }
        }
        ASSERT_GT(hit, 0) << "no hit in " << shots.at(static_cast<uint32_t>(g + 596)).dump();
        const auto beamEnded = rumbleAt(hit - 5);
        EXPECT_FALSE(beamEnded["on"]);
        EXPECT_GE(beamEnded["milliseconds"].get<int>(), 500);
        EXPECT_LT(beamEnded["milliseconds"].get<int>(), 800);
        EXPECT_EQ(rumbleAt(hit)["strength"], 39321);
        // Runs of hits keep it going; what matters is that a single knock ends well before the beam's.
        int knock = 0;
        for (int frame = hit; frame <= g + 596 && knock == 0; frame += 5) {
            if (!rumbleAt(frame)["on"] && rumbleAt(frame)["pulses"] == 2) {
                knock = rumbleAt(frame)["milliseconds"].get<int>();
            }
        }
        EXPECT_GE(knock, 150);
        EXPECT_LT(knock, 400);
    }
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
    const GameRunResult run =
        RunGame({"--frames", "50", "--unlimited", "--render-scale", "100", "--input", dir.File("keys.txt"),
                 "--screenshot", "30:" + dir.File("fps.png"), "--screenshot", "45:" + dir.File("nofps.png"),
                 "--dump-state", "30:" + dir.File("30.json")},
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
    EXPECT_GT(ReadPng(dir.File("fps.png")).Share(1100, 0, 180, 40, yellow), 0.005);
    EXPECT_EQ(ReadPng(dir.File("nofps.png")).Share(1100, 0, 180, 40, yellow), 0.0);
}

struct View {
    int x, y, width, height;
};

// Average colour of a square a 40th of the picture's width across at the picture's centre: where
// the sighting mark marks the aim point.
void AimPoint(const Image& image, const View& view, double out[3]) {
    const int side = std::max(2, view.width / 40);
    image.Average(view.x + view.width / 2 - side / 2, view.y + view.height / 2 - side / 2, side, side, out);
}

double Brightness(const Image& image, int x, int y, int w, int h) {
    double rgb[3];
    image.Average(x, y, w, h, rgb);
    return (rgb[0] + rgb[1] + rgb[2]) / 3.0;
}

// A resized window (taller, then wider than the picture's shape) and fullscreen show the whole
// 1280x720 picture scaled, black bars beside it and the sighting mark where the picture aims;
// under X11 and under a Wayland compositor. The compositor's screen is 1600x1000, so fullscreen
// has bars too.
TEST(Display, ResizedAndFullscreenWindowsKeepThePictureScaledBetweenBars) {
    const DisplayServer x = DisplayServer::Xvfb(1600, 1000);
    if (!x.Running()) {
        GTEST_SKIP() << x.Error();
    }
    const DisplayServer wayland = DisplayServer::WestonOnX(x, 1600, 1000);
    const int g = GameStartFrame();
    ASSERT_GT(g, 0);
    const int after = g + 105;  // the level has faded in
    TempDir dir;
    WriteTextFile(dir.File("window.txt"), StartLevelScript() + Frame(after) +
                                              " window 1000 800\n" + Frame(after + 10) + " window 1600 700\n" +
                                              Frame(after + 20) + " key Alt down\n" + Frame(after + 20) +
                                              " key Return down\n" + Frame(after + 21) + " key Return up\n");
    const struct {
        int frame;
        View view;
    } shots[] = {{after + 8, {0, 119, 1000, 562}}, {after + 18, {178, 0, 1244, 700}}, {after + 30, {0, 50, 1600, 900}}};
    for (const DisplayServer* server : {&x, &wayland}) {
        const bool onWayland = server == &wayland;
        if (!server->Running()) {
            ADD_FAILURE() << "no Wayland compositor: " << server->Error();
            continue;
        }
        std::vector<std::string> args = {
            "--frames", Frame(after + 31), "--unlimited",          "--seed",         "4",  "--back-buffer",
            "320x180",  "--input",         dir.File("window.txt"), "--render-scale", "100"};
        for (const auto& shot : shots) {
            args.insert(args.end(), {"--window-shot", Frame(shot.frame) + ":" + dir.File(Frame(shot.frame) + ".png"),
                                     "--screenshot", Frame(shot.frame) + ":" + dir.File(Frame(shot.frame) + "b.png"),
                                     "--dump-state", Frame(shot.frame) + ":" + dir.File(Frame(shot.frame) + ".json")});
        }
        std::vector<std::string> environment = server->Environment();
        environment.push_back("ALSOFT_DRIVERS=null");
        const GameRunResult run = RunGame(args, environment);
        ASSERT_EQ(run.exitCode, 0) << run.output << (onWayland ? wayland.Log() : "");
        for (const auto& shot : shots) {
            const std::string where = (onWayland ? "wayland, frame " : "x11, frame ") + Frame(shot.frame);
            const nlohmann::json state = ReadJsonFile(dir.File(Frame(shot.frame) + ".json"));
            const View& v = shot.view;
            EXPECT_EQ(state["scene"], "game") << where;
            EXPECT_EQ(state["window"]["picture"], nlohmann::json({v.x, v.y, v.width, v.height})) << where;
            EXPECT_EQ(state["window"]["fullscreen"], shot.frame > after + 20) << where;
            EXPECT_TRUE(state["input"]["mouseCaptured"]) << where;
            // Without a window manager the X server cannot make a window fullscreen: SDL only
            // believes it did. The compositor does it for real.
            if (!onWayland && shot.frame > after + 20) {
                continue;
            }
            const Image window = ReadPng(dir.File(Frame(shot.frame) + ".png"));
            ASSERT_EQ(window.width, v.x * 2 + v.width) << where;
            ASSERT_GE(window.height, v.height) << where;
            if (v.x > 0) {
                EXPECT_LT(Brightness(window, 0, 0, v.x, window.height), 2.0) << where << ": left bar";
                EXPECT_LT(Brightness(window, v.x + v.width, 0, v.x, window.height), 2.0) << where << ": right bar";
            }
            if (v.y > 0) {
                EXPECT_LT(Brightness(window, 0, 0, window.width, v.y), 2.0) << where << ": top bar";
                EXPECT_LT(Brightness(window, 0, v.y + v.height, window.width, v.y), 2.0) << where << ": bottom bar";
            }
            EXPECT_GT(Brightness(window, v.x, v.y, v.width, v.height), 40.0) << where << ": the picture";
            double inWindow[3];
            double inPicture[3];
            AimPoint(window, v, inWindow);
            AimPoint(ReadPng(dir.File(Frame(shot.frame) + "b.png")), {0, 0, 320, 180}, inPicture);
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(inWindow[c], inPicture[c], 30.0) << where << ": the sighting mark, channel " << c;
            }
        }
    }
}

}  // namespace
