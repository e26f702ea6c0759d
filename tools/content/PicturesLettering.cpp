#include "tools/content/PicturesLettering.h"

#include "tools/content/FontsFace.h"
#include "tools/content/PicturesMask.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

constexpr int kSmallestLetters = 6;  // pixel height below which a line counts as not fitting
constexpr float kLineGap = 0.1f;     // space between lines, as a part of the inner height

Mask CroppedToInk(const Mask& mask) {
    int left = mask.Width(), top = mask.Height(), right = -1, bottom = -1;
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            if (mask.At(x, y) <= 0.0f)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return Mask(0, 0);
    Mask out(right - left + 1, bottom - top + 1);
    out.Stamp(mask, -left, -top);
    return out;
}

// One line of text at a pixel height, cropped to its ink.
Mask RenderLine(FontFace& face, const std::string& text, int pixelHeight, float tracking) {
    face.SetPixelHeight(pixelHeight);
    const int margin = pixelHeight;
    Mask line(static_cast<int>(text.size() + 2) * pixelHeight * 2, pixelHeight * 3);
    const int baseline = margin + pixelHeight;
    float penX = static_cast<float>(margin);
    for (const char c : text) {
        if (!face.RenderGlyph(static_cast<unsigned char>(c)))
            continue;
        const FT_GlyphSlot slot = face.Face()->glyph;
        Mask glyph(static_cast<int>(slot->bitmap.width), static_cast<int>(slot->bitmap.rows));
        for (int y = 0; y < glyph.Height(); ++y)
            for (int x = 0; x < glyph.Width(); ++x)
                glyph.At(x, y) = slot->bitmap.buffer[y * slot->bitmap.pitch + x] / 255.0f;
        line.Stamp(glyph, static_cast<int>(std::lround(penX)) + slot->bitmap_left, baseline - slot->bitmap_top);
        penX += static_cast<float>(slot->advance.x) / 64.0f + tracking * static_cast<float>(pixelHeight);
    }
    return CroppedToInk(line);
}

// The largest rendering of the line whose ink fits width by height.
bool FitLine(FontFace& face, const std::string& text, float tracking, int width, int height, Mask& out) {
    constexpr int kProbe = 100;
    const Mask probe = RenderLine(face, text, kProbe, tracking);
    if (probe.Width() == 0)
        return false;
    const float scale = std::min(float(width) / probe.Width(), float(height) / probe.Height());
    for (int size = static_cast<int>(kProbe * scale) + 1; size >= kSmallestLetters; --size) {
        out = RenderLine(face, text, size, tracking);
        if (out.Width() <= width && out.Height() <= height)
            return true;
    }
    return false;
}

}  // namespace

bool Lettering(const std::vector<TextLine>& lines, const LetteringStyle& style, Canvas& picture) {
    FontFace face;
    if (!face.Load(style.fontFile))
        return false;
    const int margin = style.outlineWidth + style.glowRadius;
    const int innerWidth = picture.Width() - 2 * margin;
    const int innerHeight = picture.Height() - 2 * margin;

    std::vector<Mask> rendered;
    int blockHeight = 0;
    for (const TextLine& line : lines) {
        Mask mask(0, 0);
        if (!FitLine(face, line.text, style.tracking, innerWidth, static_cast<int>(innerHeight * line.share), mask)) {
            std::cerr << "Lettering \"" << line.text << "\" does not fit its picture\n";
            return false;
        }
        blockHeight += mask.Height();
        rendered.push_back(std::move(mask));
    }
    const int gap = static_cast<int>(innerHeight * kLineGap);
    blockHeight += gap * static_cast<int>(rendered.size() - 1);

    // Letters, and for every row how far down its line it lies (for the fill gradient).
    Mask letters(picture.Width(), picture.Height());
    std::vector<float> shade(picture.Height(), 0.0f);
    int top = (picture.Height() - blockHeight) / 2;
    for (const Mask& mask : rendered) {
        letters.Stamp(mask, (picture.Width() - mask.Width()) / 2, top);
        for (int y = 0; y < mask.Height(); ++y)
            shade[top + y] = float(y) / float(mask.Height());
        top += mask.Height() + gap;
    }

    const Mask outline = letters.Dilated(style.outlineWidth);
    const Mask glow = outline.Blurred(style.glowRadius);
    for (int y = 0; y < picture.Height(); ++y) {
        const Rgba fill = Mix(style.fillTop, style.fillBottom, shade[y]);
        for (int x = 0; x < picture.Width(); ++x) {
            Rgba glowColour = style.glow;
            glowColour.a *= Clamp01(glow.At(x, y) * style.glowStrength);
            Rgba outlineColour = style.outline;
            outlineColour.a *= outline.At(x, y);
            Rgba fillColour = fill;
            fillColour.a *= letters.At(x, y);
            picture.Over(x, y, glowColour);
            picture.Over(x, y, outlineColour);
            picture.Over(x, y, fillColour);
        }
    }
    return true;
}
