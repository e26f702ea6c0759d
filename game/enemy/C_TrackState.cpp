#include "game/enemy/C_TrackState.h"

#include "game/enemy/C_AttackState.h"
#include "game/enemy/C_Enemy.h"
#include "game/enemy/C_Knockdown.h"
#include "game/enemy/C_Notice.h"
#include "game/world/C_Game.h"

namespace {

constexpr float kTurnStep = 3.0f;
constexpr float kSpeed = 0.1f;
constexpr float kTreadScroll = 0.01f;
constexpr float kGiveUpDistance = 50.0f;
constexpr float kAttackDistance = 20.0f;

}  // namespace

C_TrackState::C_TrackState() = default;

std::unique_ptr<State> C_TrackState::Update(C_Game& game, C_Enemy& enemy, C_EnemyBulletList&, C_ExplosionList&) {
    const float distance = ChasePlayer(game, enemy, kTurnStep, kSpeed, kTreadScroll, treadSound);
    if (distance >= kGiveUpDistance || game.ending) {
        return BackToPatrol(enemy);
    }
    if (enemy.shotByPlayer) {
        return std::make_unique<C_Notice>();
    }
    if (distance <= kAttackDistance) {
        return std::make_unique<C_AttackState>();
    }
    if (enemy.hitPoints <= 0.0f) {
        return std::make_unique<C_Knockdown>();
    }
    return nullptr;
}
