#include "framework/platform/FwClock.h"

#include <chrono>
#include <thread>

#include <sys/prctl.h>

#include <SDL.h>

namespace {
std::optional<uint32_t> fixedSeed;
}

uint32_t FwTimeGetTime() { return SDL_GetTicks(); }

uint64_t FwTimeMicroseconds() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(since).count());
}

void FwSleepMicroseconds(uint64_t microseconds) {
    std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}

void FwYieldProcessor() { std::this_thread::yield(); }

uint32_t FwRandomSeed() { return fixedSeed ? *fixedSeed : FwTimeGetTime(); }

void FwSetFixedRandomSeed(std::optional<uint32_t> seed) { fixedSeed = seed; }
