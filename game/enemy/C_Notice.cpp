#include "game/enemy/C_Notice.h"

#include "game/enemy/C_AttackState.h"
#include "game/enemy/C_Enemy.h"
#include "game/enemy/C_Knockdown.h"
#include "game/world/C_Game.h"

namespace {

constexpr float kTurnStep = 10.0f;
constexpr float kSpeed = 0.3f;
constexpr float kTreadScroll = 0.03f;
constexpr float kAttackDistance = 20.0f;

}  // namespace

C_Notice::C_Notice() = default;

std::unique_ptr<State> C_Notice::Update(C_Game& game, C_Enemy& enemy, C_EnemyBulletList&, C_ExplosionList&) {
    const float distance = ChasePlayer(game, enemy, kTurnStep, kSpeed, kTreadScroll, treadSound);
    if (distance <= kAttackDistance) {
        enemy.shotByPlayer = false;
        return std::make_unique<C_AttackState>();
    }
    if (enemy.hitPoints <= 0.0f) {
        return std::make_unique<C_Knockdown>();
    }
    // The shot flag stays set: after the ending the robot alternates between patrol and this.
    if (game.ending) {
        return BackToPatrol(enemy);
    }
    treadSound.MoveTo(enemy.treadWorld.Translation());
    return nullptr;
}
