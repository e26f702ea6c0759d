#pragma once

// Effect textures. The game draws them additively, so black is transparent: every texel holds
// its light as colour times intensity, with alpha rising with the intensity (Glow).

#include "tools/content/PicturesCanvas.h"

// Flame colours: white-hot at heat 1, through yellow and orange, to dark red at 0.
Rgba FireColour(float heat);

bool MuzzleFlashSheet(Canvas& picture);  // beam-arm flash; the game shows the top-left 64 by 64
bool FlamePetal(Canvas& picture);        // one flame tongue of the gun flash, base at the right
bool StarFlash(Canvas& picture);         // the star at the gun's barrel
bool ChargeRing(Canvas& picture);        // the ring an enemy charges its shot in
bool ImpactLight(Canvas& picture);       // soft light where the beam strikes
bool LaserBeam(Canvas& picture);         // a beam along u, its core across v at 0.5
bool BeamStreak(Canvas& picture);        // beam ribbon and spark: core across u, fading down v
bool HitFlash(Canvas& picture);          // burst where an enemy shot hits the player
bool BurnMark(Canvas& picture);          // glowing scorch left by shots on the stage
