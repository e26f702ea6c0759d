#pragma once

// A floating-point RGBA picture that the generator paints procedurally and saves as PNG or JPEG.

#include <cstddef>
#include <string>
#include <vector>

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

// Linear blend from a (t = 0) to b (t = 1), every channel.
Rgba Mix(const Rgba& a, const Rgba& b, float t);

// Colour of an effect texture drawn additively: black stays black and invisible, and alpha
// follows the intensity so that empty texels are also discarded outright.
Rgba Glow(const Rgba& colour, float intensity);

// Colour at t along a piecewise-linear ramp of (position, colour) stops in ascending positions.
struct RampStop {
    float at;
    Rgba colour;
};
Rgba Ramp(const std::vector<RampStop>& stops, float t);

float Clamp01(float v);
float SmoothStep(float edge0, float edge1, float v);

class Canvas {
public:
    Canvas(int width, int height, const Rgba& fill = {});

    int Width() const { return width; }
    int Height() const { return height; }
    Rgba& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgba& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }

    // Composites colour over the pixel according to its alpha.
    void Over(int x, int y, const Rgba& colour);
    // Sets every pixel from a function of its centre in picture units: u and v run 0..1 from the
    // top-left corner to the bottom-right one.
    template <class Painter>
    void Paint(Painter painter) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                At(x, y) = painter((x + 0.5f) / width, (y + 0.5f) / height);
    }
    // Copies a smaller picture with its top-left corner at (left, top).
    void Place(const Canvas& part, int left, int top);

    bool WritePng(const std::string& path) const;
    bool WriteJpeg(const std::string& path) const;

private:
    std::vector<unsigned char> Bytes(int channels) const;

    int width;
    int height;
    std::vector<Rgba> pixels;
};
