#include "tools/content/PicturesEffects.h"

#include "tools/content/PicturesNoise.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Position relative to the picture centre, x and y from -1 to 1.
struct Polar {
    Polar(float u, float v) : x(u * 2.0f - 1.0f), y(v * 2.0f - 1.0f), r(std::hypot(x, y)), angle(std::atan2(y, x)) {}
    float x, y, r, angle;
};

// 1 inside `inner`, falling smoothly to exactly 0 at `outer` and beyond.
float Vanish(float r, float inner, float outer) { return 1.0f - SmoothStep(inner, outer, r); }

// Bell of the given width around 0; a shape that has narrowed to nothing gives no light.
float Gauss(float d, float width) { return width > 0.0f ? std::exp(-(d * d) / (width * width)) : 0.0f; }

// Smallest difference between two angles, in radians.
float AngleBetween(float a, float b) { return std::abs(std::remainder(a - b, 2.0f * kPi)); }

const Rgba kWhite = {1.0f, 1.0f, 1.0f, 1.0f};

// A burst of spikes of random lengths around a bright core.
Rgba Burst(const Polar& p, int spikes, uint32_t seed, float spikeWidth, const Rgba& outer) {
    Random random(seed);
    float light = Gauss(p.r, 0.22f);
    for (int i = 0; i < spikes; ++i) {
        const float angle = (i + random.Range(-0.3f, 0.3f)) * 2.0f * kPi / spikes;
        const float length = random.Range(0.55f, 0.95f);
        const float across = AngleBetween(p.angle, angle) * p.r;
        light += Gauss(across, spikeWidth * (1.0f - p.r / length)) * Clamp01(1.0f - p.r / length);
    }
    light = Clamp01(light) * Vanish(p.r, 0.85f, 1.0f);
    return Glow(Mix(outer, kWhite, Clamp01(light * light)), light);
}

}  // namespace

Rgba FireColour(float heat) {
    return Ramp({{0.0f, {0.5f, 0.07f, 0.02f, 1}},
                 {0.35f, {1.0f, 0.43f, 0.07f, 1}},
                 {0.7f, {1.0f, 0.84f, 0.32f, 1}},
                 {1.0f, {1.0f, 1.0f, 0.92f, 1}}},
                heat);
}

bool MuzzleFlashSheet(Canvas& picture) {
    const int cell = picture.Width() / 2;
    for (int i = 0; i < 4; ++i) {
        Canvas flash(cell, cell);
        flash.Paint([i](float u, float v) { return Burst(Polar(u, v), 7, 101 + i, 0.12f, {0.25f, 0.55f, 1.0f, 1}); });
        picture.Place(flash, (i % 2) * cell, (i / 2) * cell);
    }
    return true;
}

bool FlamePetal(Canvas& picture) {
    const ValueNoise noise(7);
    const float root = 0.88f;   // u where the flame starts, near the barrel
    const float length = 0.8f;  // towards the tip at the left
    picture.Paint([&](float u, float v) {
        const float along = (root - u) / length;  // 0 at the root, 1 at the tip
        const float across = v - 0.5f;
        // A tongue: round at the root, widest a third of the way out, pointed at the tip.
        const float width = 0.26f * std::sqrt(std::max(along + 0.12f, 0.0f)) * std::pow(Clamp01(1.0f - along), 0.8f);
        const float flicker = 0.7f + 0.6f * noise.Fractal(along * 5.0f, across * 8.0f, 3);
        const float light = Clamp01(Gauss(across, width) * std::pow(Clamp01(1.0f - along), 0.6f) * flicker);
        return Glow(FireColour(light), light);
    });
    return true;
}

bool StarFlash(Canvas& picture) {
    picture.Paint([](float u, float v) {
        const Polar p(u, v);
        float light = Gauss(p.r, 0.15f);
        for (int i = 0; i < 8; ++i) {
            const float reach = i % 2 == 0 ? 1.0f : 0.55f;  // long cross, short diagonals
            const float across = AngleBetween(p.angle, i * kPi / 4.0f) * p.r;
            light += Gauss(across, 0.05f) * Clamp01(1.0f - p.r / reach);
        }
        light = Clamp01(light) * Vanish(p.r, 0.85f, 1.0f);
        return Glow(Mix({1.0f, 0.8f, 0.3f, 1}, kWhite, light), light);
    });
    return true;
}

bool ChargeRing(Canvas& picture) {
    picture.Paint([](float u, float v) {
        const Polar p(u, v);
        const float radius = 0.8f;
        const float pulse = 0.8f + 0.2f * std::cos(p.angle * 8.0f);
        const float core = Gauss(p.r - radius, 0.03f);
        const float halo = 0.6f * Gauss(p.r - radius, 0.12f) * pulse;
        const float inside = 0.12f * Vanish(p.r, 0.0f, radius);
        const float light = Clamp01(core + halo + inside) * Vanish(p.r, 0.9f, 1.0f);
        return Glow(Mix({1.0f, 0.25f, 0.08f, 1}, kWhite, core), light);
    });
    return true;
}

bool ImpactLight(Canvas& picture) {
    picture.Paint([](float u, float v) {
        const Polar p(u, v);
        const float light = Clamp01(Gauss(p.r, 0.25f) + 0.4f * Gauss(p.r, 0.55f)) * Vanish(p.r, 0.7f, 1.0f);
        return Glow(Mix({0.45f, 0.7f, 1.0f, 1}, kWhite, Gauss(p.r, 0.3f)), light);
    });
    return true;
}

bool LaserBeam(Canvas& picture) {
    picture.Paint([](float u, float v) {
        const float across = v - 0.5f;
        const float core = Gauss(across, 0.06f);
        const float shimmer = 0.9f + 0.1f * std::sin(u * 2.0f * kPi * 6.0f);
        const float light =
            Clamp01(core + 0.6f * Gauss(across, 0.2f) * shimmer) * Vanish(std::abs(across) * 2.0f, 0.8f, 1.0f);
        return Glow(Mix({1.0f, 0.1f, 0.08f, 1}, {1.0f, 0.92f, 0.9f, 1}, core), light);
    });
    return true;
}

bool BeamStreak(Canvas& picture) {
    const ValueNoise noise(23);
    picture.Paint([&](float u, float v) {
        const float across = u - 0.5f;
        const float core = Gauss(across, 0.07f);
        // The ribbon's newest end samples the top row: bright there, cooling towards the tail.
        const float length = 1.0f - 0.65f * v;
        const float streaks = 0.8f + 0.2f * noise.Fractal(u * 10.0f, v * 3.0f, 2);
        const float light = Clamp01(core + 0.55f * Gauss(across, 0.22f) * streaks) * length *
                            Vanish(std::abs(across) * 2.0f, 0.75f, 1.0f);
        return Glow(Mix({0.3f, 0.7f, 1.0f, 1}, kWhite, core), light);
    });
    return true;
}

bool HitFlash(Canvas& picture) {
    picture.Paint([](float u, float v) { return Burst(Polar(u, v), 9, 211, 0.07f, {1.0f, 0.35f, 0.08f, 1}); });
    return true;
}

bool BurnMark(Canvas& picture) {
    const ValueNoise noise(41);
    picture.Paint([&](float u, float v) {
        const Polar p(u, v);
        const float grain = noise.Fractal(u * 9.0f, v * 9.0f, 4);
        const float edge = 0.75f + 0.25f * (grain - 0.5f) * 2.0f;  // ragged rim
        const float heat = Vanish(p.r, 0.1f, edge) * (0.35f + 0.65f * grain);
        const float light = 0.7f * heat;
        return Glow(Ramp({{0.0f, {0.45f, 0.05f, 0.02f, 1}}, {1.0f, {1.0f, 0.5f, 0.12f, 1}}}, heat), light);
    });
    return true;
}
