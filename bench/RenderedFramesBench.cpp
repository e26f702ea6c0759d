// Rendered frames of the stock level played from the title to the ending with its enemies (the
// play-through test's driver), frame by frame, with a reference pass of one full-screen textured
// quad per frame (about the best the rasteriser does here) drawn between them in the same run:
// every tenth game frame is followed by one reference frame, so both see the same machine load.
// Each game frame runs what the game's loop runs (message pump, sound update, scene step, present)
// and then waits for the GPU, so its time is the whole of its drawing; with the limiter on it also
// waits as the game's loop waits, and its time is the frame's period. Frames that switch scenes
// (and load the next one) are left out.
//
// The play-through also reports the process's peak resident memory, counted from its first frame:
// the game as played, at its own size, presenting every frame.
//
// With QUARNEL_BENCH_SERIES_DIR set, the per-frame times are written there as JSON for the report.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>
#include <nlohmann/json.hpp>

#include "app/Application.h"
#include "app/FrameTiming.h"
#include "framework/audio/FwAudioManager.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwMesh.h"
#include "framework/platform/FwClock.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwPath.h"
#include "framework/platform/FwSettings.h"
#include "game/world/C_Game.h"
#include "scenes/SceneManager.h"
#include "scenes/TitleScene.h"
#include "tests/support/FightDriver.h"
#include "tests/support/GameRun.h"

namespace {

constexpr uint32_t kReferenceFrames = 300;
constexpr uint32_t kReferenceEvery = 10;
constexpr int kEndingFrames = 400;  // the robot walks in and turns, the doors close, the lamps step
constexpr int kMaxFrames = 9000;
constexpr uint64_t kBudgetMicroseconds = 16000;

// Opens the game's window and services once for the whole process.
bool OpenServices() {
    static const bool opened = [] {
        if (std::getenv("DISPLAY") == nullptr) {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
        }
        setenv("ALSOFT_DRIVERS", "null", 0);
        return Application::GetInstance().Init(kScreenWidth, kScreenHeight);
    }();
    return opened;
}

// The highest resident memory since the last ResetResidentPeak.
double ResidentPeakMB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0.0;
}

void ResetResidentPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

double Milliseconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

// Frame times of one stretch of the run, with the frame each was taken at, the scale its 3D
// picture was drawn at and whether with the cheaper look.
struct FrameTimes {
    std::vector<double> frame;
    std::vector<double> milliseconds;
    double scaleSum = 0.0;
    int cheaperLookFrames = 0;

    void Add(int at, double time, float scale = 1.0f, bool cheaperLook = false) {
        frame.push_back(at);
        milliseconds.push_back(time);
        scaleSum += scale;
        cheaperLookFrames += cheaperLook ? 1 : 0;
    }

    // Median and 5th-percentile (the slow end) rate, and the count, as "medianFps" etc. after
    // `prefix`.
    void Report(benchmark::State& state, const std::string& prefix) const {
        if (milliseconds.empty()) {
            return;
        }
        std::vector<double> sorted = milliseconds;
        std::sort(sorted.begin(), sorted.end());
        state.counters[prefix + "medianFps"] = 1000.0 / sorted[sorted.size() / 2];
        state.counters[prefix + "p5Fps"] = 1000.0 / sorted[sorted.size() * 95 / 100];
        // The reference's frame count is no reference for a stretch's.
        if (prefix != "reference.") {
            state.counters[prefix + "frames"] = static_cast<double>(sorted.size());
            state.counters[prefix + "renderScale"] = scaleSum / static_cast<double>(sorted.size());
            state.counters[prefix + "cheaperLookShare"] = cheaperLookFrames / static_cast<double>(sorted.size());
        }
    }
};

// One iteration of the game's frame loop without its limiter, finished on the GPU; its work time
// sets the next frame's render scale as in the game.
void GameFrame(const FrameWaitClock& clock) {
    const uint64_t start = clock.Now();
    Application& application = Application::GetInstance();
    application.window.ProcessMessages();
    FwAudioManager::GetInstance().Update();
    application.StepScene();
    FwDirect3D::GetInstance().Present();
    glFinish();
    application.AdaptRenderScale(clock.Now() - start);
}

// The render-scale setting, and the scale back at full size as a run starts.
void StartRenderScale(float setting) {
    FwGetSettings().renderScale = 100.0f;
    Application::GetInstance().AdaptRenderScale(0);
    FwGetSettings().renderScale = setting;
}

// One frame of the reference pass: a clear and a full-screen textured quad, presented.
void ReferenceFrame(FwTexture& picture) {
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
    glFinish();
}

void WriteSeries(const std::string& benchmark, const std::map<std::string, FrameTimes>& phases) {
    const char* directory = std::getenv("QUARNEL_BENCH_SERIES_DIR");
    if (directory == nullptr) {
        return;
    }
    nlohmann::json document = {{"benchmark", benchmark}, {"unit", "ms"}, {"series", nlohmann::json::array()}};
    for (const auto& [name, times] : phases) {
        document["series"].push_back({{"name", name}, {"x", times.frame}, {"y", times.milliseconds}});
    }
    std::string file = benchmark;
    std::replace(file.begin(), file.end(), '/', '-');
    std::replace(file.begin(), file.end(), ':', '-');
    std::ofstream(std::string(directory) + "/" + file + ".json") << document.dump() << '\n';
}

void BM_ReferenceQuadFrames(benchmark::State& state) {
    if (!OpenServices()) {
        state.SkipWithError("no graphics device");
        return;
    }
    FwTexture picture;
    FrameTimes times;
    for (auto _ : state) {
        for (uint32_t frame = 1; frame <= kReferenceFrames; ++frame) {
            const auto start = std::chrono::steady_clock::now();
            ReferenceFrame(picture);
            // The first frames compile the sprite program and load the picture.
            if (frame > 30) {
                times.Add(static_cast<int>(frame), Milliseconds(start));
            }
        }
    }
    times.Report(state, "");
}

// Arguments: the limiter off (0) or on (1), and the render-scale setting (0 for auto, else percent).
void BM_PlayThroughFrames(benchmark::State& state) {
    if (!OpenServices()) {
        state.SkipWithError("no graphics device");
        return;
    }
    const bool limited = state.range(0) != 0;
    StartRenderScale(static_cast<float>(state.range(1)));
    FightDriver driver;
    std::string error;
    if (!driver.ReadRoute(FwContentRoot(), error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    SceneManager& scenes = SceneManager::GetInstance();
    FwTexture picture;
    FrameWait wait;
    const FrameWaitClock clock;
    std::map<std::string, FrameTimes> phases;
    bool fought = false;
    bool finished = false;
    for (auto _ : state) {
        ResetResidentPeak();
        FwSetFixedRandomSeed(7u);
        FwInput::GetInstance().Reset();
        scenes.SetNextScene(std::make_unique<TitleScene>());
        int endingFrames = 0;
        for (int frame = 1; frame <= kMaxFrames && endingFrames < kEndingFrames; ++frame) {
            const C_Scene* scene = scenes.Current();
            const auto* game = dynamic_cast<const C_Game*>(scene);
            std::string phase = "title";
            if (game == nullptr) {
                // Enter once the title has faded in, held for two frames as a person would.
                if (frame == kTitleReturnFrame || frame == kTitleReturnFrame + 2) {
                    FeedKey(FwKey::Return, frame == kTitleReturnFrame);
                }
            } else if (game->ending) {
                phase = "ending";
                ++endingFrames;
            } else if (driver.Step(*game)) {
                fought = fought || driver.Engaged();
                phase = driver.Engaged() ? "fight" : fought ? "walk" : "hangar";
            } else {
                break;  // the player is down
            }
            const auto start = std::chrono::steady_clock::now();
            const uint64_t startMicroseconds = clock.Now();
            const float scale = game != nullptr ? FwDirect3D::GetInstance().RenderScale() : 1.0f;
            const bool cheaperLook = game != nullptr && FwDirect3D::GetInstance().CheaperLook();
            GameFrame(clock);
            if (limited) {
                wait.Until(clock, startMicroseconds + kBudgetMicroseconds);
            }
            if (scenes.Current() == scene) {
                const double time = Milliseconds(start);
                phases[phase].Add(frame, time, scale, cheaperLook);
                phases["all"].Add(frame, time, scale, cheaperLook);
            }
            finished = endingFrames == kEndingFrames;
            if (frame % kReferenceEvery == 0) {
                const auto referenceStart = std::chrono::steady_clock::now();
                ReferenceFrame(picture);
                phases["reference"].Add(frame, Milliseconds(referenceStart));
            }
        }
    }
    const double peakMB = ResidentPeakMB();
    scenes.Release();
    StartRenderScale(0.0f);
    FwInput::GetInstance().Reset();
    FwSetFixedRandomSeed(std::nullopt);
    if (!finished) {
        state.SkipWithError("the play-through did not reach the end of the ending");
        return;
    }
    for (const auto& [name, times] : phases) {
        times.Report(state, name + ".");
    }
    state.counters["peakMB"] = peakMB;
    // What the game must hold on a machine without a GPU driver.
    state.SetLabel(limited ? "target=title.p5Fps>=60 target=hangar.p5Fps>=60 target=fight.p5Fps>=60 "
                             "target=ending.p5Fps>=60 target=peakMB<=150"
                           : "target=all.medianFps>=120 target=all.p5Fps>=60 target=peakMB<=150");
    WriteSeries(
        "BM_PlayThroughFrames/limiter:" + std::to_string(state.range(0)) + "/scale:" + std::to_string(state.range(1)),
        phases);
}

// What bounds a frame: `layers` full-screen layers of the lit model program (a directional light,
// fog, the reference's picture as base texture), nearest last so that every layer is shaded, as
// a frame with that much overdraw shades them.
void BM_LitLayerFrames(benchmark::State& state) {
    if (!OpenServices()) {
        state.SkipWithError("no graphics device");
        return;
    }
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    FwDeviceContext& context = d3d.Context();
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    FwStandardShader& shader = shaders.standardShader;
    const auto layers = static_cast<int>(state.range(0));
    FwTexture picture;
    picture.Load("data/texture/black.png");
    // Quads that fill the view at 10, 9.9, ... units.
    std::vector<FwMeshVertex> vertices;
    std::vector<FwMeshFace> faces;
    for (int layer = 0; layer < layers; ++layer) {
        const float z = 10.0f - 0.1f * static_cast<float>(layer);
        const float halfHeight = z * std::tan(Math::kPi / 6.0f) * 1.01f;
        const float halfWidth = halfHeight * 16.0f / 9.0f;
        const auto first = static_cast<uint32_t>(vertices.size());
        for (const auto& [x, y] : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}}) {
            FwMeshVertex vertex;
            vertex.position = Vector3(x * halfWidth, y * halfHeight, z);
            vertex.uv = Vector2((x + 1.0f) / 2.0f, (1.0f - y) / 2.0f);
            vertex.normal = Vector3(0.0f, 0.0f, -1.0f);
            vertices.push_back(vertex);
        }
        faces.push_back({{first, first + 1, first + 2}});
        faces.push_back({{first, first + 2, first + 3}});
    }
    FwMesh mesh;
    mesh.Create(vertices, faces, {{0, 0, static_cast<uint32_t>(faces.size())}});

    const ::cbCamera camera = shaders.cbCamera.Get();
    const ::cbLight light = shaders.cbLight.Get();
    const FwRasterizerStatePtr raster = context.RasterizerState();
    FrameTimes times;
    for (auto _ : state) {
        for (uint32_t frame = 1; frame <= kReferenceFrames; ++frame) {
            const auto start = std::chrono::steady_clock::now();
            Application::GetInstance().window.ProcessMessages();
            d3d.ClearBackBuffer(Color(0.3f, 0.3f, 0.3f, 0.1f));
            d3d.ClearDepthStencil(1.0f, 0);
            shaders.cbCamera.Work().g_mV = Matrix::Identity;
            shaders.cbCamera.Work().g_mP =
                Matrix::CreatePerspectiveFieldOfViewLH(Math::kPi / 3.0f, 1280.0f / 720.0f, 0.01f, 1000.0f);
            shaders.cbCamera.Work().g_CamPos = Vector3(0.0f, 0.0f, 0.0f);
            shaders.cbCamera.Work().g_DistanceFogEnable = 1;
            shaders.cbCamera.Write();
            shaders.cbLight.Work().g_DL_Dir = Vector3(0.3f, -0.5f, 0.8f).Normalized();
            shaders.cbLight.Write();
            context.SetRasterizerState(d3d.CreateRasterizerState(FwCullMode::None, FwFillMode::Solid, true, false));
            shader.SetToDevice();
            shader.cbObject.Work() = ::cbObject();
            shader.cbObject.Write();
            shader.cbMaterial.Work().BaseColor = Vector4(1.0f, 1.0f, 1.0f, 1.0f);
            shader.cbMaterial.Work().Roughness = 0.5f;
            shader.cbMaterial.Write();
            context.SetShaderResources(0, {&picture, d3d.WhiteTexture().get(), d3d.WhiteTexture().get()});
            shader.SetMaterialTextures({true, false, false});
            shader.SelectVariant();
            mesh.SetToDevice();
            mesh.DrawSubset(0);
            d3d.Present();
            glFinish();
            if (frame > 30) {
                times.Add(static_cast<int>(frame), Milliseconds(start));
            }
        }
    }
    shaders.cbCamera.Work() = camera;
    shaders.cbCamera.Write();
    shaders.cbLight.Work() = light;
    shaders.cbLight.Write();
    context.SetRasterizerState(raster);
    times.Report(state, "");
    state.SetLabel("reference=BM_ReferenceQuadFrames");
}

// What the scaled picture's way up costs by itself: the 50 % target drawn up into the 1280x720 back
// buffer with bilinear filtering, finished on the GPU. A sharpening pass reads several texels where
// this reads one bilinear sample, so this is the floor of its cost.
void BM_UpscaleOnly(benchmark::State& state) {
    if (!OpenServices()) {
        state.SkipWithError("no graphics device");
        return;
    }
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    const float scale = d3d.RenderScale();
    d3d.SetRenderScale(FwDirect3D::kMinRenderScale);
    std::vector<double> milliseconds;
    for (auto _ : state) {
        for (uint32_t frame = 0; frame < kReferenceFrames; ++frame) {
            d3d.BeginScaled3D();
            d3d.ClearBackBuffer(Color(0.3f, 0.3f, 0.3f, 0.1f));
            d3d.Finish();
            const auto start = std::chrono::steady_clock::now();
            d3d.EndScaled3D();
            d3d.Finish();
            milliseconds.push_back(Milliseconds(start));
        }
    }
    d3d.SetRenderScale(scale);
    std::nth_element(milliseconds.begin(), milliseconds.begin() + milliseconds.size() / 2, milliseconds.end());
    state.counters["medianMs"] = milliseconds[milliseconds.size() / 2];
}

// Each pass runs once: its frames are the samples.
BENCHMARK(BM_ReferenceQuadFrames)->Iterations(1)->Unit(benchmark::kMillisecond);
// Limiter off at auto and at full size, limiter on at auto: what a player gets.
BENCHMARK(BM_PlayThroughFrames)
    ->ArgNames({"limiter", "scale"})
    ->Args({0, 0})
    ->Args({0, 100})
    ->Args({1, 0})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpscaleOnly)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LitLayerFrames)->ArgName("layers")->Arg(1)->Arg(2)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
