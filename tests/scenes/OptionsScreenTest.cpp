// ctest-cost: 40
#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/GameRun.h"

namespace {

using Snapshots = std::map<uint32_t, nlohmann::json>;

// The prompt is live from about frame 299; O opens the screen at 305 and Escape leaves it at 364,
// so the title stands still for the 59 frames between.
constexpr uint32_t kOpen = 305;
constexpr uint32_t kClose = 364;
// Enter at 372 fades to black for 101 frames; the game runs well before 484.
constexpr uint32_t kLookFrame = 485;

const char* const kOptionsScript =
    "50 key O down\n52 key O up\n"                  // typing: O does nothing yet
    "60 key Down down\n62 key Down up\n"            // nor do the screen's keys while it is closed
    "305 key O down\n306 key O up\n"                // opens on the mouse sensitivity row
    "310 key Right down\n311 key Right up\n"        // 1.1
    "315 key Right down\n346 key Right up\n"        // held: steps at 315, 334 and 344, to 1.4
    "350 key Down down\n351 key Down up\n"          // invert Y
    "353 key Return down\n354 key Return up\n"      // on
    "356 wheel -1\n357 wheel -1\n"                  // to the volume row
    "358 key Left down\n359 key Left up\n"          // 0.9
    "361 button right down\n362 button right up\n"  // 0.8
    "364 key Escape down\n365 key Escape up\n"      // leave and write the file
    "372 key Return down\n373 key Return up\n"      // the title goes on to a game
    "485 move 40 -20\n";

std::vector<std::string> Args(const std::string& script, uint32_t frames, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"--unlimited",          "--seed",  "1",   "--frames",
                                     std::to_string(frames), "--input", script};
    args.insert(args.end(), extra.begin(), extra.end());
    return HalfSize(args);
}

// Average colour of each cell of an 8 by 4 grid over the picture.
std::vector<double> Cells(const Image& image) {
    std::vector<double> cells;
    const int w = image.width / 8;
    const int h = image.height / 4;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            double average[3];
            image.Average(x * w, y * h, w, h, average);
            cells.insert(cells.end(), average, average + 3);
        }
    }
    return cells;
}

nlohmann::json TitleTimeline(const nlohmann::json& snapshot) {
    nlohmann::json title = snapshot["title"];
    title.erase("options");
    return title;
}

// One run changes a setting of every kind through the screen and plays on into a game that uses
// them; a plain run of the same title is the reference; a third run starts from the file written.
TEST(OptionsScreen, ChangesSettingsThatTheNextGameAndTheNextRunUse) {
    TempDir dir;
    WriteTextFile(dir.File("plain.txt"), "# no input\n");
    WriteTextFile(dir.File("options.txt"), kOptionsScript);
    const std::string settings = dir.File("config/settings.ini");
    // A player's file in the XDG folder must not count for any automated run.
    WriteTextFile(dir.File("xdg/quarnel/settings.ini"), "mouse-sensitivity = 4.0\n");
    const std::vector<std::string> xdg = {"XDG_CONFIG_HOME=" + dir.File("xdg")};

    GameRunResult plainRun;
    const Snapshots plain = RunGameWithSnapshots(
        Args(dir.File("plain.txt"), 310, {"--render-scale", "100", "--screenshot", "300:" + dir.File("plain.png")}),
        {100, kOpen, kOpen + 3}, &plainRun, xdg);
    ASSERT_EQ(plainRun.exitCode, 0) << plainRun.output;

    GameRunResult optionsRun;
    const std::vector<uint32_t> frames = {100,        kOpen,      kOpen + 2,      352,       358,
                                          kClose - 1, kClose + 3, kLookFrame - 1, kLookFrame};
    const Snapshots run =
        RunGameWithSnapshots(Args(dir.File("options.txt"), kLookFrame,
                                  {"--settings", settings, "--render-scale", "100", "--screenshot",
                                   "300:" + dir.File("before.png"), "--screenshot", "340:" + dir.File("open.png")}),
                             frames, &optionsRun, xdg);
    ASSERT_EQ(optionsRun.exitCode, 0) << optionsRun.output;
    ASSERT_EQ(run.size(), frames.size()) << "Escape must leave the screen, not close the window";

    // Closed, the screen changes nothing on the title: the O during typing and the arrow keys are
    // ignored, and the pictures match.
    nlohmann::json typing = run.at(100);
    nlohmann::json plainTyping = plain.at(100);
    for (const char* machine : {"measuredFps", "renderScale", "cheaperLook"}) {
        typing.erase(machine);
        plainTyping.erase(machine);
    }
    EXPECT_EQ(typing, plainTyping);
    EXPECT_EQ(TitleTimeline(run.at(kOpen)), TitleTimeline(plain.at(kOpen)));
    EXPECT_TRUE(plain.at(kOpen)["title"]["options"].is_null());
    const std::vector<double> before = Cells(ReadPng(dir.File("before.png")));
    const std::vector<double> reference = Cells(ReadPng(dir.File("plain.png")));
    ASSERT_EQ(before.size(), reference.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_NEAR(before[i], reference[i], 0.5) << "cell " << i / 3;
    }

    // Open: the rows follow the keys and the wheel, the settings change at once.
    EXPECT_EQ(run.at(kOpen + 2)["title"]["options"]["row"], "mouse-sensitivity");
    EXPECT_EQ(run.at(352)["title"]["options"]["row"], "invert-y");
    EXPECT_NEAR(run.at(352)["settings"]["mouse-sensitivity"].get<double>(), 1.4, 1e-5);
    EXPECT_EQ(run.at(358)["title"]["options"]["row"], "volume");
    EXPECT_EQ(run.at(358)["settings"]["invert-y"], true);
    EXPECT_NEAR(run.at(358)["settings"]["volume"].get<double>(), 0.9, 1e-5);
    EXPECT_NEAR(run.at(kClose - 1)["settings"]["volume"].get<double>(), 0.8, 1e-5);

    // The screen dims the title and draws its rows over it.
    const Image open = ReadPng(dir.File("open.png"));
    const auto bright = [](int r, int g, int b) { return r + g + b > 600; };
    const auto highlighted = [](int r, int g, int b) { return g > 200 && r < 80 && b > 80 && b < 180; };
    EXPECT_GT(ReadPng(dir.File("before.png")).Share(100, 80, 200, 100, bright), 0.05);
    EXPECT_LT(open.Share(100, 80, 200, 100, bright), 0.001) << "the title is dimmed";
    EXPECT_GT(open.Share(300, 185, 680, 30, highlighted), 0.002) << "the chosen row is drawn in green";
    EXPECT_LT(open.Share(300, 233, 680, 30, highlighted), 0.0005) << "the next row is not";

    // Left, the title resumes where it stood, and the settings hold.
    EXPECT_TRUE(run.at(kClose + 3)["title"]["options"].is_null());
    EXPECT_EQ(TitleTimeline(run.at(kClose + 3)), TitleTimeline(plain.at(kOpen + 3)));
    const std::string file = ReadTextFile(settings);
    for (const char* line :
         {"mouse-sensitivity = 1.4\n", "invert-y = true\n", "volume = 0.8\n", "gamepad-sensitivity = 1.0\n"}) {
        EXPECT_NE(file.find(line), std::string::npos) << line << " in:\n" << file;
    }

    // The game that follows looks 1.4 times as far, and moving the mouse up looks down.
    const nlohmann::json& still = run.at(kLookFrame - 1);
    const nlohmann::json& looked = run.at(kLookFrame);
    ASSERT_EQ(still["scene"], "game");
    EXPECT_NEAR(looked["player"]["yaw"].get<double>() - still["player"]["yaw"].get<double>(), 40 * 0.25 * 1.4, 1e-3);
    EXPECT_NEAR(looked["player"]["pitch"].get<double>() - still["player"]["pitch"].get<double>(), 20 * 0.25 * 1.4,
                1e-3);

    // The next run reads the file it wrote, with a flag over one value; without --settings the
    // automated run keeps to the defaults, whatever the XDG folder holds.
    GameRunResult next;
    const Snapshots again =
        RunGameWithSnapshots(StateOnly({"--frames", "1", "--settings", settings, "--volume", "0.5"}), {1}, &next, xdg);
    ASSERT_EQ(next.exitCode, 0) << next.output;
    const nlohmann::json& loaded = again.at(1)["settings"];
    EXPECT_NEAR(loaded["mouse-sensitivity"].get<double>(), 1.4, 1e-5);
    EXPECT_EQ(loaded["invert-y"], true);
    EXPECT_NEAR(loaded["volume"].get<double>(), 0.5, 1e-5);
    const Snapshots fresh = RunGameWithSnapshots(StateOnly({"--frames", "1"}), {1}, nullptr, xdg);
    EXPECT_NEAR(fresh.at(1)["settings"]["mouse-sensitivity"].get<double>(), 1.0, 1e-5);
    EXPECT_EQ(ReadTextFile(dir.File("xdg/quarnel/settings.ini")), "mouse-sensitivity = 4.0\n");
}

// On the Controls page a key chosen by pressing it drives the next game, and the field of view
// stepped on the settings page is the next game's camera.
TEST(OptionsScreen, ControlsPageRebindingAndFieldOfViewDriveTheNextGame) {
    TempDir dir;
    const std::string settings = dir.File("settings.ini");
    WriteTextFile(dir.File("options.txt"),
                  "305 key O down\n306 key O up\n"                                           // mouse sensitivity
                  "310 wheel -1\n311 wheel -1\n312 wheel -1\n313 wheel -1\n314 wheel -1\n315 wheel -1\n"  // field of view
                  "318 key Right down\n319 key Right up\n322 key Right down\n323 key Right up\n"  // 70
                  "325 wheel -1\n326 wheel -1\n327 wheel -1\n"                                // Controls
                  "330 key Return down\n331 key Return up\n"                                  // on Drive forward
                  "334 key Return down\n335 key Return up\n"                                  // waits for a key
                  "338 scancode I down\n339 scancode I up\n"                                  // binds I
                  "342 key Escape down\n343 key Escape up\n"                                  // back to the settings
                  "346 key Escape down\n347 key Escape up\n");                                // leave and save
    GameRunResult run;
    const Snapshots screen = RunGameWithSnapshots(
        StateOnly({"--unlimited", "--frames", "350", "--settings", settings, "--input", dir.File("options.txt")}),
        {320, 328, 332, 336, 340, 344, 349}, &run);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(screen.size(), 7u) << run.output;
    const auto options = [&](uint32_t frame) { return screen.at(frame)["title"]["options"]; };
    EXPECT_EQ(options(320)["row"], "field-of-view");
    EXPECT_EQ(options(328)["row"], "Controls");
    EXPECT_EQ(options(332)["page"], "controls");
    EXPECT_EQ(options(332)["row"], "key-forward");
    EXPECT_TRUE(options(336)["waiting"]);
    EXPECT_FALSE(options(340)["waiting"]);
    EXPECT_EQ(screen.at(340)["input"]["keyNames"]["key-forward"], "I");
    EXPECT_EQ(screen.at(340)["settings"]["key-forward"], "I");
    EXPECT_EQ(options(344)["page"], "settings");
    EXPECT_EQ(options(344)["row"], "Controls");
    EXPECT_TRUE(options(349).is_null()) << "left";
    const std::string file = ReadTextFile(settings);
    for (const char* line : {"key-forward = I\n", "key-back = S\n", "field-of-view = 70\n"}) {
        EXPECT_NE(file.find(line), std::string::npos) << line << " in:\n" << file;
    }

    // The next game: W does nothing any more, I drives forward, and the camera sees 70 degrees.
    const int g = GameStartFrame();
    ASSERT_GT(g, 0);
    const auto frame = [g](int offset) { return std::to_string(g + offset); };
    WriteTextFile(dir.File("drive.txt"), StartLevelScript() + frame(10) +
                                             " scancode W down\n" + frame(30) + " scancode W up\n" + frame(40) +
                                             " scancode I down\n" + frame(60) + " scancode I up\n");
    const Snapshots game = RunGameWithSnapshots(
        StateOnly({"--unlimited", "--frames", frame(70), "--seed", "3", "--settings", settings, "--input",
                   dir.File("drive.txt")}),
        {static_cast<uint32_t>(g + 5), static_cast<uint32_t>(g + 35), static_cast<uint32_t>(g + 65)}, &run);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_EQ(game.size(), 3u) << run.output;
    const auto& start = game.at(g + 5);
    ASSERT_EQ(start["scene"], "game");
    EXPECT_NEAR(start["camera"]["fieldOfView"].get<double>(), 70.0, 1e-3);
    EXPECT_EQ(game.at(g + 35)["player"]["position"], start["player"]["position"]) << "W is bound to nothing";
    const auto& moved = game.at(g + 65)["player"]["position"];
    EXPECT_GT(std::abs(moved[0].get<float>() - start["player"]["position"][0].get<float>()) +
                  std::abs(moved[2].get<float>() - start["player"]["position"][2].get<float>()),
              5.0f)
        << "I drives";
}

// A settings file the game cannot use costs a warning, never the start; a file it cannot write
// costs a warning when the screen is left, and the game plays on.
TEST(OptionsScreen, BadSettingsFilesNeverStopTheGame) {
    TempDir dir;
    WriteTextFile(dir.File("bad.ini"), "volume = loud\nmouse-sensitivity = 2.0\n\x01\x02\n");
    WriteTextFile(dir.File("options.txt"), "305 key O down\n306 key O up\n310 key Escape down\n311 key Escape up\n");
    std::filesystem::create_directories(dir.File("folder.ini"));
    for (const std::string& file : {dir.File("bad.ini"), dir.File("folder.ini")}) {
        GameRunResult run;
        const Snapshots snapshots = RunGameWithSnapshots(
            StateOnly({"--unlimited", "--frames", "320", "--settings", file, "--input", dir.File("options.txt")}),
            {1, 320}, &run);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        ASSERT_EQ(snapshots.size(), 2u) << run.output;
        EXPECT_NE(run.output.find("quarnel: settings " + file), std::string::npos) << run.output;
        EXPECT_NEAR(snapshots.at(1)["settings"]["volume"].get<double>(), 1.0, 1e-5);
        const bool parsed = file == dir.File("bad.ini");
        EXPECT_NEAR(snapshots.at(1)["settings"]["mouse-sensitivity"].get<double>(), parsed ? 2.0 : 1.0, 1e-5);
        if (!parsed) {
            EXPECT_NE(run.output.find("the previous file is kept"), std::string::npos) << run.output;
        }
    }
}

}  // namespace
