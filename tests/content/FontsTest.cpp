// The generated sprite fonts, read with the game's own font parser.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/graphics/FwSpriteFont.h"

namespace {

bool ReadFont(const std::string& name, FwSpriteFontData& font, std::string& error) {
    std::ifstream file(std::string(QUARNEL_BUILD_DIR) + "/Data/Font/" + name, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    return FwParseSpriteFont(bytes, font, error);
}

const FwGlyph* Find(const FwSpriteFontData& font, uint32_t codePoint) {
    for (const FwGlyph& glyph : font.glyphs)
        if (glyph.codePoint == codePoint)
            return &glyph;
    return nullptr;
}

int Ink(const FwSpriteFontData& font, const FwGlyph& glyph) {
    int ink = 0;
    for (int y = glyph.y; y < glyph.y + glyph.height; ++y)
        for (int x = glyph.x; x < glyph.x + glyph.width; ++x)
            ink += font.atlas[y * font.atlasWidth + x] > 64 ? 1 : 0;
    return ink;
}

struct FontCase {
    const char* name;
    float lineLow, lineHigh;  // pixels from one baseline to the next
    bool monospaced;
};

class SpriteFont : public testing::TestWithParam<FontCase> {};

TEST_P(SpriteFont, ParsesAndCoversPrintableAsciiWithADefaultCharacter) {
    FwSpriteFontData font;
    std::string error;
    ASSERT_TRUE(ReadFont(GetParam().name, font, error)) << error;
    for (uint32_t c = 32; c <= 126; ++c)
        EXPECT_NE(Find(font, c), nullptr) << "code point " << c;
    EXPECT_NE(font.defaultCharacter, 0u);
    EXPECT_GE(font.lineSpacing, GetParam().lineLow);
    EXPECT_LE(font.lineSpacing, GetParam().lineHigh);
}

TEST_P(SpriteFont, GlyphsHaveInkAndSitOnOneBaselineWithinTheLine) {
    FwSpriteFontData font;
    std::string error;
    ASSERT_TRUE(ReadFont(GetParam().name, font, error)) << error;
    ASSERT_EQ(Ink(font, *Find(font, ' ')), 0);
    const FwGlyph& h = *Find(font, 'H');
    const float baseline = h.offsetY + h.height;
    for (const char c : std::string("ABEHXZ0123456789")) {
        const FwGlyph& glyph = *Find(font, c);
        EXPECT_GT(Ink(font, glyph), glyph.width * glyph.height / 5) << c;
        EXPECT_NEAR(glyph.offsetY + glyph.height, baseline, 1.0f) << c << " is off the baseline";
        EXPECT_GE(glyph.offsetY, 0.0f) << c << " pokes above the line";
    }
    const FwGlyph& g = *Find(font, 'g');
    EXPECT_GT(g.offsetY + g.height, baseline) << "descender below the baseline";
    EXPECT_LE(g.offsetY + g.height, font.lineSpacing + 1.0f) << "descender inside the line";
    EXPECT_LT(Find(font, 'x')->height, h.height);

    const float advance = Find(font, 'i')->advance;
    EXPECT_GT(advance, 0.0f);
    if (GetParam().monospaced) {
        for (uint32_t c = 32; c <= 126; ++c)
            EXPECT_EQ(Find(font, c)->advance, advance) << "code point " << c;
    } else {
        EXPECT_GT(Find(font, 'W')->advance, advance);
    }
}

// 8 and 12 point at 96 dots per inch are about 11 and 16 pixels; the small one types program text.
INSTANTIATE_TEST_SUITE_P(Content, SpriteFont,
                         testing::Values(FontCase{"SpriteFont_8.dat", 11.0f, 16.0f, true},
                                         FontCase{"SpriteFont_12.dat", 16.0f, 24.0f, false}));

}  // namespace
