#pragma once

// The explosion atlas: 8 by 8 cells of 32 pixels. Cell 0 is empty (the animation never shows
// it); cells 1 to 63 are the frames of one explosion, a white flash swelling into a fireball
// that cools into grey smoke. The breakers' smoke puffs use cell 25, the first all-smoke frame.

#include "tools/content/PicturesCanvas.h"

constexpr int kSmokeCell = 32;
constexpr int kSmokeColumns = 8;

bool SmokeAtlas(Canvas& picture);
