#include "tools/content/FontsFace.h"

#include <iostream>

FontFace::~FontFace() {
    if (face)
        FT_Done_Face(face);
    if (library)
        FT_Done_FreeType(library);
}

bool FontFace::Load(const std::string& fileName) {
    const std::string path = kDejaVuFolder + fileName;
    if (!library && FT_Init_FreeType(&library) != 0) {
        std::cerr << "FreeType could not start\n";
        return false;
    }
    if (face) {
        FT_Done_Face(face);
        face = nullptr;
    }
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        face = nullptr;
        std::cerr << "Cannot open font " << path << " (package fonts-dejavu-core)\n";
        return false;
    }
    return true;
}

bool FontFace::SetPixelHeight(int pixels) {
    return face && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) == 0;
}

bool FontFace::RenderGlyph(char32_t codePoint) const {
    if (!face)
        return false;
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0)
        return false;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    return bitmap.width == 0 || bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
}
