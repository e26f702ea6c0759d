#include "game/enemy/C_EnemyBullet.h"

#include <nlohmann/json.hpp>

#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/math/FwRandom.h"
#include "framework/model/FwCollision.h"
#include "framework/model/FwDrawModel.h"
#include "game/effects/C_HitSpark.h"
#include "game/player/C_Player.h"
#include "game/player/C_PlayerCollision.h"
#include "game/world/C_Game.h"
#include "game/world/C_Stage.h"
#include "game/world/Snapshot.h"

namespace {

constexpr float kLaunchDistance = 4.0f;
constexpr float kSpeed = 1.0f;
constexpr float kDamage = -1.0f;

// Whole degrees from -20 to 19, in radians.
float Spread() { return static_cast<float>(FwRand() % 40 - 20) * Math::kDegToRad; }

}  // namespace

C_EnemyBullet::C_EnemyBullet(C_Game* game, Matrix enemyWorld)
    : game(game), launch(Matrix::CreateTranslation(0.0f, 0.0f, kLaunchDistance) * enemyWorld) {
    const float pitch = Spread();
    const float yaw = Spread();
    world = Matrix::CreateRotationY(yaw) * Matrix::CreateRotationX(pitch) * launch;
    model.Load("Data/Bullet/bullet.gltf");
    damageInstance = Load3DSound("data/sound/damage.wav", 0.7f, damageSound);
}

bool C_EnemyBullet::Update() {
    world = Matrix::CreateTranslation(0.0f, 0.0f, kSpeed) * world;
    const Vector3 position = world.Translation();
    const Vector3 forward = world.Facing();
    float distance = 0.0f;
    Vector3 normal;
    // The stage wins even when the player is nearer.
    const C_Stage& stage = *game->stage;
    if (FwRayToModelWithin(stage.Model(), stage.World(), position, forward, reach, distance, normal)) {
        return false;
    }
    const C_PlayerCollision& target = *game->playerCollision;
    if (!FwRayToModelWithin(target.Model(), target.World(), position, forward, reach, distance, normal)) {
        // Nothing else stops a bullet that has gone out through an opening.
        return game->stage->Contains(position);
    }
    if (damageInstance) {
        damageInstance->Play3D(game->player->position, false, true);
    }
    game->playerHitEffects.push_back(std::make_unique<C_HitSpark>(position + forward * distance));
    game->player->Damage(kDamage);
    return false;
}

void C_EnemyBullet::Draw() const {
    FwShaderManager::GetInstance().standardShader.world = world;
    DrawModel(model);
}

void C_EnemyBullet::Snapshot(nlohmann::json& out) const {
    out = {{"position", ToJson(Position())}, {"direction", ToJson(Direction())}};
}
