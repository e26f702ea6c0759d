#include "tools/content/PicturesHud.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFrameBorder = 4;  // the frame is 8 pixels wider and taller than the bar

// A glossy bar: a light highlight along the top, the body colour, a dark lower edge.
void GaugeBar(Canvas& picture, const Rgba& highlight, const Rgba& body, const Rgba& shadow) {
    picture.Paint([&](float, float v) {
        return v < 0.35f ? Mix(highlight, body, v / 0.35f) : Mix(body, shadow, (v - 0.35f) / 0.65f);
    });
}

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay;
    const float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

}  // namespace

bool GreenGaugeBar(Canvas& picture) {
    GaugeBar(picture, {0.7f, 1.0f, 0.7f, 1.0f}, {0.15f, 0.8f, 0.25f, 1.0f}, {0.03f, 0.35f, 0.1f, 1.0f});
    return true;
}

bool RedGaugeBar(Canvas& picture) {
    GaugeBar(picture, {1.0f, 0.7f, 0.65f, 1.0f}, {0.85f, 0.12f, 0.1f, 1.0f}, {0.4f, 0.03f, 0.03f, 1.0f});
    return true;
}

bool GaugeFrame(Canvas& picture) {
    const Rgba dark = {0.06f, 0.07f, 0.09f, 1.0f};
    const Rgba light = {0.72f, 0.76f, 0.82f, 1.0f};
    const Rgba metal = {0.42f, 0.46f, 0.53f, 1.0f};
    const int w = picture.Width(), h = picture.Height();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int ring = std::min({x, y, w - 1 - x, h - 1 - y});  // 0 = outermost pixel
            if (ring >= kFrameBorder)
                continue;  // the window for the bar
            Rgba c = metal;
            if (ring == 0 || ring == kFrameBorder - 1)
                c = dark;
            else if (ring == 1 && y < h / 2)
                c = light;  // bevel catching the light from above
            if (ring == 0 && (x == 0 || x == w - 1) && (y == 0 || y == h - 1))
                c.a = 0.0f;  // round corners
            picture.At(x, y) = c;
        }
    }
    return true;
}

bool SightingMark(Canvas& picture) {
    const float cx = picture.Width() / 2.0f, cy = picture.Height() / 2.0f;
    const float ringRadius = 22.0f, tickInner = 12.0f, tickOuter = 34.0f, halfWidth = 1.0f;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            float d = std::abs(std::hypot(px - cx, py - cy) - ringRadius);
            d = std::min(d, std::hypot(px - cx, py - cy) - 0.5f);  // centre dot
            d = std::min(d, SegmentDistance(px, py, cx - tickOuter, cy, cx - tickInner, cy));
            d = std::min(d, SegmentDistance(px, py, cx + tickInner, cy, cx + tickOuter, cy));
            d = std::min(d, SegmentDistance(px, py, cx, cy - tickOuter, cx, cy - tickInner));
            d = std::min(d, SegmentDistance(px, py, cx, cy + tickInner, cx, cy + tickOuter));
            // A dark blue rim around white lines keeps the mark visible on light and dark walls.
            picture.Over(x, y, {0.08f, 0.25f, 0.8f, Clamp01(halfWidth + 1.5f - d)});
            picture.Over(x, y, {0.95f, 0.98f, 1.0f, Clamp01(halfWidth + 0.5f - d)});
        }
    }
    return true;
}

bool BlackScreen(Canvas& picture) {
    picture.Paint([](float, float) { return Rgba{0.0f, 0.0f, 0.0f, 1.0f}; });
    return true;
}
