#pragma once

#include <cstdint>
#include <optional>

// Millisecond clock.
uint32_t FwTimeGetTime();

// A steady microsecond clock, a sleep of at least the given time, and giving the processor to
// another thread that is ready to run: what the frame limiter waits with.
uint64_t FwTimeMicroseconds();
void FwSleepMicroseconds(uint64_t microseconds);
void FwYieldProcessor();

// The seed for the game's random numbers: the clock, unless a fixed seed was given on the
// command line so that runs can be repeated.
uint32_t FwRandomSeed();
void FwSetFixedRandomSeed(std::optional<uint32_t> seed);
