#pragma once

#include <array>

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "game/effects/C_EffectQuad.h"

class C_Game;

// The flash at the left-arm gun: four flame petals turned at random angles about the barrel and
// a star, following the arm and fading out together over nine drawn frames.
class C_GunMuzzleFlash {
public:
    static constexpr int kPetals = 4;

    C_GunMuzzleFlash();
    virtual ~C_GunMuzzleFlash() = default;

    virtual bool Update(C_Game& game);
    void Draw() const;

    float Alpha() const { return alpha; }
    const Matrix& StarWorld() const { return starWorld; }

protected:
    // Places the petals `petalDistance` and the star `starDistance` along `arm`'s z axis.
    void Place(const Matrix& arm, float petalDistance, float starDistance);
    // Fades and rewrites the quads; false once the flash has faded out.
    bool Fade();

private:
    FwTexture flameTexture;
    FwTexture starTexture;
    std::array<C_EffectQuad, kPetals> petalQuads;
    std::array<Matrix, kPetals> petalWorlds;
    C_EffectQuad starQuad;
    Matrix starWorld;
    std::array<Matrix, kPetals> petalFrames;
    std::array<Matrix, kPetals> petalRotations;
    float alpha = 1.0f;
};
