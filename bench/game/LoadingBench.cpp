// Title to game: constructing the game scene, in the game thread's own time and by the wall clock (level files, stage,
// player, robots, hazards, HUD, their models, textures and sounds). Cold runs start with the shared content caches
// emptied, as the first game after start-up does; warm runs are the second and later games of a session.

#include <chrono>
#include <memory>

#include "bench/game/GameBench.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/graphics/FwTexture.h"
#include "framework/model/FwModel.h"
#include "framework/platform/FwPath.h"
#include "game/world/C_Game.h"

namespace {

constexpr int kRuns = 7;
constexpr double kTargetMs = 100.0;

struct Timing {
    double thread = 0.0;
    double wall = 0.0;
};

Timing ConstructMs() {
    const double startThread = ThreadMs();
    const auto start = std::chrono::steady_clock::now();
    auto game = std::make_unique<C_Game>();
    const auto built = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(game.get());
    return {ThreadMs() - startThread, std::chrono::duration<double, std::milli>(built - start).count()};
}

void BM_LoadingTitleToGame(benchmark::State& state) {
    if (!OpenGameServices()) {
        state.SkipWithError("no graphics device");
        return;
    }
    const BenchContent content(1);
    const std::string previousRoot = FwContentRoot();
    FwSetContentRoot(content.Root());
    std::vector<double> cold;
    std::vector<double> coldWall;
    std::vector<double> warm;
    for (auto _ : state) {
        for (int run = 0; run < kRuns; ++run) {
            FwModel::ReleaseCache();
            FwTexture::ReleaseCache();
            FwSoundEffect::ReleaseCache();
            const Timing first = ConstructMs();
            cold.push_back(first.thread);
            coldWall.push_back(first.wall);
            warm.push_back(ConstructMs().thread);
        }
    }
    FwSetContentRoot(previousRoot);
    state.counters["medianMs"] = Median(cold);
    state.counters["maxMs"] = Max(cold);
    state.counters["wallMedianMs"] = Median(coldWall);
    state.counters["warmMedianMs"] = Median(warm);
    state.counters["targetMs"] = kTargetMs;
}
BENCHMARK(BM_LoadingTitleToGame)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
