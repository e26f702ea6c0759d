// How the cost of a frame grows with work: the shipped level, and generated ones with 10 and 50
// times its enemies, drums and breakers, each played by the fight driver for the same frames.

#include "bench/game/GameBench.h"

namespace {

constexpr int kFrames = 300;
// Six hundred robots take most of a second to draw here, so every level of this run draws one frame
// in ten; the update runs every frame.
constexpr int kDrawEvery = 10;
constexpr double kTargetMsAt50 = 5.0;

void BM_ScaleLevel(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    PlayResult play;
    for (auto _ : state) {
        const BenchContent content(scale);
        play = Play(content.Root(), kFrames, kDrawEvery);
    }
    if (play.updateMs.empty()) {
        state.SkipWithError("no graphics device or no route");
        return;
    }
    state.counters["scale"] = scale;
    state.counters["enemies"] = double(play.enemies);
    state.counters["medianMs"] = Median(play.updateMs);
    state.counters["maxMs"] = Max(play.updateMs);
    state.counters["wallMedianMs"] = Median(play.updateWallMs);
    state.counters["drawMedianMs"] = Median(play.drawMs);
    if (scale == 50) {
        state.counters["targetMs"] = kTargetMsAt50;
    }
}
BENCHMARK(BM_ScaleLevel)->Arg(1)->Arg(10)->Arg(50)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
