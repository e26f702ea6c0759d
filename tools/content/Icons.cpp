#include "tools/content/ContentWriters.h"

#include "tools/content/PicturesLettering.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace {

// The sizes a hicolor theme looks for first; desktops scale from the nearest one.
const int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
constexpr int kMasterSize = 256;

// Distance from a point to a rounded square of half size `half` and corner radius `radius`, both
// centred on the origin: negative inside.
float RoundedSquareDistance(float x, float y, float half, float radius) {
    const float qx = std::max(std::abs(x) - (half - radius), 0.0f);
    const float qy = std::max(std::abs(y) - (half - radius), 0.0f);
    const float inside = std::min(std::max(std::abs(x), std::abs(y)) - (half - radius), 0.0f);
    return std::sqrt(qx * qx + qy * qy) + inside - radius;
}

// A navy tile with a blue rim and the title's "Q" on it.
bool PaintMaster(Canvas& icon) {
    const float size = static_cast<float>(icon.Width());
    const Rgba top = {0.10f, 0.17f, 0.38f, 1.0f};
    const Rgba bottom = {0.02f, 0.04f, 0.12f, 1.0f};
    const Rgba rim = {0.35f, 0.6f, 1.0f, 1.0f};
    icon.Paint([&](float u, float v) {
        const float d = RoundedSquareDistance((u - 0.5f) * size, (v - 0.5f) * size, size * 0.47f, size * 0.16f);
        Rgba colour = Mix(top, bottom, v);
        colour = Mix(colour, rim, SmoothStep(-7.0f, -5.0f, d));
        colour.a = 1.0f - SmoothStep(-1.0f, 1.0f, d);
        return colour;
    });
    const LetteringStyle style{.fontFile = "DejaVuSans-Bold.ttf",
                               .fillTop = {1.0f, 1.0f, 1.0f, 1.0f},
                               .fillBottom = {0.55f, 0.75f, 1.0f, 1.0f},
                               .outline = {0.04f, 0.08f, 0.25f, 1.0f},
                               .glow = {0.2f, 0.5f, 1.0f, 0.9f},
                               .outlineWidth = 6,
                               .glowRadius = 22};
    return Lettering({{"Q", 1.0f}}, style, icon);
}

// Each pixel of the smaller picture averages the master's pixels under it, weighted by alpha so
// that transparent corners do not darken the rim.
Canvas Reduced(const Canvas& master, int size) {
    Canvas out(size, size);
    const float scale = static_cast<float>(master.Width()) / static_cast<float>(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int x0 = static_cast<int>(std::floor(x * scale));
            const int y0 = static_cast<int>(std::floor(y * scale));
            const int x1 = std::max(x0 + 1, static_cast<int>(std::floor((x + 1) * scale)));
            const int y1 = std::max(y0 + 1, static_cast<int>(std::floor((y + 1) * scale)));
            Rgba sum;
            for (int j = y0; j < y1; ++j) {
                for (int i = x0; i < x1; ++i) {
                    const Rgba& c = master.At(i, j);
                    sum = {sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a};
                }
            }
            const float count = static_cast<float>((x1 - x0) * (y1 - y0));
            out.At(x, y) = sum.a > 0.0f ? Rgba{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / count} : Rgba{};
        }
    }
    return out;
}

}  // namespace

bool WriteIcons(const std::string& root) {
    Canvas master(kMasterSize, kMasterSize);
    if (!PaintMaster(master)) {
        return false;
    }
    for (const int size : kIconSizes) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path folder = std::filesystem::path(root) / "icons/hicolor" / name / "apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        const Canvas icon = size == kMasterSize ? master : Reduced(master, size);
        if (!icon.WritePng((folder / "quarnel.png").string())) {
            return false;
        }
    }
    return true;
}
