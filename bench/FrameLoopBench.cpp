// The frame loop's pace. BM_FrameLoopPace: with almost nothing to draw, the 16 ms limiter should
// hold the measured rate at about 62 frames per second (1000 / 16 = 62.5). BM_FramePacing: how
// precisely the limiter's wait ends a frame whose work left time over, and what the wait costs in
// processor time, beside the reference of a whole-millisecond sleep on the millisecond clock (the
// plain limiter), in alternating stretches of the same run.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include <SDL.h>
#include <benchmark/benchmark.h>

#include "app/Application.h"
#include "app/FrameTiming.h"
#include "framework/platform/FwClock.h"

namespace {

constexpr int kPacedFrames = 240;
constexpr int kStretch = 20;
constexpr uint64_t kBudget = 16000;  // microseconds

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

uint64_t ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000 + static_cast<uint64_t>(now.tv_nsec) / 1000;
}

// How the frames of one way of waiting ended.
struct Pacing {
    std::vector<double> lateMicroseconds;  // end of the frame past its deadline
    uint64_t waitCpu = 0;
    uint64_t wall = 0;

    void Report(benchmark::State& state, const std::string& group) {
        std::sort(lateMicroseconds.begin(), lateMicroseconds.end());
        const size_t count = lateMicroseconds.size();
        state.counters[group + ".lateMedianUs"] = lateMicroseconds[count / 2];
        state.counters[group + ".lateP95Us"] = lateMicroseconds[count * 95 / 100];
        state.counters[group + ".periodMs"] = static_cast<double>(wall) / 1000.0 / static_cast<double>(count);
        state.counters[group + ".waitCpuPercent"] = 100.0 * static_cast<double>(waitCpu) / static_cast<double>(wall);
    }
};

void BM_FramePacing(benchmark::State& state) {
    // Frames whose work (a sleep, so that it costs no processor time) takes 0 to 12 ms.
    std::mt19937 random(7);
    std::uniform_int_distribution<uint64_t> work(0, 12000);
    FrameWait wait;
    const FrameWaitClock clock;
    Pacing precise;
    Pacing plain;
    for (auto _ : state) {
        for (int frame = 0; frame < 2 * kPacedFrames; ++frame) {
            const bool usePrecise = (frame / kStretch) % 2 == 0;
            const uint64_t start = clock.Now();
            const uint32_t startMilliseconds = FwTimeGetTime();
            FwSleepMicroseconds(work(random));
            const uint64_t cpuBefore = ThreadCpuMicroseconds();
            if (usePrecise) {
                wait.Until(clock, start + kBudget);
            } else {
                const uint32_t elapsed = FwTimeGetTime() - startMilliseconds;
                if (elapsed < kBudget / 1000) {
                    SDL_Delay(static_cast<uint32_t>(kBudget / 1000) - elapsed);
                }
            }
            const uint64_t end = clock.Now();
            Pacing& pacing = usePrecise ? precise : plain;
            pacing.waitCpu += ThreadCpuMicroseconds() - cpuBefore;
            pacing.wall += end - start;
            pacing.lateMicroseconds.push_back(end > start + kBudget ? static_cast<double>(end - start - kBudget) : 0.0);
        }
    }
    precise.Report(state, "wait");
    plain.Report(state, "reference");
    state.SetLabel("target=wait.lateMedianUs<=100 target=wait.waitCpuPercent<=5");
}

BENCHMARK(BM_FrameLoopPace)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramePacing)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
