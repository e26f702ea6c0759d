#include "game/hazards/C_Breaker.h"

#include <nlohmann/json.hpp>

#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/math/FwRandom.h"
#include "framework/model/FwDrawModel.h"
#include "game/hazards/C_Explosion.h"
#include "game/hazards/C_SmokePuff.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "game/world/Snapshot.h"

namespace {

constexpr float kSmokeInterval = 60.0f;
constexpr int kExplosions = 3;
const Vector2 kExplosionHalfSize(5.0f, 5.0f);

// A whole number from -3 to 1.
float ExplosionOffset() { return static_cast<float>(FwRand() % 5 - 3); }

}  // namespace

C_Breaker::C_Breaker(C_Game* game, const Vector3& position, float angle)
    : game(game),
      world(Matrix::CreateRotationY(angle * Math::kDegToRad) * Matrix::CreateTranslation(position)),
      placement(Matrix::CreateTranslation(position)) {
    model.Load("Data/breaker/breaker.gltf");
    brokenModel.Load("Data/breaker/Breakbreaker.gltf");
    explosionInstance = Load3DSound("data/sound/Breakerexplosion.wav", 1.0f, explosionSound);
}

void C_Breaker::Update() {
    if (!intact) {
        if (smokeTimer <= 0.0f) {
            game->breakerSmokes.push_back(std::make_unique<C_SmokePuff>(Position()));
            smokeTimer = kSmokeInterval;
        }
        smokeTimer -= 1.0f;
    }
    // Broken is final: a shot flag set now stays set and does nothing.
    if (hitPoints == 0) {
        return;
    }
    if (shot) {
        --hitPoints;
        hitFlash = true;
        shot = false;
        if (hitPoints > 0) {
            return;
        }
        Break();
    } else {
        hitFlash = false;
    }
    game->SetListener(game->player->position);
}

void C_Breaker::Break() {
    hitPoints = 0;
    intact = false;
    for (int i = 0; i < kExplosions; ++i) {
        const float a = ExplosionOffset();
        const float b = ExplosionOffset();
        const float c = ExplosionOffset();
        const Vector3 point = Position() + Vector3(a, b, c);
        game->explosions.push_back(std::make_unique<C_Explosion>(point, kExplosionHalfSize));
        // One instance: each play restarts it, so it is heard once, from the last point.
        if (explosionInstance) {
            explosionInstance->Play3D(point, false, true);
        }
    }
}

void C_Breaker::Draw() const {
    FwShaderManager::GetInstance().standardShader.world = world;
    if (!intact) {
        DrawModel(brokenModel);
    } else if (hitFlash) {
        DrawModel(model, Color(1.0f, 1.0f, 1.0f, 1.0f));
    } else {
        DrawModel(model);
    }
}

void C_Breaker::Snapshot(nlohmann::json& out) const {
    out = {{"position", ToJson(Position())},
           {"hitPoints", hitPoints},
           {"intact", intact},
           {"hitFlash", hitFlash},
           {"smokeTimer", smokeTimer}};
}
