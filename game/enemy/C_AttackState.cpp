#include "game/enemy/C_AttackState.h"

#include "game/effects/C_EnemyMuzzleFlash.h"
#include "game/enemy/C_ChargeRing.h"
#include "game/enemy/C_Enemy.h"
#include "game/enemy/C_EnemyBullet.h"
#include "game/enemy/C_Knockdown.h"
#include "game/enemy/C_TrackState.h"
#include "game/world/C_Game.h"

namespace {

constexpr float kTurnStep = 2.0f;

}  // namespace

C_AttackState::C_AttackState() = default;

std::unique_ptr<State> C_AttackState::Update(C_Game& game, C_Enemy& enemy, C_EnemyBulletList& enemyBullets,
                                             C_ExplosionList&) {
    Vector3 toPlayer;
    DistanceToPlayer(game, enemy, toPlayer);
    TurnTowards(enemy.world, YawOf(toPlayer), kTurnStep);
    if (charging && --delay <= 0) {
        chargeSound.PlayAt(enemy.Position());
        game.chargeRings.push_back(std::make_unique<C_ChargeRing>(&enemy));
        charging = false;
    }
    // A request left over from an attack cut short by the ending fires at once.
    const bool fired = enemy.fireRequest;
    if (fired) {
        shotSound.PlayAt(enemy.Position());
        enemyBullets.push_back(std::make_unique<C_EnemyBullet>(&game, enemy.world));
        game.gunFlashes.push_back(std::make_unique<C_EnemyMuzzleFlash>(&enemy));
        enemy.fireRequest = false;
    }
    if (enemy.hitPoints <= 0.0f) {
        return std::make_unique<C_Knockdown>();
    }
    if (!game.ending && fired) {
        return std::make_unique<C_TrackState>();
    }
    if (game.ending) {
        return BackToPatrol(enemy);
    }
    RefreshListener(game);
    shotSound.MoveTo(enemy.Position());
    chargeSound.MoveTo(enemy.Position());
    return nullptr;
}
