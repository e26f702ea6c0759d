// ctest-cost: 50
// The game on a machine without any sound device: OpenAL is pointed at a driver that does not
// exist, so opening a device fails, and every sound the game loads or instances stays empty.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/GameRun.h"

namespace {

const std::string kBuild = QUARNEL_BUILD_DIR;

// Drops every field about sound, at any depth: with no device nothing plays.
void EraseSound(nlohmann::json& value) {
    if (value.is_array()) {
        for (nlohmann::json& element : value) {
            EraseSound(element);
        }
    }
    if (!value.is_object()) {
        return;
    }
    for (auto it = value.begin(); it != value.end();) {
        std::string key = it.key();
        for (char& c : key) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (key.find("sound") != std::string::npos) {
            it = value.erase(it);
        } else {
            EraseSound(*it);
            ++it;
        }
    }
}

// The shipped level with the player starting in the elevator cabin, on the goal area: the ending
// starts with the first game frame.
void MakeCabinLevel(const TempDir& dir) {
    std::filesystem::create_directory_symlink(kBuild + "/Data", dir.File("Data"));
    for (const char* name : {"Enemydata.txt", "drumdata.txt", "breaker.txt", "installatioStand.txt"}) {
        WriteTextFile(dir.File(std::string("TxtData/") + name), ReadTextFile(kBuild + "/TxtData/" + name));
    }
    WriteTextFile(dir.File("TxtData/data.txt"), "-236 -7.5 -1 0\n");
}

// Title, Enter, the game and its ending, a click once the doors have shut, and the new title. The
// silent run draws at render-scale auto, whose first game frame is drawn again to time it, the
// other at a fixed 100 %: the ending's camera must not move for the frames drawn again.
TEST(NoSoundDevice, TitleGameAndEndingRunAsWithASilentDevice) {
    const int gameStart = GameStartFrame();
    ASSERT_GT(gameStart, kTitleReturnFrame);
    // The robot turns and walks in (up to about 180 frames), the doors need 186 to close.
    const int click = gameStart + 560;
    const int last = click + 5;
    TempDir content;
    MakeCabinLevel(content);
    TempDir dir;
    WriteTextFile(dir.File("in.txt"), StartLevelScript() + std::to_string(click) + " button left down\n" + std::to_string(click + 1) +
                                          " button left up\n");
    std::vector<uint32_t> frames;
    for (int frame = 1; frame <= last; frame += 7) {
        frames.push_back(static_cast<uint32_t>(frame));
    }
    for (int frame = gameStart; frame <= gameStart + 3; ++frame) {
        frames.push_back(static_cast<uint32_t>(frame));
    }
    frames.insert(frames.end(),
                  {static_cast<uint32_t>(click - 1), static_cast<uint32_t>(click + 1), static_cast<uint32_t>(last)});
    const std::vector<std::string> args = StateOnly({"--unlimited", "--seed", "3", "--content", content.Path(),
                                                     "--input", dir.File("in.txt"), "--frames", std::to_string(last)});

    GameRunResult silent;
    auto expected = RunGameWithSnapshots(args, frames, &silent, {"ALSOFT_DRIVERS=null"});
    ASSERT_EQ(silent.exitCode, 0) << silent.output;
    EXPECT_EQ(silent.output.find("No sound device"), std::string::npos) << silent.output;
    GameRunResult deviceless;
    std::vector<std::string> fixedScale = args;
    fixedScale.insert(fixedScale.end(), {"--render-scale", "100"});
    auto actual = RunGameWithSnapshots(fixedScale, frames, &deviceless, {"ALSOFT_DRIVERS=no-such-driver"});
    ASSERT_EQ(deviceless.exitCode, 0) << deviceless.output;
    EXPECT_NE(deviceless.output.find("No sound device"), std::string::npos) << deviceless.output;

    ASSERT_EQ(actual.size(), expected.size());
    const nlohmann::json& beforeClick = expected.at(click - 1);
    ASSERT_EQ(beforeClick["scene"], "game");
    EXPECT_TRUE(beforeClick["ending"]);
    EXPECT_TRUE(beforeClick["elevator"]["doorsClosed"]);
    EXPECT_EQ(expected.at(last)["scene"], "title");
    for (auto& [frame, state] : expected) {
        nlohmann::json& other = actual.at(frame);
        for (nlohmann::json* snapshot : {&state, &other}) {
            snapshot->erase("measuredFps");
            snapshot->erase("renderScale");
            snapshot->erase("cheaperLook");
            (*snapshot)["settings"].erase("render-scale");
            EraseSound(*snapshot);
        }
        EXPECT_EQ(other, state) << "frame " << frame;
    }
}

}  // namespace
