// ctest-cost: 900
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/GameRun.h"
#include "tests/support/RouteDriver.h"

namespace {

const std::string kBuild = QUARNEL_BUILD_DIR;
const std::string kSource = QUARNEL_SOURCE_DIR;
constexpr uint32_t kSeed = 7;

bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Share of pixels whose channels all lie within `tolerance` of the other picture's.
double ShareClose(const Image& a, const Image& b, int tolerance) {
    size_t close = 0;
    const size_t pixels = a.rgba.size() / 4;
    for (size_t i = 0; i < pixels; ++i) {
        bool same = true;
        for (size_t c = 0; c < 3; ++c) {
            same = same && std::abs(int{a.rgba[i * 4 + c]} - int{b.rgba[i * 4 + c]}) <= tolerance;
        }
        close += same ? 1 : 0;
    }
    return static_cast<double>(close) / static_cast<double>(pixels);
}

}  // namespace

// The browser build (scripts/web.sh) in Debian's headless Chromium, against this build: from the
// title into the game, shoot the first breaker until its curtain drops, then 300 frames of walking
// through the opened passage into the armory and back. The page's snapshots must match the native
// run's field for field and its picture the native screenshot of the same frame. After the first
// snapshot the browser takes the WebGL context away for a second: the page says so, the world
// waits, and once the context is back every GPU object is made again, so the later snapshots and
// the picture still match and WebGL reports no error.
TEST(WebBuild, PlaysTheSameGameInHeadlessChromium) {
    if (!OnPath("emcc") || !OnPath("chromium")) {
        GTEST_SKIP() << "needs Emscripten and Chromium (bash scripts/setup.sh --web installs them)";
    }
    const GameRunResult build =
        RunProgram("/bin/bash", {kSource + "/scripts/web.sh", "--no-serve"}, {}, std::chrono::seconds(3000));
    ASSERT_EQ(build.exitCode, 0) << build.output;
    const std::string site = kSource + "/build-web";

    // The route's first steps: walk to the breaker, shoot it, then walk on through its curtain.
    std::string error;
    const std::vector<RouteStep> route = ReadRoute(kBuild, error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_GE(route.size(), 6u);
    ASSERT_EQ(route[2].action, "shoot");
    const std::vector<std::vector<float>> breakers = ReadLevelRecords(kBuild + "/TxtData/breaker.txt", 4);
    const int gameStart = GameStartFrame();
    ASSERT_GT(gameStart, kTitleReturnFrame);
    RouteDriver driver(route[0].point, gameStart + 10);
    driver.WalkTo(route[1].point.x, route[1].point.z);
    const Vector3 target = BreakerFront(breakers[static_cast<size_t>(route[2].breaker)]);
    const int released = driver.ShootAt(target, HoldFramesToBreak(driver.position, target));
    const int walkStart = driver.frame;
    int inArmory = 0;
    for (size_t leg = 3; leg < route.size() && driver.frame - walkStart < 300; ++leg) {
        const int legEnd = driver.WalkTo(route[leg].point.x, route[leg].point.z);
        inArmory = inArmory == 0 && route[leg].point.z > 70.0f ? legEnd : inArmory;
    }
    driver.ReleaseAll();
    const int last = driver.frame + 2;
    ASSERT_GT(inArmory, 0);

    TempDir dir;
    WriteTextFile(dir.File("in.txt"), std::to_string(kTitleReturnFrame) + " key Return down\n" +
                                          std::to_string(kTitleReturnFrame + 2) + " key Return up\n" +
                                          driver.script.str());
    const std::vector<uint32_t> frames = {static_cast<uint32_t>(released + 30), static_cast<uint32_t>(inArmory),
                                          static_cast<uint32_t>(last)};
    GameRunResult nativeRun;
    const std::map<uint32_t, nlohmann::json> native =
        RunGameWithSnapshots({"--unlimited", "--seed", std::to_string(kSeed), "--input", dir.File("in.txt"), "--frames",
                              std::to_string(last), "--render-scale", "100", "--screenshot",
                              std::to_string(last) + ":" + dir.File("native.png")},
                             frames, &nativeRun);
    ASSERT_EQ(nativeRun.exitCode, 0) << nativeRun.output;
    ASSERT_EQ(native.size(), frames.size());

    const std::string query = "seed=" + std::to_string(kSeed) + "&input=in.txt&frames=" + std::to_string(last) +
                              "&unlimited&render-scale=100&dump-state=" + std::to_string(frames[0]) + "," +
                              std::to_string(frames[1]) + "," + std::to_string(frames[2]);
    const std::string page = kBuild + "/test-output/web";
    std::filesystem::remove_all(page);
    const GameRunResult browser = RunProgram("/usr/bin/python3",
                                             {kSource + "/tests/web/browser.py", site, page, query, "--serve",
                                              dir.File("in.txt"), "--lose-context-after", std::to_string(frames[0])},
                                             {}, std::chrono::seconds(1500));
    ASSERT_EQ(browser.exitCode, 0) << browser.output << ReadTextFile(page + "/console.txt");

    // Strings, flags and counts exactly, other numbers to 1e-3 relative.
    StateComparison comparison{1e-3};
    for (const uint32_t frame : frames) {
        const std::string file = page + "/snapshot-" + std::to_string(frame) + ".json";
        ASSERT_TRUE(std::filesystem::exists(file)) << "no snapshot of frame " << frame << " in the page";
        const nlohmann::json web = ReadJsonFile(file);
        ExpectSameState(native.at(frame), web, "frame " + std::to_string(frame), comparison);
        std::printf("[web] frame %u: %d fps in the browser, %d natively (both unlimited)\n", frame,
                    web["measuredFps"].get<int>(), native.at(frame)["measuredFps"].get<int>());
    }
    std::printf("[web] %d numbers compared, largest relative difference %.3g\n", comparison.numbers,
                comparison.largest);

    // The lost context: said on the page while it lasted, gone once the context came back.
    const nlohmann::json context = ReadJsonFile(page + "/context.json");
    EXPECT_EQ(context["lostWhileLost"], true);
    EXPECT_NE(context["statusWhileLost"].get<std::string>().find("took the graphics away"), std::string::npos)
        << context.dump();
    EXPECT_EQ(context["restores"], 1);
    EXPECT_EQ(context["statusAfter"], "");
    std::istringstream console(ReadTextFile(page + "/console.txt"));
    int glErrors = 0;
    std::string firstError;
    for (std::string line; std::getline(console, line);) {
        if (line.find("INVALID") != std::string::npos || line.find("GL_") != std::string::npos) {
            firstError = glErrors++ == 0 ? line : firstError;
        }
    }
    EXPECT_EQ(glErrors, 0) << firstError;

    // What the play-through did: the breaker is broken, its curtain down, the robot went past it.
    const nlohmann::json& afterShot = native.at(frames[0]);
    EXPECT_EQ(afterShot["scene"], "game");
    EXPECT_FALSE(afterShot["breakers"][route[2].breaker]["intact"]);
    for (const nlohmann::json& stand : afterShot["stands"]) {
        if (stand["breaker"] == route[2].breaker) {
            EXPECT_FALSE(stand["barrierUp"]);
        }
    }
    EXPECT_GT(native.at(frames[1])["player"]["position"][2].get<float>(), 70.0f);

    // The page's picture beside the native one: different rasterizers (SwiftShader, llvmpipe) may
    // differ on edges, but most pixels must agree closely.
    const Image webPicture = ReadPng(page + "/page.png");
    const Image nativePicture = ReadPng(dir.File("native.png"));
    ASSERT_EQ(webPicture.width, nativePicture.width);
    ASSERT_EQ(webPicture.height, nativePicture.height);
    const double close = ShareClose(webPicture, nativePicture, 8);
    std::printf("[web] %.1f%% of the pixels within 8 of 255 of the native screenshot\n", close * 100.0);
    EXPECT_GT(close, 0.9);
}
