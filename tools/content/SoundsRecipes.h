#pragma once

// The game's sound effects, one recipe each. A sound is one signal per channel: mono for
// everything the game places in 3D.

#include "tools/content/SoundsSynth.h"

#include <vector>

using Sound = std::vector<Signal>;

// Weapons and hits.
Sound GunShot();       // the player's left-arm gun
Sound BeamShot();      // the player's right-arm beam
Sound EnemyShot();     // an enemy's charged shot
Sound Charge();        // an enemy charging, about a quarter second
Sound BulletImpact();  // a player bullet striking something
Sound BeamHit();       // the beam striking an enemy
Sound Ricochet();      // the beam bouncing off a wall
Sound Damage();        // an enemy shot hitting the player

// Blasts and electricity.
Sound Explosion();         // an enemy's final explosion
Sound SmallExplosion();    // the small blasts while an enemy topples
Sound BreakerExplosion();  // a breaker blowing up
Sound BreakerHit();        // a shot into a breaker: sparks and buzz

// Machines. The tread and toppling sounds restart every frame while they last, so they are
// at full level from their first sample.
Sound Treads();
Sound Toppling();
Sound ElevatorDoor();
Sound ElevatorRise();

// Title and interface.
Sound Typing();  // keyboard clatter, about two seconds
Sound Chime();   // the title appearing
Sound Jingle();  // the title tune, stereo
Sound Click();   // a press accepted
Sound PickUp();  // the gun arm picked up
