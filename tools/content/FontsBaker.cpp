#include "tools/content/FontsBaker.h"

#include "tools/content/FontsFace.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

constexpr uint32_t kAtlasWidth = 256;
constexpr int kGap = 1;  // blank pixels around every glyph, so linear filtering never bleeds

// Shelf packer: glyphs go left to right in rows as tall as their tallest glyph. Pixel (0, 0)
// stays blank and serves every glyph without ink (the space) as a 1 by 1 rectangle, so no
// rectangle is ever empty.
class ShelfPacker {
public:
    bool Place(int width, int height, int32_t& x, int32_t& y) {
        if (width + 2 * kGap > static_cast<int>(kAtlasWidth))
            return false;
        if (penX + width + kGap > static_cast<int>(kAtlasWidth)) {
            penX = kGap;
            penY += shelfHeight + kGap;
            shelfHeight = 0;
        }
        x = penX;
        y = penY;
        penX += width + kGap;
        shelfHeight = std::max(shelfHeight, height);
        return true;
    }
    uint32_t UsedHeight() const { return static_cast<uint32_t>(penY + shelfHeight + kGap); }

private:
    int penX = kGap;
    int penY = kGap;
    int shelfHeight = 0;
};

struct GlyphBitmap {
    BakedGlyph glyph;
    std::vector<uint8_t> pixels;
};

bool RenderGlyphs(const FontFace& face, const FontRecipe& recipe, float ascender, std::vector<GlyphBitmap>& out) {
    for (char32_t c = recipe.first; c <= recipe.last; ++c) {
        if (!face.RenderGlyph(c)) {
            std::cerr << "Font " << recipe.fontFile << " has no glyph for code point " << static_cast<uint32_t>(c)
                      << "\n";
            return false;
        }
        const FT_GlyphSlot slot = face.Face()->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        GlyphBitmap g;
        g.glyph.codePoint = c;
        g.glyph.width = static_cast<int32_t>(bitmap.width);
        g.glyph.height = static_cast<int32_t>(bitmap.rows);
        g.glyph.offsetX = static_cast<float>(slot->bitmap_left);
        g.glyph.offsetY = ascender - static_cast<float>(slot->bitmap_top);
        g.glyph.advance = static_cast<float>(slot->advance.x) / 64.0f;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const uint8_t* line = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
            g.pixels.insert(g.pixels.end(), line, line + bitmap.width);
        }
        out.push_back(std::move(g));
    }
    return true;
}

bool PackAtlas(std::vector<GlyphBitmap>& glyphs, BakedFont& font) {
    ShelfPacker packer;
    for (GlyphBitmap& g : glyphs) {
        BakedGlyph& glyph = g.glyph;
        if (glyph.width == 0 || glyph.height == 0) {
            glyph.x = glyph.y = 0;
            glyph.width = glyph.height = 1;
            glyph.offsetX = glyph.offsetY = 0;
            continue;
        }
        if (!packer.Place(glyph.width, glyph.height, glyph.x, glyph.y))
            return false;
    }
    font.atlasWidth = kAtlasWidth;
    font.atlasHeight = packer.UsedHeight();
    font.atlas.assign(static_cast<size_t>(font.atlasWidth) * font.atlasHeight, 0);
    for (const GlyphBitmap& g : glyphs) {
        for (size_t i = 0; i < g.pixels.size(); ++i) {
            const size_t row = i / static_cast<size_t>(g.glyph.width);
            const size_t column = i % static_cast<size_t>(g.glyph.width);
            font.atlas[(g.glyph.y + row) * font.atlasWidth + g.glyph.x + column] = g.pixels[i];
        }
        font.glyphs.push_back(g.glyph);
    }
    return font.atlasHeight <= 4096;
}

}  // namespace

bool BakeFont(const FontRecipe& recipe, BakedFont& font) {
    FontFace face;
    if (!face.Load(recipe.fontFile) || !face.SetPixelHeight(recipe.pixelHeight))
        return false;
    const FT_Size_Metrics& metrics = face.Face()->size->metrics;
    const float ascender = std::ceil(static_cast<float>(metrics.ascender) / 64.0f);

    font = BakedFont{};
    font.lineSpacing = static_cast<float>(metrics.height) / 64.0f;
    font.defaultCharacter = recipe.defaultCharacter;
    std::vector<GlyphBitmap> glyphs;
    if (!RenderGlyphs(face, recipe, ascender, glyphs))
        return false;
    if (!PackAtlas(glyphs, font)) {
        std::cerr << "Glyphs of " << recipe.fontFile << " do not fit an atlas\n";
        return false;
    }
    return true;
}
