#include "game/enemy/C_Knockdown.h"

#include <algorithm>

#include "framework/math/FwRandom.h"
#include "game/enemy/C_Enemy.h"
#include "game/hazards/C_EnemyDebris.h"
#include "game/hazards/C_Explosion.h"
#include "game/world/C_Game.h"

namespace {

constexpr float kFullTilt = 25.0f;
constexpr float kTiltPerFrame = 0.5f;
constexpr float kSmallExplosionInterval = 30.0f;
constexpr float kSmallExplosionSize = 4.0f;
constexpr float kFinalExplosionSize = 10.0f;

// A whole number from -3 to 2.
float Scatter() { return static_cast<float>(FwRand() % 6 - 3); }

}  // namespace

C_Knockdown::C_Knockdown() = default;

std::unique_ptr<State> C_Knockdown::Update(C_Game& game, C_Enemy& enemy, C_EnemyBulletList&,
                                           C_ExplosionList& explosions) {
    enemy.deathTimer = std::max(enemy.deathTimer - 1.0f, 0.0f);
    smallExplosionTimer = std::max(smallExplosionTimer - 1.0f, 0.0f);
    if (enemy.knockdownTilt >= kFullTilt) {
        enemy.knockdownTilt = kFullTilt;
        const float a = Scatter();
        const float b = Scatter();
        const float c = Scatter();
        const Vector3 point = (Matrix::CreateTranslation(a, b, c) * enemy.world).Translation();
        if (smallExplosionTimer == 0.0f) {
            explosions.push_back(
                std::make_unique<C_Explosion>(point, Vector2(kSmallExplosionSize, kSmallExplosionSize)));
            smallExplosionSound.PlayAt(point);
            smallExplosionTimer = kSmallExplosionInterval;
        }
        if (enemy.deathTimer == 0.0f) {
            explosionSound.PlayAt(enemy.Position());
            explosions.push_back(
                std::make_unique<C_Explosion>(enemy.Position(), Vector2(kFinalExplosionSize, kFinalExplosionSize)));
            game.enemyDebris.push_back(std::make_unique<C_EnemyDebris>(enemy.chestWorld.Translation()));
        }
    } else {
        knockDownSound.PlayAt(enemy.chestWorld.Translation());
        enemy.knockdownTilt += kTiltPerFrame;
    }
    tilt = Matrix::CreateRotationX(enemy.knockdownTilt * Math::kDegToRad);
    enemy.headWorld = tilt * enemy.headLocal * enemy.world;
    enemy.chestWorld = tilt * enemy.chestLocal * enemy.world;
    RefreshListener(game);
    explosionSound.MoveTo(enemy.Position());
    smallExplosionSound.MoveTo(enemy.Position());
    knockDownSound.MoveTo(enemy.Position());
    return nullptr;
}
