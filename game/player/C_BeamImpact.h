#pragma once

#include <array>

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "game/effects/C_EffectQuad.h"

class C_Game;

// The flash where a beam strikes an enemy: a growing light and five rays fanned at random angles
// about the aim, fading out over 24 drawn frames.
class C_BeamImpact {
public:
    static constexpr int kRays = 5;

    C_BeamImpact(C_Game* game, const Vector3& point);

    bool Update();
    void Draw() const;

    float Alpha() const { return alpha; }

private:
    C_Game* game;
    C_EffectQuad lightQuad;
    FwTexture lightTexture;
    Matrix lightWorld;
    float alpha = 1.0f;
    float lightHalfSize = 2.0f;
    // Faces back along the aim.
    Matrix base;
    std::array<C_EffectQuad, kRays> rayQuads;
    FwTexture rayTexture;
    std::array<Matrix, kRays> rayWorlds;
    std::array<Matrix, kRays> rayRotations;
};
