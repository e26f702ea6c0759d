#pragma once

#include <cstdint>

// The game's random numbers: the same sequence as glibc's srand()/rand() (its additive feedback
// generator), on every platform, so that a seed replays the same game in every build.
constexpr int32_t kFwRandMax = 2147483647;

void FwSrand(uint32_t seed);
// 0 .. kFwRandMax.
int32_t FwRand();
