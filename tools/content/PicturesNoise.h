#pragma once

// Seeded randomness for the procedural pictures: the same seed gives the same picture on
// every run and every machine (no library distributions, whose output is unspecified).

#include <cstdint>

class Random {
public:
    explicit Random(uint32_t seed) : state(seed ? seed : 1u) {}

    uint32_t Next();
    float Unit();  // 0 <= value < 1
    float Range(float low, float high) { return low + (high - low) * Unit(); }

private:
    uint32_t state;
};

// Smooth value noise on an integer lattice; Fractal sums octaves of it.
class ValueNoise {
public:
    explicit ValueNoise(uint32_t seed) : seed(seed) {}

    float At(float x, float y) const;                    // 0..1
    float Fractal(float x, float y, int octaves) const;  // 0..1

private:
    float Lattice(int x, int y) const;

    uint32_t seed;
};
