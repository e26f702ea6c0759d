#include "game/player/C_BeamImpact.h"

#include <algorithm>

#include "framework/math/FwRandom.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"

namespace {

constexpr float kGrowPerFrame = 0.01f;
constexpr float kMaxHalfSize = 4.0f;
constexpr float kFadePerFrame = 0.04f;

}  // namespace

C_BeamImpact::C_BeamImpact(C_Game* game, const Vector3& point) : game(game) {
    const C_Player& player = *game->player;
    base = Matrix::CreateRotationX(player.pitch * Math::kDegToRad) *
           Matrix::CreateRotationY(player.yaw * Math::kDegToRad) * Matrix::CreateTranslation(point);
    lightWorld = base;
    lightTexture.Load("Data/Texture/light.png");
    rayTexture.Load("Data/Texture/laser.png");
    for (Matrix& rotation : rayRotations) {
        rotation = Matrix::CreateRotationZ(static_cast<float>(FwRand() % 360) * Math::kDegToRad);
    }
}

bool C_BeamImpact::Update() {
    for (int i = 0; i < kRays; ++i) {
        rayWorlds[i] = rayRotations[i] * base;
    }
    lightHalfSize = std::min(lightHalfSize + kGrowPerFrame, kMaxHalfSize);
    alpha -= kFadePerFrame;
    if (alpha <= 0.0f) {
        alpha = 0.0f;
        return false;
    }
    const Color color(1.0f, 1.0f, 1.0f, alpha);
    lightQuad.WriteRect(lightHalfSize, lightHalfSize, Vector2(0.0f, 0.0f), Vector2(1.0f, 1.0f), color);
    // Each ray is a strip from the centre outwards along x.
    for (C_EffectQuad& quad : rayQuads) {
        quad.Write({{
            {Vector3(0.0f, 1.0f, 0.0f), Vector2(0.0f, 0.0f), color},
            {Vector3(1.0f, 1.0f, 0.0f), Vector2(1.0f, 0.0f), color},
            {Vector3(0.0f, -1.0f, 0.0f), Vector2(0.0f, 1.0f), color},
            {Vector3(1.0f, -1.0f, 0.0f), Vector2(1.0f, 1.0f), color},
        }});
    }
    return true;
}

void C_BeamImpact::Draw() const {
    for (int i = 0; i < kRays; ++i) {
        rayQuads[i].Draw(rayTexture, rayWorlds[i]);
    }
    lightQuad.Draw(lightTexture, lightWorld);
}
