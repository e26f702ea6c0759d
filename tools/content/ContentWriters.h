#pragma once

// The content generator's parts. Each writes its share of the content tree below `root` and
// returns false (after saying why on standard error) if a file could not be written.

#include <string>

bool WriteModels(const std::string& root);    // every glTF model with its buffers and textures
bool WriteLevel(const std::string& root);     // the five TxtData level files and the route
bool WritePictures(const std::string& root);  // 2D pictures and effect textures under Data/Texture
bool WriteSounds(const std::string& root);    // every WAV under Data/Sound
bool WriteFonts(const std::string& root);     // the two sprite-font files under Data/Font
bool WriteIcons(const std::string& root);     // the desktop icon under icons/hicolor, not read by the game
