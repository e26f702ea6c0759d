#pragma once

// One FreeType face loaded from a DejaVu font file, shared by the sprite-font baker and the
// lettering of the title and end pictures.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

inline const std::string kDejaVuFolder = "/usr/share/fonts/truetype/dejavu/";

class FontFace {
public:
    FontFace() = default;
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;
    ~FontFace();

    // Opens a file of kDejaVuFolder (e.g. "DejaVuSans-Bold.ttf").
    bool Load(const std::string& fileName);
    bool SetPixelHeight(int pixels);
    // Renders one character as 8-bit coverage into the face's glyph slot.
    bool RenderGlyph(char32_t codePoint) const;

    FT_Face Face() const { return face; }

private:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};
