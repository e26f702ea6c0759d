#include "game/effects/C_GunMuzzleFlash.h"

#include "framework/math/FwRandom.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"

namespace {

constexpr float kPetalOffset = -1.2f;
constexpr float kPetalDistance = 4.0f;
constexpr float kStarDistance = 3.9f;
constexpr float kFadePerFrame = 0.1f;

}  // namespace

C_GunMuzzleFlash::C_GunMuzzleFlash() {
    flameTexture.Load("Data/Texture/LeftMuzzleFlash.png");
    starTexture.Load("Data/Texture/Star.png");
    for (Matrix& rotation : petalRotations) {
        rotation = Matrix::CreateRotationZ(static_cast<float>(FwRand() % 360) * Math::kDegToRad);
    }
}

bool C_GunMuzzleFlash::Update(C_Game& game) {
    Place(game.player->leftArmWorld, kPetalDistance, kStarDistance);
    return Fade();
}

void C_GunMuzzleFlash::Place(const Matrix& arm, float petalDistance, float starDistance) {
    for (int i = 0; i < kPetals; ++i) {
        petalFrames[i] = petalRotations[i] * arm;
        petalWorlds[i] = Matrix::CreateTranslation(kPetalOffset, 0.0f, petalDistance) * petalFrames[i];
    }
    starWorld = Matrix::CreateTranslation(0.0f, 0.0f, starDistance) * arm;
}

bool C_GunMuzzleFlash::Fade() {
    if (alpha > 0.0f) {
        alpha -= kFadePerFrame;
    } else {
        alpha = 0.0f;
    }
    const Color color(1.0f, 1.0f, 1.0f, alpha);
    for (C_EffectQuad& quad : petalQuads) {
        quad.WriteRect(1.0f, 1.0f, Vector2(0.0f, 0.0f), Vector2(1.0f, 1.0f), color);
    }
    starQuad.WriteRect(1.0f, 1.0f, Vector2(0.0f, 0.0f), Vector2(1.0f, 1.0f), color);
    return alpha > 0.0f;
}

void C_GunMuzzleFlash::Draw() const {
    for (int i = 0; i < kPetals; ++i) {
        petalQuads[i].Draw(flameTexture, petalWorlds[i]);
    }
    starQuad.Draw(starTexture, starWorld);
}
