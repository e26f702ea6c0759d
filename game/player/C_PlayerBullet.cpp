#include "game/player/C_PlayerBullet.h"

#include <nlohmann/json.hpp>

#include "framework/audio/FwSoundCache.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwCollision.h"
#include "framework/model/FwDrawModel.h"
#include "game/effects/C_HitEffect.h"
#include "game/enemy/C_Enemy.h"
#include "game/hazards/C_Breaker.h"
#include "game/hazards/C_Drum.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "game/world/C_Stage.h"
#include "game/world/Snapshot.h"

namespace {

constexpr float kSpeed = 1.5f;
// Breakers stand 1.6 off their wall, so their rays reach farther than the drums'.
constexpr float kBreakerReach = 2.5f;

}  // namespace

C_PlayerBullet::C_PlayerBullet(C_Game* game, const Vector3& direction)
    : game(game),
      rotation(Matrix::CreateRotationX(game->player->pitch * Math::kDegToRad) *
               Matrix::CreateRotationY(game->player->yaw * Math::kDegToRad)),
      position(game->player->leftMuzzle.Translation()),
      direction(direction) {
    model.Load("Data/Bullet/PlayerBullet.gltf");
    impactInstance = Load3DSound("data/sound/shot.wav", 1.0f, impactSound);
    breakerSound = FwSoundCache::GetInstance().GetSound("data/sound/noise.wav");
    translation = Matrix::CreateTranslation(position);
    world = rotation * translation;
}

bool C_PlayerBullet::Update() {
    position += direction * kSpeed;

    float distance = 0.0f;
    Vector3 hitPoint;
    Vector3 normal;
    if (game->stage->HitTest(position, direction, distance, hitPoint, normal)) {
        game->AddBurnMark(normal, hitPoint);
        if (impactInstance) {
            impactInstance->Play3D(hitPoint, false, true);
        }
        return false;
    }
    for (const auto& enemy : game->enemies) {
        for (const C_EnemyPart& part : enemy->BodyHeadChest()) {
            if (FwRayToModelWithin(part.model, part.world, position, direction, reach, distance, normal)) {
                game->hitEffects.push_back(std::make_unique<C_HitEffect>(position + direction * distance, normal));
                if (impactInstance) {
                    impactInstance->Play3D(enemy->Position(), false, true);
                }
                enemy->Hit();
                return false;
            }
        }
    }
    for (const auto& breaker : game->breakers) {
        if (FwRayToModelWithin(breaker->Model(), breaker->World(), position, direction, kBreakerReach, distance,
                               normal)) {
            breaker->shot = true;
            PlaySoundOnce(breakerSound);
            return false;
        }
    }
    for (const auto& drum : game->drums) {
        if (FwRayToModelWithin(drum->Model(), drum->World(), position, direction, reach, distance, normal)) {
            if (impactInstance) {
                impactInstance->Play3D(drum->Position(), false, true);
            }
            return false;
        }
    }
    // Nothing stops a bullet that has gone out through an opening: it would fly forever.
    if (!game->stage->Contains(position)) {
        return false;
    }
    translation = Matrix::CreateTranslation(position);
    world = rotation * translation;
    game->SetListener(position);
    return true;
}

void C_PlayerBullet::Draw() const {
    FwShaderManager::GetInstance().standardShader.world = world;
    DrawModel(model);
}

void C_PlayerBullet::Snapshot(nlohmann::json& out) const {
    out = {{"position", ToJson(position)}, {"direction", ToJson(direction)}};
}
