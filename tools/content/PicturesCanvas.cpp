#include "tools/content/PicturesCanvas.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

constexpr int kJpegQuality = 95;

unsigned char ToByte(float v) { return static_cast<unsigned char>(std::lround(Clamp01(v) * 255.0f)); }

bool Report(bool written, const std::string& path) {
    if (!written)
        std::cerr << "Cannot write " << path << "\n";
    return written;
}

}  // namespace

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

float SmoothStep(float edge0, float edge1, float v) {
    const float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

Rgba Mix(const Rgba& a, const Rgba& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgba Glow(const Rgba& colour, float intensity) {
    const float i = Clamp01(intensity);
    return {colour.r * i, colour.g * i, colour.b * i, Clamp01(i * 3.0f)};
}

Rgba Ramp(const std::vector<RampStop>& stops, float t) {
    if (t <= stops.front().at)
        return stops.front().colour;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].at) {
            const float span = stops[i].at - stops[i - 1].at;
            return Mix(stops[i - 1].colour, stops[i].colour, (t - stops[i - 1].at) / span);
        }
    }
    return stops.back().colour;
}

Canvas::Canvas(int width, int height, const Rgba& fill)
    : width(width), height(height), pixels(static_cast<size_t>(width) * height, fill) {}

void Canvas::Over(int x, int y, const Rgba& colour) {
    Rgba& dst = At(x, y);
    const float a = Clamp01(colour.a);
    const float outA = a + dst.a * (1.0f - a);
    if (outA <= 0.0f)
        return;
    const auto channel = [&](float src, float below) { return (src * a + below * dst.a * (1.0f - a)) / outA; };
    dst = {channel(colour.r, dst.r), channel(colour.g, dst.g), channel(colour.b, dst.b), outA};
}

void Canvas::Place(const Canvas& part, int left, int top) {
    for (int y = 0; y < part.height; ++y)
        for (int x = 0; x < part.width; ++x)
            At(left + x, top + y) = part.At(x, y);
}

std::vector<unsigned char> Canvas::Bytes(int channels) const {
    std::vector<unsigned char> bytes;
    bytes.reserve(pixels.size() * channels);
    for (const Rgba& p : pixels) {
        bytes.push_back(ToByte(p.r));
        bytes.push_back(ToByte(p.g));
        bytes.push_back(ToByte(p.b));
        if (channels == 4)
            bytes.push_back(ToByte(p.a));
    }
    return bytes;
}

bool Canvas::WritePng(const std::string& path) const {
    const std::vector<unsigned char> bytes = Bytes(4);
    return Report(stbi_write_png(path.c_str(), width, height, 4, bytes.data(), width * 4) != 0, path);
}

bool Canvas::WriteJpeg(const std::string& path) const {
    const std::vector<unsigned char> bytes = Bytes(3);
    return Report(stbi_write_jpg(path.c_str(), width, height, 3, bytes.data(), kJpegQuality) != 0, path);
}
