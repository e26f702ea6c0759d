#include <gtest/gtest.h>

#include <cstdlib>

#include "app/AppOptions.h"
#include "framework/platform/FwSettings.h"
#include "tests/support/GameRun.h"

namespace {

TEST(AppOptions, ReadsEveryFlag) {
    AppOptions options;
    std::string error;
    ASSERT_TRUE(ParseAppOptions({"--frames", "120",          "--unlimited",          "--seed",       "7",
                                 "--input",  "in.txt",       "--screenshot",         "3:/tmp/a.png", "--screenshot",
                                 "9:b.png",  "--dump-state", "120:/tmp/s.json",      "--content",    "/c",
                                 "--view",   "m.gltf",       "--back-buffer",        "320x180",      "--window-shot",
                                 "4:w.png",  "--fullscreen", "--pause-on-focus-loss"},
                                options, error))
        << error;
    EXPECT_EQ(options.frames, 120u);
    EXPECT_TRUE(options.unlimited);
    EXPECT_EQ(options.seed.value_or(0), 7u);
    EXPECT_EQ(options.inputPath, "in.txt");
    ASSERT_EQ(options.screenshots.size(), 2u);
    EXPECT_EQ(options.screenshots[1].frame, 9u);
    EXPECT_EQ(options.screenshots[1].path, "b.png");
    ASSERT_EQ(options.dumps.size(), 1u);
    EXPECT_EQ(options.dumps[0].path, "/tmp/s.json");
    EXPECT_EQ(options.contentDir, "/c");
    EXPECT_EQ(options.viewPath, "m.gltf");
    EXPECT_EQ(options.backBufferWidth, 320);
    EXPECT_EQ(options.backBufferHeight, 180);
    ASSERT_EQ(options.windowShots.size(), 1u);
    EXPECT_EQ(options.windowShots[0].frame, 4u);
    EXPECT_EQ(options.windowShots[0].path, "w.png");
    FwSettings settings;
    ApplySettingFlags(options, settings);
    EXPECT_TRUE(settings.fullscreen);
    EXPECT_TRUE(settings.pauseOnFocusLoss);
    EXPECT_TRUE(options.IsAutomated());
}

TEST(AppOptions, BadFlagsAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--frames"},
        {"--frames", "0"},
        {"--frames", "12x"},
        {"--frames", "-3"},
        {"--seed", "abc"},
        {"--screenshot", "3"},
        {"--screenshot", "0:a.png"},
        {"--screenshot", "3:"},
        {"--dump-state", "x:a.json"},
        {"--window-shot", "0:w.png"},
        {"--input", "a", "--record", "b"},
        {"--back-buffer", "320"},
        {"--back-buffer", "320x"},
        {"--back-buffer", "8x180"},
        {"--back-buffer", "320x5000"},
        {"--back-buffer", "-320x180"},
    };
    for (const auto& args : bad) {
        AppOptions options;
        std::string error;
        EXPECT_FALSE(ParseAppOptions(args, options, error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(GameProcess, BadFlagsAndScriptsExitWithTwo) {
    GameRunResult run = RunGame({"--frames", "nope"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("bad value 'nope' for --frames"), std::string::npos) << run.output;

    TempDir dir;
    WriteTextFile(dir.File("bad.txt"), "1 key W down\n2 key W sideways\n");
    run = RunGame({"--input", dir.File("bad.txt"), "--frames", "5"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("line 2: expected: key"), std::string::npos) << run.output;

    run = RunGame({"--input", dir.File("missing.txt")});
    EXPECT_EQ(run.exitCode, 2);
}

// From a terminal with no display (an SSH session, say) SDL would fall back to drawing into
// memory; the game says so and stops instead of playing unseen. --frames bounds the old behaviour.
TEST(GameProcess, WithoutADisplayItSaysSoAndExitsWithOne) {
    const GameRunResult run =
        RunShell("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + std::string(QUARNEL_EXE) + " --frames 200");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "no display: set DISPLAY or WAYLAND_DISPLAY, or run from a desktop session\n");
}

TEST(GameProcess, HelpAndVersion) {
    GameRunResult run = RunGame({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* text : {"--dump-state N:PATH", "--settings FILE", "--mouse-sensitivity X", "--invert-y",
                             "--volume X", "keys:", "Esc", "--fullscreen", "--pause-on-focus-loss", "--window-shot",
                             "pause and resume", "F11 or Alt+Enter", "F12", "F3", "right trigger", "--field-of-view D",
                             "--no-rumble", "key-forward = W", "Controls",
                             "--render-scale auto|50..100"}) {
        EXPECT_NE(run.output.find(text), std::string::npos) << text;
    }
    run = RunGame({"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("Quarnel 1.0.0"), std::string::npos);
}

// Flags win over the file, within the same bounds; automated runs use no settings file unless
// they name one.
TEST(AppOptions, SettingFlagsAndTheSettingsFile) {
    AppOptions options;
    std::string error;
    ASSERT_TRUE(ParseAppOptions({"--mouse-sensitivity", "2.46", "--invert-y", "--volume", "0", "--field-of-view", "88",
                                 "--no-rumble", "--render-scale", "80", "--test-slow-frames", "10-20:30"},
                                options, error))
        << error;
    EXPECT_EQ(options.slowFrames.first, 10u);
    EXPECT_EQ(options.slowFrames.last, 20u);
    EXPECT_EQ(options.slowFrames.milliseconds, 30.0f);
    FwSettings settings;
    settings.mouseSensitivity = 3.0f;
    settings.fullscreen = true;
    ApplySettingFlags(options, settings);
    EXPECT_FLOAT_EQ(settings.mouseSensitivity, 2.5f);
    EXPECT_TRUE(settings.invertY);
    EXPECT_FLOAT_EQ(settings.masterVolume, 0.0f);
    EXPECT_TRUE(settings.fullscreen);
    EXPECT_FLOAT_EQ(settings.fieldOfView, 90.0f);
    EXPECT_FALSE(settings.rumble);
    EXPECT_EQ(settings.renderScale, 80.0f);
    AppOptions automatic;
    ASSERT_TRUE(ParseAppOptions({"--render-scale", "auto"}, automatic, error));
    ApplySettingFlags(automatic, settings);
    EXPECT_EQ(settings.renderScale, 0.0f);
    for (const auto& bad : std::vector<std::vector<std::string>>{{"--volume", "1.5"},
                                                                 {"--volume", "-0.1"},
                                                                 {"--volume", "nan"},
                                                                 {"--mouse-sensitivity", "0"},
                                                                 {"--mouse-sensitivity", "fast"},
                                                                 {"--mouse-sensitivity"},
                                                                 {"--field-of-view", "59"},
                                                                 {"--field-of-view", "91"},
                                                                 {"--render-scale", "40"},
                                                                 {"--render-scale", "half"},
                                                                 {"--test-slow-frames", "20-10:5"},
                                                                 {"--test-slow-frames", "1-10"},
                                                                 {"--test-slow-frames", "0-10:5"},
                                                                 {"--settings"}}) {
        AppOptions refused;
        EXPECT_FALSE(ParseAppOptions(bad, refused, error)) << bad[0];
    }

    setenv("XDG_CONFIG_HOME", "/tmp/quarnel-xdg", 1);
    EXPECT_EQ(SettingsFileFor(AppOptions()), "/tmp/quarnel-xdg/quarnel/settings.ini");
    AppOptions automated;
    ASSERT_TRUE(ParseAppOptions({"--frames", "5"}, automated, error));
    EXPECT_EQ(SettingsFileFor(automated), "");
    ASSERT_TRUE(ParseAppOptions({"--settings", "/tmp/s.ini"}, automated, error));
    EXPECT_EQ(SettingsFileFor(automated), "/tmp/s.ini");
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
