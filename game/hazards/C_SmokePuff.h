#pragma once

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "game/effects/C_EffectQuad.h"

class C_Game;

// A puff of smoke rising beside a broken breaker: it grows to 10 by 10 in 50 frames, fades out in
// 100 and rises 0.05 a frame until it reaches the height 30, where it is removed.
class C_SmokePuff {
public:
    explicit C_SmokePuff(const Vector3& breakerPosition);

    bool Update();
    void Draw() const;

    const Matrix& World() const { return world; }
    float Alpha() const { return alpha; }

private:
    C_EffectQuad quad;
    FwTexture texture;
    Matrix world;
    Matrix base;
    int atlasCell = 25;
    float halfSize = 0.0f;
    float rise = 0.0f;
    float alpha = 1.0f;
};
