#pragma once

#include <array>

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "game/effects/C_EffectQuad.h"

// Ten sparks flying apart in random directions from where a player bullet struck an enemy,
// fading out together over 20 drawn frames.
class C_HitEffect {
public:
    static constexpr int kSparks = 10;

    C_HitEffect(const Vector3& hitPoint, const Vector3& normal);
    virtual ~C_HitEffect() = default;

    virtual bool Update();
    void Draw() const;

    float Alpha() const { return alpha; }

private:
    std::array<C_EffectQuad, kSparks> quads;
    FwTexture texture;
    std::array<Matrix, kSparks> sparkWorlds;
    std::array<Vector3, kSparks> sparkDirections;
    std::array<Vector3, kSparks> sparkPositions;
    std::array<Matrix, kSparks> sparkTranslations;
    float alpha = 1.0f;
};
