#pragma once

// Lettering pictures of the title and the two end screens.

#include "tools/content/PicturesCanvas.h"

bool TitlePicture(Canvas& picture);     // the game's name
bool ClickPicture(Canvas& picture);     // the prompt under it
bool EndingPicture(Canvas& picture);    // shown when the elevator is reached
bool GameOverPicture(Canvas& picture);  // shown when the player is destroyed
