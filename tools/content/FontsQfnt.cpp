#include "tools/content/FontsQfnt.h"

#include "tools/content/BinaryWriter.h"

bool WriteQfnt(const BakedFont& font, const std::string& path) {
    BinaryWriter out;
    out.Tag("QFNT");
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
    return out.Save(path);
}
