#pragma once

#include "game/enemy/State.h"

// Follows the player seen within 30 units until within 20 (attack) or 50 away (gives up).
class C_TrackState : public State {
public:
    C_TrackState();

    std::unique_ptr<State> Update(C_Game& game, C_Enemy& enemy, C_EnemyBulletList& enemyBullets,
                                  C_ExplosionList& explosions) override;
    const char* Name() const override { return "track"; }

private:
    C_StateSound treadSound{"data/sound/caterpillar.wav", 0.3f};
};
