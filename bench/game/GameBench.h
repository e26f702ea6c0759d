#pragma once

// The game scene inside the benchmark process, played by the fight driver: the game's window with
// a 320x180 back buffer (drawing stays cheap; the game state is the same at any size), the real
// shader service and a silent sound device, and content trees made from the generated Data.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "tests/support/GameRun.h"

// Opens the window and the services once for the process; false when there is no GL device.
bool OpenGameServices();

// A content tree with the generated Data and the shipped level, its enemies, drums and breakers
// each repeated `scale` times on a spiral around their places (the copies after all the
// originals, so the stands keep their breakers). Removed with the object.
class BenchContent {
public:
    explicit BenchContent(int scale);
    const std::string& Root() const { return dir.Path(); }

private:
    TempDir dir;
};

// Time this thread has run, in milliseconds. The machine is shared, so a frame timed by the wall
// clock also counts the other processes that ran meanwhile; the thread's own time does not.
double ThreadMs();

struct PlayResult {
    std::vector<double> updateMs;      // the game scene's update alone, per frame, in thread time
    std::vector<double> updateWallMs;  // the same by the wall clock
    std::vector<double> drawMs;        // clear, camera and draw, finished on the GPU, per frame
    size_t enemies = 0;
    size_t enemiesDown = 0;
    bool ending = false;
};

// Plays the level at `contentRoot` from a new game scene with seed 7 until the driver is done or
// `maxFrames` have run. Frames are drawn as the game draws them, or only every `drawEvery`th one
// where drawing would swamp the run (the crowded levels). `watchFrames` is called around each
// frame's update with true before and false after it (the ray-query recorder watches only the game).
PlayResult Play(const std::string& contentRoot, int maxFrames, int drawEvery = 1,
                const std::function<void(bool)>& watchFrames = {});

// The play-through of the shipped level, played once per process for the benchmarks that read it.
const PlayResult& StockPlay();

double Median(std::vector<double> values);
double Percentile(std::vector<double> values, double share);
double Max(const std::vector<double>& values);
