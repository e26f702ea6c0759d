#include "framework/platform/FwClock.h"

#include <SDL.h>

namespace {
std::optional<uint32_t> fixedSeed;
}

uint32_t FwTimeGetTime() { return SDL_GetTicks(); }

void FwSleep(uint32_t milliseconds) { SDL_Delay(milliseconds); }

uint32_t FwRandomSeed() { return fixedSeed ? *fixedSeed : FwTimeGetTime(); }

void FwSetFixedRandomSeed(std::optional<uint32_t> seed) { fixedSeed = seed; }
