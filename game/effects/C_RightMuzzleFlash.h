#pragma once

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "game/effects/C_EffectQuad.h"

class C_Game;

// The flame at the beam cannon of the right arm: it grows from 1.0 to 1.8 times its size over
// nine drawn frames without fading, 5 units along the arm.
class C_RightMuzzleFlash {
public:
    explicit C_RightMuzzleFlash(C_Game* game);

    bool Update();
    void Draw() const;

    float Scale() const { return scale; }
    const Matrix& World() const { return world; }

private:
    C_Game* game;
    C_EffectQuad quad;
    FwTexture texture;
    Matrix world;
    Matrix armFrame;
    float scale = 1.0f;
};
