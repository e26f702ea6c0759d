#pragma once

// A single-channel coverage picture (0..1): the shape of rendered lettering, widened for the
// outline and blurred for the glow.

#include <cstddef>
#include <vector>

class Mask {
public:
    Mask(int width, int height) : width(width), height(height), values(static_cast<size_t>(width) * height, 0.0f) {}

    int Width() const { return width; }
    int Height() const { return height; }
    float& At(int x, int y) { return values[static_cast<size_t>(y) * width + x]; }
    float At(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
    // Outside the mask everything is empty.
    float Sample(int x, int y) const;

    // Copies another mask in at (left, top), keeping the larger coverage; parts outside are cut.
    void Stamp(const Mask& other, int left, int top);
    // Each pixel takes the largest coverage within `radius` pixels: an outline of that width.
    Mask Dilated(int radius) const;
    // Three box blurs in each direction: close to a Gaussian of about `radius` pixels.
    Mask Blurred(int radius) const;

private:
    Mask BoxBlurred(int radius, bool horizontal) const;

    int width;
    int height;
    std::vector<float> values;
};
