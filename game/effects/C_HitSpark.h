#pragma once

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "game/effects/C_EffectQuad.h"

class C_Game;

// The flash where an enemy shot struck the player: a quad that faces the camera and fades out
// over 28 drawn frames.
class C_HitSpark {
public:
    explicit C_HitSpark(const Vector3& hitPoint);

    bool Update();
    void Draw() const;

    float Alpha() const { return alpha; }

private:
    C_EffectQuad quad;
    FwTexture texture;
    Matrix world;
    Matrix translation;
    Matrix facing;
    float alpha = 1.0f;
    float halfSize = 1.0f;
};
