#include "tools/content/ModelTextures.h"

#include "tools/content/PicturesNoise.h"

#include <algorithm>
#include <cmath>

namespace {

Rgba Shade(const Rgba& c, float f) { return {c.r * f, c.g * f, c.b * f, c.a}; }

float Fract(float v) { return v - std::floor(v); }

// Noise that repeats every `period` lattice cells across u and v in 0..1, so the picture tiles.
float TileNoise(const ValueNoise& noise, float u, float v, float period) {
    const float x = u * period, y = v * period;
    const float a = noise.Fractal(x, y, 3), b = noise.Fractal(x - period, y, 3);
    const float c = noise.Fractal(x, y - period, 3), d = noise.Fractal(x - period, y - period, 3);
    return (a * (1 - u) + b * u) * (1 - v) + (c * (1 - u) + d * u) * v;
}

// Distance from (u, v) to the nearest edge of its cell in a grid of `cellsU` by `cellsV`,
// in picture units of the cell.
float EdgeDistance(float u, float v, float cellsU, float cellsV) {
    const float fu = Fract(u * cellsU), fv = Fract(v * cellsV);
    return std::min(std::min(fu, 1 - fu) / cellsU, std::min(fv, 1 - fv) / cellsV);
}

// Raised look of a seam: dark groove, light lip on the upper-left side.
Rgba Seam(const Rgba& base, float u, float v, float cellsU, float cellsV, float width) {
    const float e = EdgeDistance(u, v, cellsU, cellsV);
    if (e < width * 0.5f) {
        return Shade(base, 0.35f);
    }
    if (e < width) {
        const bool upperLeft = Fract(u * cellsU) < 0.5f || Fract(v * cellsV) < 0.5f;
        return Shade(base, upperLeft ? 1.25f : 0.75f);
    }
    return base;
}

// Round bolt heads at the given inset from each cell corner.
Rgba Bolts(const Rgba& base, float u, float v, float cellsU, float cellsV, float inset, float radius) {
    const float fu = Fract(u * cellsU) / cellsU, fv = Fract(v * cellsV) / cellsV;
    const float du = std::min(std::fabs(fu - inset), std::fabs(fu - (1 / cellsU - inset)));
    const float dv = std::min(std::fabs(fv - inset), std::fabs(fv - (1 / cellsV - inset)));
    const float d = std::sqrt(du * du + dv * dv);
    if (d < radius) {
        return Shade(base, 1.35f - 0.6f * d / radius);
    }
    if (d < radius * 1.35f) {
        return Shade(base, 0.55f);
    }
    return base;
}

TextureRef Make(const std::string& fileName, int width, int height, Rgba (*painter)(float, float)) {
    auto texture = std::make_shared<MeshTexture>(MeshTexture{fileName, Canvas(width, height)});
    texture->picture.Paint(painter);
    return texture;
}

Rgba HazardAt(float u, float v, float stripes) {
    const Rgba yellow{0.95f, 0.74f, 0.08f, 1}, black{0.08f, 0.08f, 0.08f, 1};
    static const ValueNoise wear(71);
    const Rgba stripe = (Fract((u + v) * stripes) < 0.5f) ? yellow : black;
    const float dirt = TileNoise(wear, u, v, 8.0f);
    return Shade(stripe, 0.75f + 0.3f * dirt);
}

Rgba FloorPanelsAt(float u, float v) {
    static const ValueNoise grime(11);
    const int plate = static_cast<int>(u * 2) + static_cast<int>(v * 2);
    Rgba c{0.40f, 0.42f, 0.45f, 1};
    if (plate % 2 == 0) {
        // Diamond tread plate: short raised ridges on a diagonal lattice.
        const float a = Fract((u + v) * 16), b = Fract((u - v) * 16);
        if (std::fabs(a - 0.5f) < 0.12f && std::fabs(b - 0.5f) < 0.35f) {
            c = Shade(c, 1.22f);
        }
    }
    c = Shade(c, 0.8f + 0.35f * TileNoise(grime, u, v, 6.0f));
    c = Bolts(c, u, v, 2, 2, 0.04f, 0.014f);
    return Seam(c, u, v, 2, 2, 0.012f);
}

Rgba WallPlatingAt(float u, float v) {
    static const ValueNoise grime(23);
    Rgba c{0.62f, 0.64f, 0.66f, 1};
    // A blue-grey band across the middle of every panel.
    const float fv = Fract(v * 2);
    if (fv > 0.42f && fv < 0.58f) {
        c = {0.30f, 0.40f, 0.52f, 1};
    }
    c = Shade(c, 0.82f + 0.3f * TileNoise(grime, u, v, 5.0f) - 0.12f * fv);
    c = Bolts(c, u, v, 2, 2, 0.03f, 0.01f);
    return Seam(c, u, v, 2, 2, 0.014f);
}

Rgba HazardStripesAt(float u, float v) { return HazardAt(u, v, 4.0f); }

Rgba TrimAt(float u, float v) {
    static const ValueNoise grime(31);
    Rgba c{0.22f, 0.23f, 0.25f, 1};
    // Horizontal ribs.
    const float rib = Fract(v * 8);
    c = Shade(c, rib < 0.2f ? 1.4f : (rib < 0.3f ? 0.6f : 1.0f));
    c = Shade(c, 0.85f + 0.3f * TileNoise(grime, u, v, 6.0f));
    return Seam(c, u, v, 4, 1, 0.01f);
}

Rgba GirderAt(float u, float v) {
    static const ValueNoise grime(37);
    Rgba c{0.4f, 0.44f, 0.5f, 1};
    // Flanges along the top and bottom of every repeat, with a row of rivets on each.
    const float fv = Fract(v * 2);
    if (fv < 0.12f || fv > 0.88f) {
        c = Shade(c, 1.2f);
        if (std::fabs(Fract(u * 8) - 0.5f) < 0.12f && std::fabs(std::fabs(fv - 0.5f) - 0.44f) < 0.03f) {
            c = Shade(c, 0.6f);
        }
    }
    c = Shade(c, 0.85f + 0.3f * TileNoise(grime, u, v, 5.0f));
    return Seam(c, u, v, 1, 2, 0.01f);
}

Rgba CeilingAt(float u, float v) {
    Rgba c{0.30f, 0.31f, 0.33f, 1};
    // A vent grille in the middle of each tile.
    const float fu = Fract(u * 2), fv = Fract(v * 2);
    if (fu > 0.25f && fu < 0.75f && fv > 0.3f && fv < 0.7f) {
        c = (Fract(fv * 12) < 0.5f) ? Rgba{0.1f, 0.1f, 0.11f, 1} : Rgba{0.36f, 0.37f, 0.39f, 1};
    }
    return Seam(c, u, v, 2, 2, 0.02f);
}

Rgba CrateAt(float u, float v) {
    static const ValueNoise grime(41);
    Rgba c{0.26f, 0.36f, 0.44f, 1};
    // Corrugation, a frame round the edge and an X brace.
    c = Shade(c, Fract(u * 12) < 0.5f ? 1.08f : 0.92f);
    const float frame = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
    const float diagonal = std::min(std::fabs(u - v), std::fabs(u + v - 1)) / 1.414f;
    if (frame < 0.07f || diagonal < 0.035f) {
        c = {0.55f, 0.57f, 0.6f, 1};
    }
    c = Shade(c, 0.8f + 0.35f * TileNoise(grime, u, v, 4.0f));
    return Bolts(c, u, v, 1, 1, 0.035f, 0.015f);
}

Rgba TreadLinksAt(float u, float v) {
    const float link = Fract(u * 16);
    Rgba c{0.18f, 0.18f, 0.19f, 1};
    if (link < 0.12f) {
        return Shade(c, 0.3f);  // gap between links
    }
    if (link > 0.35f && link < 0.65f && v > 0.08f && v < 0.92f) {
        c = {0.42f, 0.42f, 0.43f, 1};  // cleat
        if (link < 0.42f) {
            c = Shade(c, 1.3f);
        }
    }
    // Pin heads at both edges of every link.
    if ((v < 0.08f || v > 0.92f) && link > 0.2f && link < 0.8f) {
        c = {0.55f, 0.55f, 0.56f, 1};
    }
    return c;
}

Rgba DrumLabelAt(float u, float v) {
    static const ValueNoise rust(53);
    Rgba c{0.72f, 0.18f, 0.1f, 1};  // red paint
    // Two rolling hoops.
    const float hoop = std::min(std::fabs(v - 0.33f), std::fabs(v - 0.67f));
    if (hoop < 0.025f) {
        c = Shade(c, hoop < 0.012f ? 1.3f : 0.6f);
    }
    // A hazard band with a warning diamond, twice round the drum.
    if (v > 0.4f && v < 0.6f) {
        c = HazardAt(u * 2, v, 6.0f);
        const float du = std::fabs(Fract(u * 2) - 0.5f) * 2.0f, dv = std::fabs(v - 0.5f) * 10.0f;
        if (du * 4 + dv < 0.95f) {
            c = {0.95f, 0.92f, 0.85f, 1};
            if (du * 4 + dv < 0.7f && du * 4 + dv > 0.5f) {
                c = {0.1f, 0.1f, 0.1f, 1};
            }
        }
    }
    return Shade(c, 0.75f + 0.35f * TileNoise(rust, u, v, 6.0f));
}

Rgba BreakerPanelAt(float u, float v) {
    Rgba c{0.55f, 0.57f, 0.58f, 1};
    // Warning triangle with a lightning bolt in the upper half.
    const float x = (u - 0.5f) * 2.0f, y = (v - 0.42f) * 2.0f;  // y down
    const float inside = y + 0.5f - std::fabs(x) * 1.8f;        // > 0 below the slanted sides
    if (y < 0.45f && inside > 0.0f) {
        c = (y > 0.35f || inside < 0.12f) ? Rgba{0.08f, 0.08f, 0.08f, 1} : Rgba{0.98f, 0.78f, 0.05f, 1};
        const float bolt = x + 0.25f * y - (y < 0.05f ? 0.05f : -0.05f);
        if (std::fabs(bolt) < 0.06f && y > -0.3f && y < 0.32f) {
            c = {0.08f, 0.08f, 0.08f, 1};
        }
    }
    // Louvres at the bottom.
    if (v > 0.78f && v < 0.94f && u > 0.2f && u < 0.8f) {
        c = Shade(c, Fract(v * 40) < 0.5f ? 0.4f : 1.1f);
    }
    return Seam(c, u, v, 1, 1, 0.03f);
}

Rgba DoorPanelAt(float u, float v) {
    static const ValueNoise brush(61);
    Rgba c{0.66f, 0.68f, 0.7f, 1};
    c = Shade(c, 0.9f + 0.15f * brush.At(u * 4, v * 180));  // brushed across
    if (v > 0.86f) {
        return HazardAt(u, v, 5.0f);  // kick plate
    }
    if (v > 0.18f && v < 0.24f) {
        c = {0.3f, 0.55f, 0.8f, 1};  // blue band
    }
    // Vertical grooves.
    if (Fract(u * 3) < 0.02f) {
        c = Shade(c, 0.5f);
    }
    return c;
}

}  // namespace

TextureRef FloorPanelsTexture() { return Make("FloorPanels.png", 256, 256, FloorPanelsAt); }
TextureRef WallPlatingTexture() { return Make("WallPlating.png", 256, 256, WallPlatingAt); }
TextureRef HazardStripesTexture() { return Make("HazardStripes.png", 128, 128, HazardStripesAt); }
TextureRef TrimTexture() { return Make("Trim.png", 128, 128, TrimAt); }
TextureRef GirderTexture() { return Make("Girder.png", 128, 128, GirderAt); }
TextureRef CeilingTexture() { return Make("Ceiling.png", 128, 128, CeilingAt); }
TextureRef CrateTexture() { return Make("Crate.png", 128, 128, CrateAt); }
TextureRef TreadLinksTexture() { return Make("TreadLinks.png", 256, 64, TreadLinksAt); }
TextureRef DrumLabelTexture() { return Make("DrumLabel.png", 256, 128, DrumLabelAt); }
TextureRef BreakerPanelTexture() { return Make("BreakerPanel.png", 128, 128, BreakerPanelAt); }
TextureRef DoorPanelTexture() { return Make("DoorPanel.png", 128, 256, DoorPanelAt); }
