#pragma once

// The click that leaves the ending or game-over picture for a new title screen. A press counts
// only after the left button has been seen up at least once while the picture waits, so a button
// still held from play does not end the game; the latch is cleared at once, so one click makes
// exactly one title scene.
void C_ClickToTitle();
