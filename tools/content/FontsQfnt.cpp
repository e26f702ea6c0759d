#include "tools/content/FontsQfnt.h"

#include <bit>
#include <cstring>
#include <fstream>
#include <iostream>

namespace {

class LittleEndianWriter {
public:
    void U32(uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(value >> shift));
    }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void F32(float value) { U32(std::bit_cast<uint32_t>(value)); }
    void Raw(const void* data, size_t size)
    {
        const char* begin = static_cast<const char*>(data);
        bytes.insert(bytes.end(), begin, begin + size);
    }
    const std::string& Bytes() const { return bytes; }

private:
    std::string bytes;
};

}  // namespace

bool WriteQfnt(const BakedFont& font, const std::string& path)
{
    LittleEndianWriter out;
    out.Raw("QFNT", 4);
    out.U32(1);
    out.F32(font.lineSpacing);
    out.U32(font.defaultCharacter);
    out.U32(static_cast<uint32_t>(font.glyphs.size()));
    for (const BakedGlyph& glyph : font.glyphs) {
        out.U32(glyph.codePoint);
        out.I32(glyph.x);
        out.I32(glyph.y);
        out.I32(glyph.width);
        out.I32(glyph.height);
        out.F32(glyph.offsetX);
        out.F32(glyph.offsetY);
        out.F32(glyph.advance);
    }
    out.U32(font.atlasWidth);
    out.U32(font.atlasHeight);
    out.Raw(font.atlas.data(), font.atlas.size());

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(out.Bytes().data(), static_cast<std::streamsize>(out.Bytes().size()));
    if (!file) {
        std::cerr << "Cannot write " << path << "\n";
        return false;
    }
    return true;
}
