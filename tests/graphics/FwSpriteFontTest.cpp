#include <epoxy/gl.h>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwSpriteFont.h"
#include "tests/graphics/GraphicsFixture.h"
#include "tests/graphics/SpriteFontFile.h"

namespace {

struct Corruption {
    const char* what;
    std::function<void(FwSpriteFontData&, std::vector<uint8_t>&)> apply;
    const char* error;
};

std::vector<uint8_t> Reserialize(const FwSpriteFontData& font) { return SerializeSpriteFont(font); }

TEST(SpriteFontFile, EveryInconsistencyIsRefusedWithItsReason) {
    const Corruption cases[] = {
        {"magic", [](FwSpriteFontData&, std::vector<uint8_t>& b) { b[0] = 'X'; }, "bad magic"},
        {"version", [](FwSpriteFontData&, std::vector<uint8_t>& b) { b[4] = 2; }, "unsupported version 2"},
        {"no glyphs",
         [](FwSpriteFontData& f, std::vector<uint8_t>& b) {
             f.glyphs.clear();
             b = Reserialize(f);
         },
         "glyph count 0"},
        {"spacing",
         [](FwSpriteFontData& f, std::vector<uint8_t>& b) {
             f.lineSpacing = std::numeric_limits<float>::quiet_NaN();
             b = Reserialize(f);
         },
         "line spacing"},
        {"unsorted",
         [](FwSpriteFontData& f, std::vector<uint8_t>& b) {
             std::swap(f.glyphs[0], f.glyphs[1]);
             b = Reserialize(f);
         },
         "strictly ascending"},
        {"duplicate",
         [](FwSpriteFontData& f, std::vector<uint8_t>& b) {
             f.glyphs[2].codePoint = f.glyphs[1].codePoint;
             b = Reserialize(f);
         },
         "strictly ascending"},
        {"outside",
         [](FwSpriteFontData& f, std::vector<uint8_t>& b) {
             f.glyphs[2].x = 14;
             b = Reserialize(f);
         },
         "outside the atlas"},
        {"negative",
         [](FwSpriteFontData& f, std::vector<uint8_t>& b) {
             f.glyphs[1].width = -1;
             b = Reserialize(f);
         },
         "outside the atlas"},
        {"default",
         [](FwSpriteFontData& f, std::vector<uint8_t>& b) {
             f.defaultCharacter = '?';
             b = Reserialize(f);
         },
         "default character"},
        {"atlas size",
         [](FwSpriteFontData& f, std::vector<uint8_t>& b) {
             f.atlasWidth = 5000;
             b = Reserialize(f);
         },
         "out of range 1..4096"},
        {"trailing", [](FwSpriteFontData&, std::vector<uint8_t>& b) { b.push_back(0); }, "1 bytes follow the atlas"},
        {"huge count",
         [](FwSpriteFontData&, std::vector<uint8_t>& b) {
             b[16] = 0xFF;
             b[17] = 0xFF;
             b[18] = 0;
         },
         "truncated: glyph table"},
    };
    for (const Corruption& corruption : cases) {
        FwSpriteFontData font = BoxFont();
        std::vector<uint8_t> bytes = SerializeSpriteFont(font);
        corruption.apply(font, bytes);
        FwSpriteFontData parsed;
        std::string error;
        EXPECT_FALSE(FwParseSpriteFont(bytes, parsed, error)) << corruption.what;
        EXPECT_NE(error.find(corruption.error), std::string::npos) << corruption.what << ": " << error;
    }
}

TEST(SpriteFontFile, EveryTruncationIsRefusedAndTheWholeFileRead) {
    const std::vector<uint8_t> bytes = SerializeSpriteFont(BoxFont('A'));
    for (size_t length = 0; length < bytes.size(); ++length) {
        FwSpriteFontData parsed;
        std::string error;
        EXPECT_FALSE(FwParseSpriteFont(std::span(bytes.data(), length), parsed, error)) << length;
        EXPECT_FALSE(error.empty());
    }
    FwSpriteFontData parsed;
    std::string error;
    ASSERT_TRUE(FwParseSpriteFont(bytes, parsed, error)) << error;
    EXPECT_EQ(parsed.glyphs.size(), 3u);
    EXPECT_EQ(parsed.defaultCharacter, static_cast<uint32_t>('A'));
    EXPECT_EQ(parsed.glyphs[2].offsetY, 2.0f);
    EXPECT_EQ(parsed.atlas[0], 255);
}

class SpriteFontTest : public GraphicsTest {
protected:
    static FwSpriteFont LoadFont(const FwSpriteFontData& data) {
        const std::string path = ::testing::TempDir() + "font.dat";
        EXPECT_TRUE(WriteBytes(path, SerializeSpriteFont(data)));
        FwSpriteFont font;
        EXPECT_TRUE(font.Load(path));
        std::remove(path.c_str());
        return font;
    }
    static FwSpriteShader& Sprites() { return FwShaderManager::GetInstance().spriteShader; }
    static void ExpectBounds(int x0, int y0, int x1, int y1) {
        int bx0 = 0, by0 = 0, bx1 = 0, by1 = 0;
        ASSERT_TRUE(BackBufferImage().Bounds({0, 0, 0, 255}, bx0, by0, bx1, by1));
        EXPECT_EQ(bx0, x0);
        EXPECT_EQ(by0, y0);
        EXPECT_EQ(bx1, x1);
        EXPECT_EQ(by1, y1);
    }
};

TEST_F(SpriteFontTest, TextAtTheOriginStartsAtTheScreenCentre) {
    const FwSpriteFont font = LoadFont(BoxFont());
    Sprites().DrawFont(&font, 0.0f, 0.0f, "A", Color(1, 1, 1, 1));
    ExpectBounds(640, 360, 648, 372);
}

TEST_F(SpriteFontTest, GlyphsFollowOffsetsAdvancesAndLineFeeds) {
    const FwSpriteFont font = LoadFont(BoxFont());
    Sprites().DrawFont(&font, -100.0f, 100.0f, " B\nA", Color(0, 1, 0.5f, 1));
    // ' ' advances 5, 'B' sits at (+1, +2); the second line starts 20 pixels lower.
    ExpectBounds(540, 262, 550, 292);
    const BackBufferImage image;
    EXPECT_TRUE(image.RegionIs(546, 262, 550, 266, {0, 255, 128, 255}));
    EXPECT_TRUE(image.RegionIs(540, 280, 548, 292, {0, 255, 128, 255}));
}

TEST_F(SpriteFontTest, MissingGlyphsAreSkippedOrDrawnAsTheDefault) {
    const FwSpriteFont plain = LoadFont(BoxFont());
    Sprites().DrawFont(&plain, 0.0f, 0.0f,
                       "\xE3\x81\x82Z\xFF"
                       "A",
                       Color(1, 1, 1, 1));
    ExpectBounds(640, 360, 648, 372);

    SetUp();
    const FwSpriteFont withDefault = LoadFont(BoxFont('B'));
    Sprites().DrawFont(&withDefault, 0.0f, 0.0f, "ZA", Color(1, 1, 1, 1));
    ExpectBounds(641, 360, 654, 372);
}

TEST_F(SpriteFontTest, DrawTextBlendsWithTheBoundStateAndBothRestoreIt) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    FwDeviceContext& context = d3d.Context();
    const FwBlendStatePtr opaque = d3d.CreateBlendState(FwBlendMode::Opaque);
    context.SetBlendState(opaque, Color(0, 0, 0, 0), 0xFFFFFFFF);
    const FwSpriteFont font = LoadFont(BoxFont());
    FwShaderManager::GetInstance().effectShader.SetToDevice();
    const FwShaderProgram* program = context.Program();

    Sprites().DrawText(&font, 0.0f, 0.0f, "A", Color(1, 1, 1, 0.5f));
    EXPECT_TRUE(SameColor(BackBufferImage().At(644, 366), {255, 255, 255, 128}));
    Sprites().DrawFont(&font, 100.0f, 0.0f, "A", Color(1, 1, 1, 0.5f));
    EXPECT_TRUE(SameColor(BackBufferImage().At(744, 366), {128, 128, 128, 255}));

    EXPECT_EQ(context.BlendState(), opaque);
    EXPECT_EQ(context.Program(), program);
    GLboolean blending = GL_TRUE;
    glGetBooleanv(GL_BLEND, &blending);
    EXPECT_EQ(blending, GL_TRUE);
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &source);
    EXPECT_EQ(source, GL_ONE);
}

TEST_F(SpriteFontTest, ABakedFontDrawsTheVersionTextInTheLowerRightCorner) {
    FwSpriteFontData data;
    ASSERT_TRUE(BakeDejaVu(12, data));
    const FwSpriteFont font = LoadFont(data);
    ASSERT_TRUE(font.Loaded());
    Sprites().Begin(false, true);
    Sprites().DrawText(&font, 570.0f, -338.0f, "Ver.1.00", Color(1, 1, 1, 1));
    Sprites().End();
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_TRUE(BackBufferImage().Bounds({0, 0, 0, 255}, x0, y0, x1, y1));
    EXPECT_GE(x0, 1210);
    EXPECT_LE(x0, 1212);
    EXPECT_GE(y0, 698);
    EXPECT_LE(y1, 714);
    // Eight monospaced characters of about 7 pixels.
    EXPECT_GT(x1 - x0, 45);
    EXPECT_LT(x1 - x0, 60);
}

TEST_F(SpriteFontTest, UnreadableFilesLeaveTheFontEmpty) {
    FwSpriteFont font;
    EXPECT_FALSE(font.Load(::testing::TempDir() + "no-such-font.dat"));
    std::vector<uint8_t> bytes = SerializeSpriteFont(BoxFont());
    bytes.pop_back();
    const std::string path = ::testing::TempDir() + "truncated-font.dat";
    ASSERT_TRUE(WriteBytes(path, bytes));
    EXPECT_FALSE(font.Load(path));
    EXPECT_FALSE(font.Loaded());
    Sprites().DrawFont(&font, 0.0f, 0.0f, "A", Color(1, 1, 1, 1));
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    EXPECT_FALSE(BackBufferImage().Bounds({0, 0, 0, 255}, x0, y0, x1, y1));
    std::remove(path.c_str());
}

}  // namespace
