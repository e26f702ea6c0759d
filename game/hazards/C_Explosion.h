#pragma once

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "game/effects/C_EffectQuad.h"

// An animated explosion billboard: one cell of the smoke sheet a frame, cells 1 to 63, always
// facing the camera. Purely visual: it damages nothing.
class C_Explosion {
public:
    C_Explosion(const Vector3& position, const Vector2& halfSize);

    // False on the 64th update, once the last cell has been shown.
    bool Update();
    void Draw() const;

    int FrameCounter() const { return frameCounter; }

private:
    C_EffectQuad quad;
    FwTexture texture;
    Matrix world;
    Matrix placement;
    int frameCounter = 0;
    Vector2 halfSize;
};
