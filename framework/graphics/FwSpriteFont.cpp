#include "framework/graphics/FwSpriteFont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "framework/platform/FwPath.h"

namespace {

constexpr char kMagic[4] = {'Q', 'F', 'N', 'T'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kMaxGlyphs = 65536;
constexpr uint32_t kMaxAtlasSize = 4096;
constexpr uint32_t kMaxCodePoint = 0x10FFFF;
constexpr size_t kGlyphRecordSize = 36;

// Little-endian reads that fail instead of running past the end.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes(bytes) {}

    bool U32(uint32_t& value) {
        if (Remaining() < 4) {
            return false;
        }
        value = uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
                uint32_t{bytes[at + 3]} << 24;
        at += 4;
        return true;
    }
    bool I32(int32_t& value) {
        uint32_t raw = 0;
        const bool read = U32(raw);
        value = static_cast<int32_t>(raw);
        return read;
    }
    bool F32(float& value) {
        uint32_t raw = 0;
        const bool read = U32(raw);
        std::memcpy(&value, &raw, sizeof(value));
        return read && std::isfinite(value);
    }
    size_t Remaining() const { return bytes.size() - at; }
    size_t Offset() const { return at; }
    std::span<const uint8_t> Take(size_t count) {
        const std::span<const uint8_t> taken = bytes.subspan(at, count);
        at += count;
        return taken;
    }

private:
    std::span<const uint8_t> bytes;
    size_t at = 0;
};

bool Fail(std::string& error, const std::string& what) {
    error = what;
    return false;
}

bool ReadGlyph(Reader& reader, FwGlyph& glyph) {
    return reader.U32(glyph.codePoint) && reader.I32(glyph.x) && reader.I32(glyph.y) && reader.I32(glyph.width) &&
           reader.I32(glyph.height) && reader.F32(glyph.offsetX) && reader.F32(glyph.offsetY) &&
           reader.F32(glyph.advance);
}

bool InsideAtlas(const FwGlyph& glyph, uint32_t atlasWidth, uint32_t atlasHeight) {
    return glyph.x >= 0 && glyph.y >= 0 && glyph.width >= 0 && glyph.height >= 0 &&
           int64_t{glyph.x} + glyph.width <= int64_t{atlasWidth} &&
           int64_t{glyph.y} + glyph.height <= int64_t{atlasHeight};
}

bool ReadHeader(Reader& reader, FwSpriteFontData& font, uint32_t& glyphCount, std::string& error) {
    if (reader.Remaining() < sizeof(kMagic)) {
        return Fail(error, "truncated: no magic");
    }
    const std::span<const uint8_t> magic = reader.Take(sizeof(kMagic));
    if (std::memcmp(magic.data(), kMagic, sizeof(kMagic)) != 0) {
        return Fail(error, "bad magic (not a QFNT file)");
    }
    uint32_t version = 0;
    if (!reader.U32(version)) {
        return Fail(error, "truncated: no version");
    }
    if (version != kVersion) {
        return Fail(error, "unsupported version " + std::to_string(version));
    }
    if (reader.Remaining() < 4) {
        return Fail(error, "truncated: no line spacing");
    }
    if (!reader.F32(font.lineSpacing)) {
        return Fail(error, "line spacing is not a finite number");
    }
    if (!reader.U32(font.defaultCharacter) || !reader.U32(glyphCount)) {
        return Fail(error, "truncated: header ends early");
    }
    if (glyphCount < 1 || glyphCount > kMaxGlyphs) {
        return Fail(error, "glyph count " + std::to_string(glyphCount) + " is out of range 1..65536");
    }
    return true;
}

bool ReadGlyphs(Reader& reader, uint32_t glyphCount, FwSpriteFontData& font, std::string& error) {
    if (reader.Remaining() < size_t{glyphCount} * kGlyphRecordSize) {
        return Fail(error, "truncated: glyph table ends early");
    }
    font.glyphs.resize(glyphCount);
    for (uint32_t i = 0; i < glyphCount; ++i) {
        FwGlyph& glyph = font.glyphs[i];
        if (!ReadGlyph(reader, glyph)) {
            return Fail(error, "glyph " + std::to_string(i) + " has a value that is not a finite number");
        }
        if (glyph.codePoint > kMaxCodePoint) {
            return Fail(error, "glyph " + std::to_string(i) + " has an invalid code point");
        }
        if (i > 0 && glyph.codePoint <= font.glyphs[i - 1].codePoint) {
            return Fail(error, "glyph " + std::to_string(i) + ": code points are not strictly ascending");
        }
    }
    return true;
}

bool ReadAtlas(Reader& reader, FwSpriteFontData& font, std::string& error) {
    if (!reader.U32(font.atlasWidth) || !reader.U32(font.atlasHeight)) {
        return Fail(error, "truncated: no atlas size");
    }
    if (font.atlasWidth < 1 || font.atlasWidth > kMaxAtlasSize || font.atlasHeight < 1 ||
        font.atlasHeight > kMaxAtlasSize) {
        return Fail(error, "atlas size " + std::to_string(font.atlasWidth) + "x" + std::to_string(font.atlasHeight) +
                               " is out of range 1..4096");
    }
    const size_t atlasBytes = size_t{font.atlasWidth} * font.atlasHeight;
    if (reader.Remaining() < atlasBytes) {
        return Fail(error, "truncated: atlas ends early");
    }
    if (reader.Remaining() > atlasBytes) {
        return Fail(error, std::to_string(reader.Remaining() - atlasBytes) + " bytes follow the atlas");
    }
    const std::span<const uint8_t> atlas = reader.Take(atlasBytes);
    font.atlas.assign(atlas.begin(), atlas.end());
    return true;
}

const FwGlyph* FindCodePoint(const std::vector<FwGlyph>& glyphs, uint32_t codePoint) {
    const auto found = std::lower_bound(glyphs.begin(), glyphs.end(), codePoint,
                                        [](const FwGlyph& glyph, uint32_t value) { return glyph.codePoint < value; });
    return found != glyphs.end() && found->codePoint == codePoint ? &*found : nullptr;
}

}  // namespace

bool FwParseSpriteFont(std::span<const uint8_t> bytes, FwSpriteFontData& font, std::string& error) {
    Reader reader(bytes);
    uint32_t glyphCount = 0;
    if (!ReadHeader(reader, font, glyphCount, error) || !ReadGlyphs(reader, glyphCount, font, error) ||
        !ReadAtlas(reader, font, error)) {
        return false;
    }
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        if (!InsideAtlas(font.glyphs[i], font.atlasWidth, font.atlasHeight)) {
            return Fail(error, "glyph " + std::to_string(i) + " lies outside the atlas");
        }
    }
    if (font.defaultCharacter != 0 && FindCodePoint(font.glyphs, font.defaultCharacter) == nullptr) {
        return Fail(error, "the default character has no glyph");
    }
    return true;
}

bool FwSpriteFont::Load(const std::string& path) {
    Release();
    std::ifstream file(FwResolvePath(path), std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot open sprite font %s\n", path.c_str());
        return false;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    FwSpriteFontData font;
    std::string error;
    if (!FwParseSpriteFont(bytes, font, error)) {
        std::fprintf(stderr, "sprite font %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    if (!atlas.Create(font.atlasWidth, font.atlasHeight, FwFormat::R8_UNORM, 1, font.atlas.data())) {
        std::fprintf(stderr, "sprite font %s: cannot create the atlas texture\n", path.c_str());
        return false;
    }
    lineSpacing = font.lineSpacing;
    defaultCharacter = font.defaultCharacter;
    glyphs = std::move(font.glyphs);
    return true;
}

void FwSpriteFont::Release() {
    lineSpacing = 0.0f;
    defaultCharacter = 0;
    glyphs.clear();
    atlas.Release();
}

const FwGlyph* FwSpriteFont::FindGlyph(uint32_t codePoint) const {
    const FwGlyph* glyph = FindCodePoint(glyphs, codePoint);
    if (glyph == nullptr && defaultCharacter != 0) {
        glyph = FindCodePoint(glyphs, defaultCharacter);
    }
    return glyph;
}
