#include "game/enemy/C_WalkAroundState.h"

#include "framework/math/FwRandom.h"
#include "game/enemy/C_Enemy.h"
#include "game/enemy/C_Knockdown.h"
#include "game/enemy/C_Notice.h"
#include "game/enemy/C_TrackState.h"
#include "game/world/C_Game.h"

namespace {

constexpr float kTurnStep = 1.0f;
constexpr float kSpeed = 0.1f;
constexpr float kTreadScroll = 0.01f;
constexpr float kSightDistance = 30.0f;

}  // namespace

C_WalkAroundState::C_WalkAroundState()
    : targetYaw(static_cast<float>(FwRand() % 360)), remainingTime((FwRand() % 5 + 1) * 60) {}

std::unique_ptr<State> C_WalkAroundState::Update(C_Game& game, C_Enemy& enemy, C_EnemyBulletList&, C_ExplosionList&) {
    DriveIfFacing(enemy, TurnTowards(enemy.world, targetYaw, kTurnStep), kSpeed, kTreadScroll, treadSound);
    if (--remainingTime <= 0) {
        return std::make_unique<C_WalkAroundState>();
    }
    Vector3 toPlayer;
    if (!game.ending && DistanceToPlayer(game, enemy, toPlayer) <= kSightDistance) {
        enemy.eyeLightOn = true;
        return std::make_unique<C_TrackState>();
    }
    if (enemy.hitPoints <= 0.0f) {
        return std::make_unique<C_Knockdown>();
    }
    if (enemy.shotByPlayer) {
        enemy.eyeLightOn = true;
        return std::make_unique<C_Notice>();
    }
    RefreshListener(game);
    treadSound.MoveTo(enemy.Position());
    return nullptr;
}
