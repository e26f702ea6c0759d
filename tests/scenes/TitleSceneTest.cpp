// ctest-cost: 60
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

#include <SDL.h>

#include "scenes/TitleScene.h"
#include "tests/support/GameRun.h"

namespace {

using Snapshots = std::map<uint32_t, nlohmann::json>;

// Frames: typing completes in the draw of frame 97, the title starts in the update of frame 98
// and its alpha passes 1.0 about 201 frames later, when the prompt goes live.
constexpr uint32_t kTypingDone = 97;
constexpr uint32_t kTitleStart = 98;

std::vector<uint32_t> Range(uint32_t first, uint32_t last) {
    std::vector<uint32_t> frames(last - first + 1);
    std::iota(frames.begin(), frames.end(), first);
    return frames;
}

Snapshots RunTitle(const std::string& script, const std::vector<uint32_t>& frames, uint32_t lastFrame,
                   const std::vector<std::string>& extraArgs = {}) {
    TempDir dir;
    WriteTextFile(dir.File("input.txt"), script);
    std::vector<std::string> args = {
        "--unlimited", "--seed", "1", "--frames", std::to_string(lastFrame), "--input", dir.File("input.txt")};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    GameRunResult run;
    // Runs without screenshots check state only.
    Snapshots snapshots = RunGameWithSnapshots(extraArgs.empty() ? StateOnly(args) : args, frames, &run);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return snapshots;
}

// Software rendering makes every run cost seconds, so the tests of one timeline share a run: a
// press at frame 305 (the prompt is live from about 299), later presses, and screenshots while
// typing, after the fade-in and when black.
const TempDir& ShotDir() {
    static const TempDir dir;
    return dir;
}

const Snapshots& MainTimeline() {
    static const Snapshots snapshots = [] {
        const std::string dir = ShotDir().Path();
        return RunTitle(
            "305 key Return down\n306 key Return up\n"
            "330 button left down\n331 button left up\n340 key Return down\n",
            Range(1, 420), 420,
            {"--render-scale", "100", "--screenshot", "40:" + dir + "/typing.png", "--screenshot",
             "300:" + dir + "/title.png", "--screenshot", "403:" + dir + "/403.png", "--screenshot",
             "404:" + dir + "/404.png", "--screenshot", "405:" + dir + "/405.png"});
    }();
    return snapshots;
}

const nlohmann::json& Title(const Snapshots& snapshots, uint32_t frame) {
    static const nlohmann::json missing;
    const auto found = snapshots.find(frame);
    EXPECT_NE(found, snapshots.end()) << "no snapshot for frame " << frame;
    return found == snapshots.end() ? missing : found->second["title"];
}

// The first frame whose prompt is live.
uint32_t PromptLive(const Snapshots& snapshots) {
    for (const auto& [frame, state] : snapshots) {
        if (state["scene"] == "title" && state["title"]["titleAlpha"].get<float>() > 1.0f) {
            return frame;
        }
    }
    return 0;
}

TEST(TitleText, IsThe385CharactersOf24Lines) {
    const std::string text = TitleScene::kSourceText;
    EXPECT_EQ(text.size(), 385u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 23);
    EXPECT_EQ(text.substr(0, 32), "bool SkipOnError(istream& istr)\n");
    EXPECT_NE(text.find("\n   }\n}\nusing UnityEngine;"), std::string::npos);
    EXPECT_EQ(text.back(), '}');
}

TEST(TitleScreen, TypesFourCharactersAFrameThenFadesTheTitleIn) {
    const Snapshots& s = MainTimeline();
    EXPECT_EQ(Title(s, 1)["typedCount"], 4);
    EXPECT_EQ(Title(s, 50)["typedCount"], 200);
    EXPECT_EQ(Title(s, 96)["typedCount"], 384);
    EXPECT_EQ(Title(s, kTypingDone)["typedCount"], 386);
    EXPECT_FALSE(Title(s, kTypingDone)["titleStarted"]);
    EXPECT_TRUE(Title(s, kTitleStart)["titleStarted"]);
    EXPECT_FLOAT_EQ(Title(s, kTitleStart)["titleAlpha"], 0.0f);
    EXPECT_FLOAT_EQ(Title(s, 99)["titleAlpha"], 0.005f);
    EXPECT_LT(Title(s, 297)["titleAlpha"].get<float>(), 1.0f);
    EXPECT_GT(Title(s, 299)["titleAlpha"].get<float>(), 1.0f);
    EXPECT_GT(Title(s, 300)["clickAlpha"].get<float>(), 0.0f);
    EXPECT_FLOAT_EQ(Title(s, 297)["clickAlpha"], 0.0f);
}

TEST(TitleScreen, PromptPulsesUpTo1Point02ThenDownByHundredths) {
    const Snapshots& s = MainTimeline();
    const uint32_t live = PromptLive(s);
    ASSERT_GE(live, 298u);
    ASSERT_LE(live, 299u);
    EXPECT_NEAR(Title(s, live)["clickAlpha"].get<float>(), 0.03f, 1e-5f);
    // 34 rises of 0.03 reach about 1.02 and turn the pulse around.
    EXPECT_NEAR(Title(s, live + 33)["clickAlpha"].get<float>(), 1.02f, 1e-4f);
    EXPECT_TRUE(Title(s, live + 33)["clickFading"]);
    EXPECT_FALSE(Title(s, live + 32)["clickFading"]);
    EXPECT_NEAR(Title(s, live + 34)["clickAlpha"].get<float>(), 1.01f, 1e-4f);
    EXPECT_NEAR(Title(s, live + 40)["clickAlpha"].get<float>(), 0.95f, 1e-4f);
}

TEST(TitleScreen, PressesBeforeThePromptAreIgnoredAndForgotten) {
    // Enter held through typing and fade-in, released before the prompt; a click during typing.
    const Snapshots s = RunTitle("10 button left down\n20 button left up\n50 key Return down\n250 key Return up\n",
                                 {100, 250, 320}, 320);
    for (const uint32_t frame : {100u, 250u, 320u}) {
        EXPECT_EQ(s.at(frame)["clickLatch"], 0) << frame;
        EXPECT_FLOAT_EQ(Title(s, frame)["blackAlpha"], 0.0f) << frame;
    }
}

TEST(TitleScreen, OnePressFadesToBlackAndCreatesExactlyOneGame) {
    const Snapshots& s = MainTimeline();
    EXPECT_EQ(s.at(304)["clickLatch"], 0);
    EXPECT_EQ(s.at(305)["clickLatch"], 1);
    EXPECT_NEAR(Title(s, 305)["blackAlpha"].get<float>(), 0.01f, 1e-6f);
    EXPECT_NEAR(Title(s, 345)["blackAlpha"].get<float>(), 0.41f, 1e-4f) << "later presses change nothing";

    // Exactly one frame requests the game; the next frame runs it.
    std::vector<uint32_t> requests;
    for (const auto& [frame, state] : s) {
        if (state["sceneRequested"]) {
            requests.push_back(frame);
        }
    }
    ASSERT_EQ(requests.size(), 1u);
    const uint32_t request = requests[0];
    EXPECT_GE(request, 403u);
    EXPECT_LE(request, 405u);
    EXPECT_FLOAT_EQ(Title(s, request)["blackAlpha"], 1.0f);
    EXPECT_EQ(s.at(request)["clickLatch"], 0) << "the title clears the latch for the game";
    EXPECT_EQ(s.at(request + 1)["scene"], "game");
    EXPECT_EQ(s.at(420)["scene"], "game");
}

TEST(TitleScreen, ButtonHeldFromBeforeStartsTheFadeAsSoonAsThePromptIsLive) {
    const Snapshots s = RunTitle("1 button left down\n", Range(290, 310), 310);
    const uint32_t live = PromptLive(s);
    ASSERT_NE(live, 0u);
    EXPECT_EQ(s.at(live - 1)["clickLatch"], 0);
    EXPECT_EQ(s.at(live)["clickLatch"], 1);
    EXPECT_NEAR(Title(s, live)["blackAlpha"].get<float>(), 0.01f, 1e-6f);
}

TEST(TitleScreen, InactiveWindowTypesButNeverFadesIn) {
    const Snapshots s = RunTitle("1 focus off\n250 key Return down\n", {97, 150, 300}, 300);
    EXPECT_EQ(Title(s, 97)["typedCount"], 386);
    EXPECT_FALSE(Title(s, 300)["titleStarted"]);
    EXPECT_FLOAT_EQ(Title(s, 300)["titleAlpha"], 0.0f);
    EXPECT_EQ(s.at(300)["clickLatch"], 0);
}

// Pixel checks on real frames: background grey is 0.3 (77 of 255).
bool DiffersFromBackground(const Image& image, int x, int y, int w, int h) {
    double average[3];
    image.Average(x, y, w, h, average);
    return std::abs(average[0] - 77) > 12 || std::abs(average[1] - 77) > 12 || std::abs(average[2] - 77) > 12;
}

TEST(TitleScreen, ScreenshotsShowTextRobotTitleAndBlack) {
    const Snapshots& s = MainTimeline();
    const std::string dir = ShotDir().Path();
    const Image typing = ReadPng(dir + "/typing.png");
    ASSERT_EQ(typing.width, 1280);
    // Green text starts right of the centre near (650, 210).
    int greenPixels = 0;
    for (int y = 205; y < 225; ++y) {
        for (int x = 645; x < 760; ++x) {
            const uint8_t* p = typing.At(x, y);
            greenPixels += (p[1] > 150 && p[0] < 100) ? 1 : 0;
        }
    }
    EXPECT_GT(greenPixels, 30);
    for (int x = 600; x < 645; ++x) {
        EXPECT_LT(typing.At(x, 215)[1], 150) << "nothing green left of the text start at x " << x;
    }
    // The robot stands in the left half.
    EXPECT_TRUE(DiffersFromBackground(typing, 100, 200, 400, 300));

    const Image title = ReadPng(dir + "/title.png");
    EXPECT_TRUE(DiffersFromBackground(title, 540, 130, 200, 60)) << "the title picture around (640, 160)";

    // The title's last frame, the one that requests the game, is all black.
    uint32_t request = 0;
    for (const auto& [frame, state] : s) {
        request = state["sceneRequested"] ? frame : request;
    }
    const Image black = ReadPng(dir + "/" + std::to_string(request) + ".png");
    ASSERT_FALSE(black.Empty()) << "request frame " << request;
    double average[3];
    black.Average(0, 0, 1280, 720, average);
    EXPECT_LT(average[0] + average[1] + average[2], 6.0);
}

TEST(TitleScreen, MissingFontStopsWithTheFileNamed) {
    TempDir dir;
    const GameRunResult run = RunGame({"--frames", "5", "--content", dir.Path()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.output.find("Data/Font/SpriteFont_8.dat"), std::string::npos) << run.output;
}

}  // namespace

namespace {

// Peak absolute sample of a 16-bit WAV file, 0..1; -1 when it cannot be read.
double PeakOf(const std::string& path) {
    SDL_AudioSpec spec;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path.c_str(), &spec, &buffer, &length) == nullptr || spec.format != AUDIO_S16LSB) {
        return -1.0;
    }
    const auto* samples = reinterpret_cast<const int16_t*>(buffer);
    int peak = 0;
    for (Uint32 i = 0; i < length / 2; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    }
    SDL_FreeWAV(buffer);
    return peak / 32768.0;
}

TEST(TitleScreen, TypingAndTitleSoundsAreHeard) {
    TempDir dir;
    WriteTextFile(dir.File("alsoft.conf"),
                  "[general]\ndrivers=wave\nsample-type=int16\n[wave]\nfile=" + dir.File("mix.wav") + "\n");
    // An empty script owns the input: the window counts as active whatever the shared display's
    // focus does, so the typing sound is paused on time.
    WriteTextFile(dir.File("input.txt"), "");
    GameRunResult run;
    // The wave writer mixes in real time, so this run keeps the frame limiter.
    const Snapshots s = RunGameWithSnapshots(StateOnly({"--frames", "300", "--input", dir.File("input.txt")}), {5, 100},
                                             &run, {"ALSOFT_CONF=" + dir.File("alsoft.conf")});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(Title(s, 5)["keyboardSoundPlaying"]) << "typing is heard";
    EXPECT_FALSE(Title(s, 100)["keyboardSoundPlaying"]) << "and stops when the text is complete";
    EXPECT_GT(PeakOf(dir.File("mix.wav")), 0.05);
}

}  // namespace
