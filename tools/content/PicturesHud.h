#pragma once

// The pictures of the heads-up display and the full-screen fade.

#include "tools/content/PicturesCanvas.h"

bool GreenGaugeBar(Canvas& picture);
bool RedGaugeBar(Canvas& picture);
bool GaugeFrame(Canvas& picture);    // border only: the bar drawn before it shows through
bool SightingMark(Canvas& picture);  // crosshair at the screen centre
bool BlackScreen(Canvas& picture);
