#pragma once

// GLSL sources of shaders/, built into the program at compile time.

#include <string_view>

// The text of one file of shaders/ by its file name ("standard.vert"), or nullptr.
const char* FwShaderSource(std::string_view fileName);
