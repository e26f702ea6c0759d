#pragma once

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"

// The game-over picture. The game updates it only once the player has no hit points left; it
// then fades in over 100 frames and a click on it returns to the title.
class C_GameOver {
public:
    C_GameOver();

    void Update();
    // Invisible until the first update raises its alpha.
    void Draw() const;

    float Alpha() const { return alpha; }

private:
    FwTexture texture;
    Matrix transform;
    float alpha = 0.0f;
};
