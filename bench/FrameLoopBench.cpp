// The frame loop's pace: with almost nothing to draw, the 16 ms limiter should hold the measured
// rate at about 62 frames per second (integer milliseconds: 1000 / 16 = 62.5).

#include <cstdlib>
#include <string>

#include <benchmark/benchmark.h>

#include "app/Application.h"

namespace {

void BM_FrameLoopPace(benchmark::State& state) {
    if (std::getenv("DISPLAY") == nullptr) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    Application& application = Application::GetInstance();
    application.options.viewPath = std::string(QUARNEL_TEST_DATA_DIR) + "/gltf/Box.gltf";
    application.options.frames = 180;
    for (auto _ : state) {
        // The application runs once per process: one iteration of three seconds.
        benchmark::DoNotOptimize(application.Run());
    }
    state.counters["measuredFps"] = application.measuredFps;
}

BENCHMARK(BM_FrameLoopPace)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
