#pragma once

#include <cstdint>

#include "game/enemy/State.h"

// Patrol: turns toward a random heading, drives along it for one to five seconds, then picks
// another. Notices the player by distance alone, and being shot.
class C_WalkAroundState : public State {
public:
    C_WalkAroundState();

    std::unique_ptr<State> Update(C_Game& game, C_Enemy& enemy, C_EnemyBulletList& enemyBullets,
                                  C_ExplosionList& explosions) override;
    const char* Name() const override { return "walkAround"; }

private:
    C_StateSound treadSound{"data/sound/caterpillar.wav", 0.2f};
    // Drawn first: the heading to drive in, degrees; then the frames until a new direction.
    float targetYaw;
    int32_t remainingTime;
};
