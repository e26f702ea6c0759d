#include "tools/content/PicturesSmoke.h"

#include "tools/content/PicturesEffects.h"
#include "tools/content/PicturesNoise.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFrames = kSmokeColumns * kSmokeColumns - 1;  // cells 1 .. 63
constexpr float kFireEnds = 0.35f;                          // part of the animation that burns

const Rgba kSmoke = {0.62f, 0.6f, 0.57f, 1.0f};

// One frame; x and y run from -1 to 1 across the cell, t from 0 (first frame) to 1 (last).
Rgba ExplosionTexel(const ValueNoise& noise, float x, float y, float t) {
    const float radius = 0.45f + 0.42f * std::sqrt(t);
    const float rise = 0.1f * t;  // smoke drifts up as it cools
    const float r = std::hypot(x, y + rise);
    // A slow warp gives the cloud its ragged outline, faster detail its billows; both drift up.
    const float warp = noise.Fractal(x * 1.8f + 5.0f, (y + rise) * 1.8f + t * 3.0f, 3);
    const float billow = noise.Fractal(x * 4.0f + 11.0f, (y + rise) * 4.0f + t * 5.0f, 3);
    const float reach = r + (warp - 0.5f) * 0.5f * radius;
    float density = (1.0f - SmoothStep(radius * 0.55f, radius, reach)) * (0.7f + 0.6f * billow);
    // Keep the cell's border black so neighbouring frames never bleed into each other.
    density = Clamp01(density) * (1.0f - SmoothStep(0.86f, 1.0f, std::max(std::abs(x), std::abs(y))));

    const float heat = std::pow(Clamp01(1.0f - t / kFireEnds), 0.8f);
    const float core = Clamp01(1.0f - r / radius);
    const Rgba fire = FireColour(Clamp01(heat * (0.7f + 0.6f * core * density)));
    const Rgba smoke = Mix(kSmoke, {0.32f, 0.31f, 0.3f, 1}, 1.0f - billow);
    const float smokeLevel = 0.85f + (0.15f - 0.85f) * SmoothStep(0.4f, 1.0f, t);
    return Glow(Mix(smoke, fire, heat), density * (smokeLevel + (1.0f - smokeLevel) * heat));
}

}  // namespace

bool SmokeAtlas(Canvas& picture) {
    const ValueNoise noise(1234);
    for (int frame = 1; frame <= kFrames; ++frame) {
        const float t = static_cast<float>(frame - 1) / static_cast<float>(kFrames - 1);
        Canvas cell(kSmokeCell, kSmokeCell);
        cell.Paint([&](float u, float v) { return ExplosionTexel(noise, u * 2.0f - 1.0f, v * 2.0f - 1.0f, t); });
        picture.Place(cell, (frame % kSmokeColumns) * kSmokeCell, (frame / kSmokeColumns) * kSmokeCell);
    }
    return true;
}
