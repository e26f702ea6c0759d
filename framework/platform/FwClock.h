#pragma once

#include <cstdint>
#include <optional>

// Millisecond clock and sleep with 1 ms granularity.
uint32_t FwTimeGetTime();
void FwSleep(uint32_t milliseconds);

// The seed for the game's random numbers: the clock, unless a fixed seed was given on the
// command line so that runs can be repeated.
uint32_t FwRandomSeed();
void FwSetFixedRandomSeed(std::optional<uint32_t> seed);
