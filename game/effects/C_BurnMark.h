#pragma once

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "game/effects/C_EffectQuad.h"

// A scorch mark on the stage where a bullet or the beam touched it, lifted 0.1 off the surface.
// It lies flat on floors and ceilings and turns to face x on walls facing x; on any other surface
// it keeps facing z.
class C_BurnMark {
public:
    C_BurnMark(const Vector3& normal, const Vector3& hitPoint);

    void Draw() const;

    const Matrix& World() const { return world; }

private:
    C_EffectQuad quad;
    FwTexture texture;
    Matrix world;
};
