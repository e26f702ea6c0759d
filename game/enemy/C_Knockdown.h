#pragma once

#include "game/enemy/State.h"

// Dying: head and chest tip forward 25 degrees over 50 frames, small explosions every 30
// frames, and when the death timer runs out the final explosion and the flying debris.
class C_Knockdown : public State {
public:
    C_Knockdown();

    std::unique_ptr<State> Update(C_Game& game, C_Enemy& enemy, C_EnemyBulletList& enemyBullets,
                                  C_ExplosionList& explosions) override;
    const char* Name() const override { return "knockdown"; }

private:
    C_StateSound explosionSound{"data/sound/explosion.wav", 1.0f};
    C_StateSound smallExplosionSound{"data/sound/smallexplosion.wav", 1.0f};
    C_StateSound knockDownSound{"data/sound/knockDown.wav", 1.0f};
    Matrix tilt;
    float smallExplosionTimer = 30.0f;
};
