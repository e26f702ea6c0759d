// The game scene's update alone, per frame (in the game thread's own time, and by the wall clock), over the fight
// driver's play-through of the shipped level (walking, firing, robots charging and shooting, knock-downs, explosions
// and debris, the ending).

#include "bench/game/GameBench.h"

namespace {

constexpr double kMedianTargetMs = 0.5;
constexpr double kMaxTargetMs = 2.0;

void BM_SimulationPlayThrough(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(StockPlay().updateMs.size());
    }
    const PlayResult& play = StockPlay();
    if (play.updateMs.empty()) {
        state.SkipWithError("no graphics device or no route");
        return;
    }
    state.counters["medianMs"] = Median(play.updateMs);
    state.counters["p95Ms"] = Percentile(play.updateMs, 0.95);
    state.counters["maxMs"] = Max(play.updateMs);
    state.counters["wallMedianMs"] = Median(play.updateWallMs);
    state.counters["wallMaxMs"] = Max(play.updateWallMs);
    state.counters["targetMedianMs"] = kMedianTargetMs;
    state.counters["targetMaxMs"] = kMaxTargetMs;
    // The reference beside it: drawing the same frames into the small back buffer.
    state.counters["drawMedianMs"] = Median(play.drawMs);
    state.counters["frames"] = double(play.updateMs.size());
    state.counters["enemiesDown"] = double(play.enemiesDown);
    state.counters["ending"] = play.ending ? 1 : 0;
}
BENCHMARK(BM_SimulationPlayThrough)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
