#pragma once

#include <cstdint>

#include "game/enemy/State.h"

// Stands and turns toward the player: after 20 frames the charge ring appears, and when it
// has shrunk away the robot fires one shot and goes back to tracking.
class C_AttackState : public State {
public:
    C_AttackState();

    std::unique_ptr<State> Update(C_Game& game, C_Enemy& enemy, C_EnemyBulletList& enemyBullets,
                                  C_ExplosionList& explosions) override;
    const char* Name() const override { return "attack"; }

private:
    C_StateSound shotSound{"data/sound/tama2.wav", 1.0f};
    C_StateSound chargeSound{"data/sound/charge.wav", 1.0f};
    int32_t delay = 20;
    bool charging = true;
};
