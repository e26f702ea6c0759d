#include "game/enemy/State.h"

#include <cmath>

#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "game/enemy/C_Enemy.h"
#include "game/enemy/C_WalkAroundState.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"

C_StateSound::C_StateSound(const std::string& path, float distanceScale)
    : instance(Load3DSound(path, distanceScale, effect)) {}

void C_StateSound::PlayAt(const Vector3& position) const {
    if (instance) {
        instance->Stop();
        instance->Play3D(position, false, true);
    }
}

void C_StateSound::MoveTo(const Vector3& position) const {
    if (instance) {
        instance->SetPos(position);
    }
}

float YawOf(const Vector3& v) {
    const float angle = Math::Acos(v.z / std::sqrt(v.x * v.x + v.z * v.z)) * Math::kRadToDeg;
    // acos of NaN: a vertical or zero vector.
    if (std::isnan(angle)) {
        return 90.0f;
    }
    return v.x < 0.0f ? -angle : angle;
}

float TurnTowards(Matrix& world, float targetYaw, float step) {
    float diff = targetYaw - YawOf(world.Facing());
    while (diff > 180.0f) {
        diff -= 360.0f;
    }
    while (diff < -180.0f) {
        diff += 360.0f;
    }
    float turn = diff;
    float left = 0.0f;
    if (diff > step) {
        turn = step;
        left = diff - step;
    } else if (diff < -step) {
        turn = -step;
        left = diff + step;
    }
    world = Matrix::CreateRotationY(turn * Math::kDegToRad) * world;
    return left;
}

void DriveForward(Matrix& world, float distance) { world = Matrix::CreateTranslation(0.0f, 0.0f, distance) * world; }

void DriveIfFacing(C_Enemy& enemy, float turnLeft, float speed, float scroll, const C_StateSound& treadSound) {
    if (turnLeft != 0.0f) {
        return;
    }
    DriveForward(enemy.world, speed);
    enemy.treadTextureOffset.x -= scroll;
    // Restarts every driving frame, as the player's treads do.
    treadSound.PlayAt(enemy.treadWorld.Translation());
}

void RefreshListener(C_Game& game) { game.SetListener(game.player->position); }

float DistanceToPlayer(const C_Game& game, const C_Enemy& enemy, Vector3& toPlayer) {
    toPlayer = game.player->position - enemy.Position();
    return toPlayer.Length();
}

float ChasePlayer(const C_Game& game, C_Enemy& enemy, float turnStep, float speed, float scroll,
                  const C_StateSound& treadSound) {
    Vector3 toPlayer;
    const float distance = DistanceToPlayer(game, enemy, toPlayer);
    DriveIfFacing(enemy, TurnTowards(enemy.world, YawOf(toPlayer), turnStep), speed, scroll, treadSound);
    return distance;
}

std::unique_ptr<State> BackToPatrol(C_Enemy& enemy) {
    enemy.eyeLightOn = false;
    return std::make_unique<C_WalkAroundState>();
}
