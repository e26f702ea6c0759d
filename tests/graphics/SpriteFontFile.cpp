#include "tests/graphics/SpriteFontFile.h"

#include <cstring>
#include <fstream>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void PutF32(std::vector<uint8_t>& out, float value) {
    uint32_t raw = 0;
    std::memcpy(&raw, &value, sizeof(raw));
    PutU32(out, raw);
}

void FillBox(FwSpriteFontData& font, const FwGlyph& glyph) {
    for (int y = glyph.y; y < glyph.y + glyph.height; ++y) {
        for (int x = glyph.x; x < glyph.x + glyph.width; ++x) {
            font.atlas[static_cast<size_t>(y) * font.atlasWidth + static_cast<size_t>(x)] = 255;
        }
    }
}

}  // namespace

std::vector<uint8_t> SerializeSpriteFont(const FwSpriteFontData& font) {
    std::vector<uint8_t> out = {'Q', 'F', 'N', 'T'};
    PutU32(out, 1);
    PutF32(out, font.lineSpacing);
    PutU32(out, font.defaultCharacter);
    PutU32(out, static_cast<uint32_t>(font.glyphs.size()));
    for (const FwGlyph& glyph : font.glyphs) {
        PutU32(out, glyph.codePoint);
        PutU32(out, static_cast<uint32_t>(glyph.x));
        PutU32(out, static_cast<uint32_t>(glyph.y));
        PutU32(out, static_cast<uint32_t>(glyph.width));
        PutU32(out, static_cast<uint32_t>(glyph.height));
        PutF32(out, glyph.offsetX);
        PutF32(out, glyph.offsetY);
        PutF32(out, glyph.advance);
    }
    PutU32(out, font.atlasWidth);
    PutU32(out, font.atlasHeight);
    out.insert(out.end(), font.atlas.begin(), font.atlas.end());
    return out;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

FwSpriteFontData BoxFont(uint32_t defaultCharacter) {
    FwSpriteFontData font;
    font.lineSpacing = 20.0f;
    font.defaultCharacter = defaultCharacter;
    font.glyphs = {{' ', 0, 0, 0, 0, 0.0f, 0.0f, 5.0f},
                   {'A', 0, 0, 8, 12, 0.0f, 0.0f, 10.0f},
                   {'B', 8, 0, 4, 4, 1.0f, 2.0f, 6.0f}};
    font.atlasWidth = 16;
    font.atlasHeight = 16;
    font.atlas.assign(16 * 16, 0);
    FillBox(font, font.glyphs[1]);
    FillBox(font, font.glyphs[2]);
    return font;
}

bool BakeDejaVu(int pixelHeight, FwSpriteFontData& font) {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        return false;
    }
    bool baked = FT_New_Face(library, "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", 0, &face) == 0 &&
                 FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight)) == 0;
    font = FwSpriteFontData{};
    font.atlasWidth = 512;
    font.atlasHeight = 128;
    font.atlas.assign(size_t{font.atlasWidth} * font.atlasHeight, 0);
    const auto ascender = static_cast<float>(face != nullptr ? face->size->metrics.ascender >> 6 : 0);
    font.lineSpacing = static_cast<float>(face != nullptr ? face->size->metrics.height >> 6 : 0);
    font.defaultCharacter = '?';
    int penX = 0;
    int penY = 0;
    for (uint32_t c = 32; baked && c < 127; ++c) {
        baked = FT_Load_Char(face, c, FT_LOAD_RENDER) == 0;
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        const auto w = static_cast<int>(bitmap.width);
        const auto h = static_cast<int>(bitmap.rows);
        if (penX + w > static_cast<int>(font.atlasWidth)) {
            penX = 0;
            penY += pixelHeight + 2;
        }
        for (int y = 0; y < h; ++y) {
            std::memcpy(&font.atlas[static_cast<size_t>(penY + y) * font.atlasWidth + static_cast<size_t>(penX)],
                        bitmap.buffer + y * bitmap.pitch, static_cast<size_t>(w));
        }
        font.glyphs.push_back({c, penX, penY, w, h, static_cast<float>(face->glyph->bitmap_left),
                               ascender - static_cast<float>(face->glyph->bitmap_top),
                               static_cast<float>(face->glyph->advance.x >> 6)});
        penX += w + 1;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return baked;
}
