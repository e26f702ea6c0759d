// Rendered frames per second with the limiter off: the title, a walk through the stage along
// TxtData/route.txt, and beside them a reference pass of one full-screen textured quad per frame
// (about the best the rasteriser does here). Each frame runs what the game's loop runs (message
// pump, sound update, scene step, present) and then waits for the GPU, so a frame's time is the
// whole of its drawing. The first frames, which load content and compile shader variants, are
// left out.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include "app/Application.h"
#include "framework/audio/FwAudioManager.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/platform/FwClock.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwPath.h"
#include "game/world/C_Game.h"
#include "scenes/SceneManager.h"
#include "scenes/TitleScene.h"

namespace {

constexpr uint32_t kWarmUpFrames = 30;
constexpr uint32_t kTitleFrames = 450;  // typing, the title fading in, the prompt pulsing
constexpr uint32_t kWalkFrames = 700;   // the fade-in, then the hangar, the armory and back
constexpr uint32_t kReferenceFrames = 300;
constexpr float kWalkSpeed = 0.5f;  // units per frame, as the player walks
constexpr float kDegreesPerPixel = 0.25f;

// Opens the game's window and services once for the whole process.
bool OpenServices() {
    static const bool opened = [] {
        if (std::getenv("DISPLAY") == nullptr) {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        }
        setenv("ALSOFT_DRIVERS", "null", 0);
        return Application::GetInstance().Init(1280, 1280 * 9 / 16);
    }();
    return opened;
}

// Times `frames` frames of `drawFrame` and reports the median and the 5th percentile (the slow
// end) of the rate after the warm-up.
void TimeFrames(benchmark::State& state, uint32_t frames, const std::function<void()>& drawFrame) {
    if (!OpenServices()) {
        state.SkipWithError("no graphics device");
        return;
    }
    std::vector<double> milliseconds;
    for (auto _ : state) {
        for (uint32_t frame = 1; frame <= frames; ++frame) {
            const auto start = std::chrono::steady_clock::now();
            drawFrame();
            glFinish();
            if (frame > kWarmUpFrames) {
                milliseconds.push_back(
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            }
        }
    }
    SceneManager::GetInstance().Release();
    FwInput::GetInstance().Reset();
    std::sort(milliseconds.begin(), milliseconds.end());
    const double median = milliseconds[milliseconds.size() / 2];
    const double slow = milliseconds[milliseconds.size() * 95 / 100];
    state.counters["medianFps"] = 1000.0 / median;
    state.counters["p5Fps"] = 1000.0 / slow;
    state.counters["frames"] = static_cast<double>(milliseconds.size());
}

// One iteration of the game's frame loop without its limiter.
void GameFrame() {
    Application& application = Application::GetInstance();
    application.window.ProcessMessages();
    FwAudioManager::GetInstance().Update();
    SceneManager::GetInstance().Step();
    FwDirect3D::GetInstance().Present();
}

// Input that walks the route's walk and goal steps: turn to face the next point, then hold W
// until it is reached. Shooting steps are passed by.
std::vector<FwInputEvent> RouteWalk(const std::string& routePath) {
    std::vector<FwInputEvent> events;
    std::ifstream file(FwResolvePath(routePath));
    std::string line;
    float x = 0.0f;
    float z = 0.0f;
    float yaw = 0.0f;
    uint32_t frame = 1;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string step;
        words >> step;
        float y = 0.0f;
        float toX = 0.0f;
        float toZ = 0.0f;
        if (step == "start") {
            words >> x >> y >> z;
            continue;
        }
        if ((step != "walk" && step != "goal") || !(words >> toX >> toZ)) {
            continue;
        }
        const float goalYaw = std::atan2(toX - x, toZ - z) * 57.29578f;
        const int pixels = static_cast<int>(std::lround((goalYaw - yaw) / kDegreesPerPixel));
        yaw += static_cast<float>(pixels) * kDegreesPerPixel;
        events.push_back({frame, FwInputEvent::Type::Move, FwKey::W, false, pixels, 0});
        events.push_back({frame, FwInputEvent::Type::Key, FwKey::W, true, 0, 0});
        frame += static_cast<uint32_t>(std::hypot(toX - x, toZ - z) / kWalkSpeed);
        events.push_back({frame, FwInputEvent::Type::Key, FwKey::W, false, 0, 0});
        ++frame;
        x = toX;
        z = toZ;
    }
    return events;
}

void BM_TitleFrames(benchmark::State& state) {
    TimeFrames(state, kTitleFrames, [first = true]() mutable {
        if (first) {
            SceneManager::GetInstance().SetNextScene(std::make_unique<TitleScene>());
            first = false;
        }
        GameFrame();
    });
}

void BM_WalkFrames(benchmark::State& state) {
    TimeFrames(state, kWalkFrames, [first = true]() mutable {
        if (first) {
            FwSetFixedRandomSeed(1);
            FwInput::GetInstance().UseScript(RouteWalk("TxtData/route.txt"));
            SceneManager::GetInstance().SetNextScene(std::make_unique<C_Game>());
            first = false;
        }
        GameFrame();
    });
}

void BM_ReferenceQuadFrames(benchmark::State& state) {
    FwTexture picture;
    TimeFrames(state, kReferenceFrames, [&picture] {
        FwDirect3D& d3d = FwDirect3D::GetInstance();
        if (picture.ShaderResourceView() == 0) {
            picture.Load("data/texture/black.png");
        }
        Application::GetInstance().window.ProcessMessages();
        d3d.ClearBackBuffer(Color(0.3f, 0.3f, 0.3f, 0.1f));
        d3d.ClearDepthStencil(1.0f, 0);
        FwSpriteShader& sprites = FwShaderManager::GetInstance().spriteShader;
        sprites.Begin(true, true);
        sprites.cbSprite.Work().g_mTransform = Matrix::Identity;
        sprites.DrawTex(&picture, 0, 0, 1280, 720, FwRect{0, 0, 1280, 720}, Color(1.0f, 1.0f, 1.0f, 1.0f));
        sprites.End();
        d3d.Present();
    });
}

// Each pass runs once: its frames are the samples.
BENCHMARK(BM_ReferenceQuadFrames)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TitleFrames)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkFrames)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
