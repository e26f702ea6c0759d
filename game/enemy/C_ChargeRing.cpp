#include "game/enemy/C_ChargeRing.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "game/enemy/C_Enemy.h"

namespace {

constexpr float kDistance = 4.0f;
constexpr float kShrinkPerFrame = 0.35f;
constexpr float kFadeInPerFrame = 0.09f;

}  // namespace

C_ChargeRing::C_ChargeRing(C_Enemy* enemy) : enemy(enemy) { texture.Load("Data/Texture/Ring.png"); }

bool C_ChargeRing::Update() {
    enemyWorld = enemy->world;
    world = Matrix::CreateTranslation(0.0f, 0.0f, kDistance) * enemyWorld;
    size -= kShrinkPerFrame;
    if (size <= 0.0f) {
        size = 0.0f;
        enemy->fireRequest = true;
        return false;
    }
    alpha = std::min(alpha + kFadeInPerFrame, 1.0f);
    quad.WriteRect(size, size, Vector2(0.0f, 0.0f), Vector2(1.0f, 1.0f), Color(1.0f, 1.0f, 1.0f, alpha));
    return true;
}

void C_ChargeRing::Draw() const { quad.Draw(texture, world); }

void C_ChargeRing::Snapshot(nlohmann::json& out) const { out = {{"size", size}, {"alpha", alpha}}; }
