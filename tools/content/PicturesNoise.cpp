#include "tools/content/PicturesNoise.h"

#include <cmath>

namespace {

uint32_t Hash(uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352du;
    v ^= v >> 15;
    v *= 0x846ca68bu;
    v ^= v >> 16;
    return v;
}

float Fade(float t) { return t * t * (3.0f - 2.0f * t); }

}  // namespace

uint32_t Random::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float Random::Unit() { return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f); }

float ValueNoise::Lattice(int x, int y) const {
    const uint32_t h = Hash(static_cast<uint32_t>(x) * 73856093u ^ Hash(static_cast<uint32_t>(y) + seed));
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

float ValueNoise::At(float x, float y) const {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const float tx = Fade(x - fx);
    const float ty = Fade(y - fy);
    const float top = Lattice(ix, iy) + (Lattice(ix + 1, iy) - Lattice(ix, iy)) * tx;
    const float bottom = Lattice(ix, iy + 1) + (Lattice(ix + 1, iy + 1) - Lattice(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

float ValueNoise::Fractal(float x, float y, int octaves) const {
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += At(x, y) * weight;
        total += weight;
        weight *= 0.5f;
        x = x * 2.0f + 17.0f;
        y = y * 2.0f + 31.0f;
    }
    return sum / total;
}
