#pragma once

// Writes 16-bit PCM WAV files.

#include "tools/content/SoundsSynth.h"

#include <string>
#include <vector>

// One signal per channel (1 = mono, 2 = stereo), samples in -1..1; a shorter channel ends in silence.
bool WriteWav(const std::string& path, const std::vector<Signal>& channels);
