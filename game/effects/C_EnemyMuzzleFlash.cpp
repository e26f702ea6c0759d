#include "game/effects/C_EnemyMuzzleFlash.h"

#include <algorithm>

#include "game/enemy/C_Enemy.h"
#include "game/world/C_Game.h"

namespace {

constexpr float kPetalDistance = 3.6f;
constexpr float kStarDistance = 3.7f;

}  // namespace

C_EnemyMuzzleFlash::C_EnemyMuzzleFlash(const C_Enemy* enemy) : enemy(enemy) {}

bool C_EnemyMuzzleFlash::Update(C_Game& game) {
    const bool alive = std::any_of(game.enemies.begin(), game.enemies.end(),
                                   [this](const std::unique_ptr<C_Enemy>& other) { return other.get() == enemy; });
    if (alive) {
        Place(enemy->world, kPetalDistance, kStarDistance);
    }
    return Fade();
}
