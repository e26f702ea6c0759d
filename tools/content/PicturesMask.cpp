#include "tools/content/PicturesMask.h"

#include <algorithm>
#include <cmath>

float Mask::Sample(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0.0f;
    return At(x, y);
}

void Mask::Stamp(const Mask& other, int left, int top) {
    for (int y = 0; y < other.height; ++y) {
        for (int x = 0; x < other.width; ++x) {
            const int tx = left + x;
            const int ty = top + y;
            if (tx < 0 || ty < 0 || tx >= width || ty >= height)
                continue;
            At(tx, ty) = std::max(At(tx, ty), other.At(x, y));
        }
    }
}

Mask Mask::Dilated(int radius) const {
    Mask out(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float best = 0.0f;
            for (int dy = -radius; dy <= radius; ++dy) {
                for (int dx = -radius; dx <= radius; ++dx) {
                    // Soften the disc's rim by a pixel so the outline stays anti-aliased.
                    const float edge = std::clamp(radius + 0.5f - std::sqrt(float(dx * dx + dy * dy)), 0.0f, 1.0f);
                    best = std::max(best, Sample(x + dx, y + dy) * edge);
                }
            }
            out.At(x, y) = best;
        }
    }
    return out;
}

Mask Mask::Blurred(int radius) const {
    Mask out = *this;
    for (int pass = 0; pass < 3; ++pass)
        out = out.BoxBlurred(radius, true).BoxBlurred(radius, false);
    return out;
}

Mask Mask::BoxBlurred(int radius, bool horizontal) const {
    Mask out(width, height);
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    for (int line = 0; line < lines; ++line) {
        const auto value = [&](int i) { return horizontal ? Sample(i, line) : Sample(line, i); };
        float sum = 0.0f;
        for (int i = -radius; i <= radius; ++i)
            sum += value(i);
        for (int i = 0; i < length; ++i) {
            (horizontal ? out.At(i, line) : out.At(line, i)) = sum * scale;
            sum += value(i + radius + 1) - value(i - radius);
        }
    }
    return out;
}
