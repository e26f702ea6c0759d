#pragma once

// Writes a baked font as a "QFNT" sprite-font file (little-endian, version 1).

#include "tools/content/FontsBaker.h"

#include <string>

bool WriteQfnt(const BakedFont& font, const std::string& path);
