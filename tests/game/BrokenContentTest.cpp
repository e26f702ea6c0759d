// ctest-cost: 60
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "framework/platform/FwClock.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwPath.h"
#include "scenes/SceneManager.h"
#include "scenes/TitleScene.h"
#include "tests/game/GameSceneFixture.h"
#include "tests/support/FightDriver.h"
#include "tests/support/GameRun.h"
#include "tests/support/Scoped.h"

namespace {

namespace fs = std::filesystem;

const std::string kBuild = QUARNEL_BUILD_DIR;
constexpr uint32_t kSeed = 7;
constexpr uint32_t kSnapshotEvery = 20;
// The recorded play-through must be over by then.
constexpr uint32_t kMaxFrames = 12000;

enum class Damage { Removed, Truncated, Garbage };

struct BrokenFile {
    std::string path;  // relative to the content tree
    Damage damage;
};

const char* DamageName(Damage damage) {
    switch (damage) {
    case Damage::Removed:
        return "removed";
    case Damage::Truncated:
        return "truncated";
    case Damage::Garbage:
        return "garbage";
    }
    return "";
}

void PrintTo(const BrokenFile& broken, std::ostream* out) { *out << broken.path << " " << DamageName(broken.damage); }

std::string CaseName(const ::testing::TestParamInfo<BrokenFile>& info) {
    std::string name = info.param.path + "_" + DamageName(info.param.damage);
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

// What the game does when a file of this kind is broken.
enum class Expect {
    // The title's sprite fonts: a message naming the file and a non-zero exit before any frame.
    Required,
    // Pictures, sounds, models that are only drawn, the test route: the game plays exactly as with
    // the file intact, only something is invisible or silent.
    SamePlay,
    // Level files: the kind of object is left out or cut short; a token that is not a number is named.
    LevelFile,
    // Models the game also tests rays and walls against: the play goes differently, but goes on
    // to the end of the run.
    Plays,
};

Expect ExpectedFor(const std::string& path) {
    const std::string extension = fs::path(path).extension().string();
    if (extension == ".dat") {
        return Expect::Required;
    }
    if (path.rfind("TxtData/", 0) == 0) {
        return path == "TxtData/route.txt" ? Expect::SamePlay : Expect::LevelFile;
    }
    if (extension == ".png" || extension == ".jpg" || extension == ".wav") {
        return Expect::SamePlay;
    }
    static const char* const kTested[] = {"Data/Stage/Stage.", "Data/Enemy/", "Data/Drum/Drum.", "Data/breaker/",
                                          "Data/CollisionModel/"};
    for (const char* prefix : kTested) {
        if (path.rfind(prefix, 0) == 0) {
            return Expect::Plays;
        }
    }
    return Expect::SamePlay;
}

std::vector<std::string> ContentFiles() {
    std::vector<std::string> files;
    for (const char* top : {"Data", "TxtData"}) {
        std::error_code error;
        for (const auto& entry : fs::recursive_directory_iterator(kBuild + "/" + top, error)) {
            if (entry.is_regular_file()) {
                files.push_back(fs::relative(entry.path(), kBuild).string());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Every file three ways, when QUARNEL_SWEEP is set (scripts/quarnel.sh sweep); otherwise none.
std::vector<BrokenFile> SweepCases() {
    std::vector<BrokenFile> cases;
    if (std::getenv("QUARNEL_SWEEP") == nullptr) {
        return cases;
    }
    for (const std::string& path : ContentFiles()) {
        for (const Damage damage : {Damage::Removed, Damage::Truncated, Damage::Garbage}) {
            cases.push_back({path, damage});
        }
    }
    return cases;
}

// A few cases of each kind for every test run, and the ones the sweep found faults with.
const std::vector<BrokenFile> kSample = {
    {"Data/Font/SpriteFont_8.dat", Damage::Truncated},
    {"Data/Font/SpriteFont_12.dat", Damage::Garbage},
    {"TxtData/installatioStand.txt", Damage::Garbage},
    {"Data/Stage/Stage.bin", Damage::Garbage},
    {"Data/Sound/shot.wav", Damage::Garbage},
    // A picture tinygltf could not decode used to fail the whole model of the enemies' treads.
    {"Data/Enemy/TreadLinks.png", Damage::Garbage},
};

// The play-through every case replays: title, game, the fight in the last room of the route, the
// ending and the click back to the title, played once in this process by the fight driver with
// its input recorded, then replayed by the game on the intact tree. The level is the shipped one
// with the start moved to the last room (after the last breaker) and only that room's robots,
// so that a run is a few hundred frames of fighting and not the whole route.
struct Recording {
    TempDir base;
    TempDir dir;
    std::string script;
    uint32_t lastFrame = 0;
    std::vector<uint32_t> frames;
    std::map<uint32_t, nlohmann::json> intact;
    std::chrono::seconds runTime{0};
    std::string error;
};

// The bytes that replace a file: seeded by its path, so every run breaks it the same way.
std::string Garbage(const std::string& path, size_t size) {
    std::seed_seq seed(path.begin(), path.end());
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random() & 0xff);
    }
    return bytes;
}

// A content tree of links to the files of `source`, with `broken` removed, cut or replaced.
void MakeTree(const std::string& source, const TempDir& tree, const BrokenFile& broken) {
    for (const std::string& path : ContentFiles()) {
        const std::string original = source + "/" + path;
        const std::string target = tree.File(path);
        fs::create_directories(fs::path(target).parent_path());
        if (path != broken.path) {
            fs::create_symlink(fs::canonical(original), target);
            continue;
        }
        const std::string bytes = ReadTextFile(original);
        if (broken.damage == Damage::Truncated) {
            WriteTextFile(target, bytes.substr(0, bytes.size() / 2));
        } else if (broken.damage == Damage::Garbage) {
            WriteTextFile(target, Garbage(path, bytes.size()));
        }
    }
}

GameRunResult Replay(const Recording& recording, const std::string& content, const std::string& dumps,
                     std::chrono::seconds deadline) {
    std::vector<std::string> args = {"--unlimited",    "--seed",   std::to_string(kSeed),
                                     "--content",      content,    "--input",
                                     recording.script, "--frames", std::to_string(recording.lastFrame)};
    for (const uint32_t frame : recording.frames) {
        args.insert(args.end(), {"--dump-state", std::to_string(frame) + ":" + dumps + "/" + std::to_string(frame)});
    }
    return RunGame(StateOnly(args), {}, deadline);
}

// A snapshot less what depends on the machine: the measured frame rate, and whether the title's
// typing sound is heard (it is not where there is no sound device); and less what the game
// binary's frame loop adds to the scene's own snapshot (window, input, settings, frame-rate corner),
// which the recording made in the test process does not have.
nlohmann::json Comparable(nlohmann::json state) {
    for (const char* key :
         {"measuredFps", "renderScale", "cheaperLook", "frameRateShown", "input", "settings", "window"}) {
        state.erase(key);
    }
    if (state.contains("title")) {
        state["title"].erase("keyboardSoundPlaying");
    }
    return state;
}

std::map<uint32_t, nlohmann::json> ReadStates(const Recording& recording, const std::string& dumps) {
    std::map<uint32_t, nlohmann::json> states;
    for (const uint32_t frame : recording.frames) {
        const std::string path = dumps + "/" + std::to_string(frame);
        if (fs::exists(path)) {
            states[frame] = Comparable(ReadJsonFile(path));
        }
    }
    return states;
}

class BrokenContent : public GameSceneTest, public ::testing::WithParamInterface<BrokenFile> {
protected:
    static void SetUpTestSuite() {
        GameSceneTest::SetUpTestSuite();
        recording = std::make_unique<Recording>();
        Record(*recording);
    }

    static void TearDownTestSuite() {
        recording.reset();
        GameSceneTest::TearDownTestSuite();
    }

    static void Record(Recording& out);

    static std::unique_ptr<Recording> recording;
};

std::unique_ptr<Recording> BrokenContent::recording;

void BrokenContent::Record(Recording& out) {
    const auto started = std::chrono::steady_clock::now();
    FightDriver driver;
    if (!driver.ReadRoute(kBuild, out.error)) {
        return;
    }
    // The walk that follows the last breaker is the last room's entrance.
    const std::vector<RouteStep>& route = driver.Route();
    size_t entrance = 0;
    for (size_t step = 0; step < route.size(); ++step) {
        if (route[step].action == "shoot") {
            entrance = step + 1;
        }
    }
    if (entrance + 1 >= route.size()) {
        out.error = "the route has no walk after its last breaker";
        return;
    }
    MakeTree(kBuild, out.base, {"TxtData/data.txt", Damage::Removed});
    fs::remove(out.base.File("TxtData/data.txt"));
    const Vector3 start = route[entrance].point;
    WriteTextFile(out.base.File("TxtData/data.txt"),
                  std::to_string(start.x) + " " + std::to_string(start.y) + " " + std::to_string(start.z) + " 0\n");
    driver.StartAt(entrance + 1);
    // Only the robots of the last room: those nearer the goal than the start is.
    const Vector3 goal = route.back().point;
    std::istringstream enemies(ReadTextFile(kBuild + "/TxtData/Enemydata.txt"));
    std::string kept;
    Vector3 enemy;
    while (enemies >> enemy.x >> enemy.y >> enemy.z) {
        if (std::hypot(enemy.x - goal.x, enemy.z - goal.z) < std::hypot(start.x - goal.x, start.z - goal.z)) {
            kept += std::to_string(enemy.x) + " " + std::to_string(enemy.y) + " " + std::to_string(enemy.z) + "\n";
        }
    }
    fs::remove(out.base.File("TxtData/Enemydata.txt"));
    WriteTextFile(out.base.File("TxtData/Enemydata.txt"), kept);

    const ScopedContentRoot root{out.base.Path()};
    const ScopedSeed seed{kSeed};
    FwInput& input = FwInput::GetInstance();
    input.Reset();
    out.script = out.dir.File("play.txt");
    if (!input.StartRecording(out.script, out.error)) {
        return;
    }
    SceneManager& scenes = SceneManager::GetInstance();
    scenes.clickLatch = 0;
    scenes.SetNextScene(std::make_unique<TitleScene>());
    for (uint32_t frame = 1; frame <= kMaxFrames; ++frame) {
        driver.PlayFrame();
        const C_Scene& scene = *scenes.Current();
        const bool over = driver.gamesStarted == 1 && std::string(scene.Name()) == "title";
        if (frame % kSnapshotEvery == 0 || over) {
            // As the game writes it for --dump-state.
            nlohmann::json state = {{"frame", frame},
                                    {"clickLatch", scenes.clickLatch},
                                    {"sceneRequested", scenes.HasPendingScene()},
                                    {"scene", scene.Name()}};
            scene.DumpState(state);
            out.frames.push_back(frame);
            out.intact[frame] = Comparable(nlohmann::json::parse(state.dump()));
        }
        if (over) {
            out.lastFrame = frame;
            break;
        }
    }
    scenes.Release();
    input.Reset();
    if (out.lastFrame == 0 || driver.endings != 1) {
        out.error = "the fight driver did not play the level to its ending and back to the title in " +
                    std::to_string(kMaxFrames) + " frames";
        return;
    }
    const bool ended = std::any_of(out.intact.begin(), out.intact.end(),
                                   [](const auto& state) { return state.second.value("ending", false); });
    if (!ended) {
        out.error = "the fight driver never reached the ending";
    }
    out.runTime = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started);
    std::cout << "recorded play-through: " << out.lastFrame << " frames, " << driver.enemiesDowned
              << " enemies down, in " << out.runTime.count() << " s\n";
}

TEST_P(BrokenContent, EndsAsTheContentAllows) {
    ASSERT_TRUE(recording->error.empty()) << recording->error;
    const BrokenFile& broken = GetParam();
    TempDir tree;
    MakeTree(recording->base.Path(), tree, broken);
    TempDir dumps;
    // Far above a normal run even on a busy machine, well short of a hang going unnoticed.
    const std::chrono::seconds deadline = std::max(std::chrono::seconds(120), recording->runTime * 8);
    const GameRunResult run = Replay(*recording, tree.Path(), dumps.Path(), deadline);
    const std::map<uint32_t, nlohmann::json> states = ReadStates(*recording, dumps.Path());
    const std::string name = broken.path + " " + DamageName(broken.damage);

    ASSERT_GE(run.exitCode, 0) << name << ": the run hung\n" << run.output;
    ASSERT_LT(run.exitCode, 128) << name << ": the game crashed\n" << run.output;
    for (const char* report : {"runtime error", "AddressSanitizer", "LeakSanitizer"}) {
        EXPECT_EQ(run.output.find(report), std::string::npos) << name << "\n" << run.output;
    }
    const bool ended = std::any_of(states.begin(), states.end(),
                                   [](const auto& state) { return state.second.value("ending", false); });
    std::cout << "[broken content] " << name << ": exit " << run.exitCode << ", " << states.size() << " of "
              << recording->frames.size() << " snapshots, " << (ended ? "ending reached" : "no ending") << "\n";

    const Expect expect = ExpectedFor(broken.path);
    if (expect == Expect::Required) {
        EXPECT_EQ(run.exitCode, 1) << name;
        EXPECT_NE(run.output.find(fs::path(broken.path).filename().string()), std::string::npos)
            << name << ": the message names the file\n"
            << run.output;
        EXPECT_TRUE(states.empty()) << name;
        return;
    }
    ASSERT_EQ(run.exitCode, 0) << name << "\n" << run.output;
    ASSERT_EQ(states.size(), recording->frames.size()) << name << ": the run ended early\n" << run.output;
    const bool played =
        std::any_of(states.begin(), states.end(), [](const auto& state) { return state.second["scene"] == "game"; });
    EXPECT_TRUE(played) << name << ": the game never started";
    if (expect == Expect::SamePlay) {
        for (const auto& [frame, state] : states) {
            ASSERT_EQ(state, recording->intact.at(frame)) << name << ": the play differs at frame " << frame;
        }
    }
    if (expect == Expect::LevelFile) {
        const auto firstGame = std::find_if(states.begin(), states.end(),
                                            [](const auto& state) { return state.second["scene"] == "game"; });
        ASSERT_NE(firstGame, states.end());
        const nlohmann::json& level = firstGame->second["level"];
        const nlohmann::json& intactLevel = recording->intact.at(firstGame->first)["level"];
        static const std::map<std::string, std::string> kKinds = {{"TxtData/Enemydata.txt", "enemies"},
                                                                  {"TxtData/drumdata.txt", "drums"},
                                                                  {"TxtData/breaker.txt", "breakers"},
                                                                  {"TxtData/installatioStand.txt", "stands"}};
        const auto kind = kKinds.find(broken.path);
        if (broken.damage == Damage::Removed) {
            if (kind == kKinds.end()) {
                EXPECT_EQ(level["start"], nlohmann::json::array({0.0, 0.0, 0.0})) << name;
            } else {
                EXPECT_EQ(level[kind->second], 0) << name;
            }
        } else if (kind != kKinds.end()) {
            EXPECT_LE(level[kind->second], intactLevel[kind->second]) << name;
        }
        if (broken.damage == Damage::Garbage) {
            EXPECT_NE(run.output.find(broken.path + ": '"), std::string::npos)
                << name << ": the token that is not a number is named\n"
                << run.output;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sample, BrokenContent, ::testing::ValuesIn(kSample), CaseName);
INSTANTIATE_TEST_SUITE_P(Sweep, BrokenContent, ::testing::ValuesIn(SweepCases()), CaseName);

}  // namespace
