#pragma once

// Lettering for the title and end pictures: DejaVu text rendered with FreeType, then given an
// outline and a glow, centred on a transparent picture of a fixed size.

#include "tools/content/PicturesCanvas.h"

#include <string>
#include <vector>

struct TextLine {
    std::string text;
    float share;  // part of the picture's inner height that the line's letters may take
};

struct LetteringStyle {
    std::string fontFile;
    Rgba fillTop;
    Rgba fillBottom;
    Rgba outline;
    Rgba glow;
    int outlineWidth = 3;
    int glowRadius = 8;
    float glowStrength = 1.5f;
    float tracking = 0.0f;  // extra space between letters, as a part of the letter height
};

// False (after a message) when the font cannot be read or the text cannot fit.
bool Lettering(const std::vector<TextLine>& lines, const LetteringStyle& style, Canvas& picture);
