#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/math/SimpleMath.h"

class C_Enemy;
class C_EnemyBullet;
class C_Explosion;
class C_Game;
class FwSoundEffect;
class FwSoundInstance;

using C_EnemyBulletList = std::vector<std::unique_ptr<C_EnemyBullet>>;
using C_ExplosionList = std::vector<std::unique_ptr<C_Explosion>>;

// One behaviour of an enemy. Its update returns the successor, which the enemy installs and
// first runs on the next frame, or null to stay.
class State {
public:
    virtual ~State() = default;

    virtual std::unique_ptr<State> Update(C_Game& game, C_Enemy& enemy, C_EnemyBulletList& enemyBullets,
                                          C_ExplosionList& explosions) = 0;
    // For state snapshots.
    virtual const char* Name() const = 0;
};

// A sound a state owns: its own copy of the file and one 3D voice of it.
class C_StateSound {
public:
    C_StateSound(const std::string& path, float distanceScale);

    // Restarts the sound once from `position`.
    void PlayAt(const Vector3& position) const;
    // Moves the voice without restarting it.
    void MoveTo(const Vector3& position) const;

private:
    std::shared_ptr<FwSoundEffect> effect;
    std::shared_ptr<FwSoundInstance> instance;
};

// Yaw in degrees of `v` on the XZ plane, -180 to 180, 0 along +z; 90 for a vertical or zero vector.
float YawOf(const Vector3& v);
// Turns `world` about its own vertical axis toward `targetYaw` by at most `step` degrees; returns
// the turn still to go, exactly 0 once it faces the target.
float TurnTowards(Matrix& world, float targetYaw, float step);
void DriveForward(Matrix& world, float distance);
// Drives `speed` along the enemy's facing when `turnLeft` is exactly 0, scrolling the treads by
// `scroll` and restarting the tread sound.
void DriveIfFacing(C_Enemy& enemy, float turnLeft, float speed, float scroll, const C_StateSound& treadSound);
// Turns toward the player by at most `turnStep` and drives once facing it; returns the distance
// measured before driving.
float ChasePlayer(const C_Game& game, C_Enemy& enemy, float turnStep, float speed, float scroll,
                  const C_StateSound& treadSound);
// Hears from the player's position, facing the way the camera looks.
void RefreshListener(C_Game& game);
// The way back to patrolling from noticing, tracking or attacking: the eye light goes off.
std::unique_ptr<State> BackToPatrol(C_Enemy& enemy);
float DistanceToPlayer(const C_Game& game, const C_Enemy& enemy, Vector3& toPlayer);
