#pragma once

// Bakes a range of characters of a DejaVu font into one 8-bit coverage atlas with the glyph
// metrics a sprite-font file needs.

#include <cstdint>
#include <string>
#include <vector>

struct BakedGlyph {
    uint32_t codePoint = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;  // atlas rectangle
    float offsetX = 0, offsetY = 0;               // pen (top of the line) to the rectangle, y down
    float advance = 0;
};

struct BakedFont {
    float lineSpacing = 0;
    uint32_t defaultCharacter = 0;
    std::vector<BakedGlyph> glyphs;  // ascending code points
    uint32_t atlasWidth = 0;
    uint32_t atlasHeight = 0;
    std::vector<uint8_t> atlas;  // row 0 = top
};

struct FontRecipe {
    std::string fontFile;  // inside the DejaVu folder
    int pixelHeight = 0;
    char32_t first = U' ';
    char32_t last = U'~';
    char32_t defaultCharacter = U'?';
};

bool BakeFont(const FontRecipe& recipe, BakedFont& font);
