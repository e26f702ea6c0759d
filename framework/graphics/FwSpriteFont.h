#pragma once

// A sprite font: glyph rectangles in an 8-bit coverage atlas, read from a "QFNT" file (the format
// is described in docs/sprite-font.md). Every field is checked: a truncated or inconsistent file
// is refused as a whole.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "framework/graphics/FwTexture.h"

struct FwGlyph {
    uint32_t codePoint = 0;
    int32_t x = 0;  // atlas rectangle in pixels
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    float offsetX = 0.0f;  // from the pen (top of the line) to the rectangle's top-left, y down
    float offsetY = 0.0f;
    float advance = 0.0f;
};

struct FwSpriteFontData {
    float lineSpacing = 0.0f;
    uint32_t defaultCharacter = 0;  // 0: glyphs that are missing are skipped
    std::vector<FwGlyph> glyphs;    // ascending by code point
    uint32_t atlasWidth = 0;
    uint32_t atlasHeight = 0;
    std::vector<uint8_t> atlas;  // row 0 at the top
};

// Reads a whole font file; on failure error says what is wrong and font is left unspecified.
bool FwParseSpriteFont(std::span<const uint8_t> bytes, FwSpriteFontData& font, std::string& error);

class FwSpriteFont {
public:
    // The path is resolved against the content root; failures are reported on standard error.
    bool Load(const std::string& path);
    void Release();

    bool Loaded() const { return atlas.ShaderResourceView() != 0; }
    // The glyph of a code point, else the default character's, else nullptr.
    const FwGlyph* FindGlyph(uint32_t codePoint) const;
    float LineSpacing() const { return lineSpacing; }
    const FwTexture& Atlas() const { return atlas; }

private:
    float lineSpacing = 0.0f;
    uint32_t defaultCharacter = 0;
    std::vector<FwGlyph> glyphs;
    FwTexture atlas;
};
