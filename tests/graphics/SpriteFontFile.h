#pragma once

// Test fonts: serialising a font to the "QFNT" file layout, a synthetic font of solid boxes and
// a font baked with FreeType from DejaVu.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/graphics/FwSpriteFont.h"

std::vector<uint8_t> SerializeSpriteFont(const FwSpriteFontData& font);
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// 'A': an 8x12 box at the pen, advance 10. 'B': a 4x4 box offset by (1, 2), advance 6.
// ' ': nothing drawn, advance 5. Line spacing 20.
FwSpriteFontData BoxFont(uint32_t defaultCharacter = 0);

// The printable ASCII glyphs of a DejaVu face at the given pixel height.
bool BakeDejaVu(int pixelHeight, FwSpriteFontData& font);
