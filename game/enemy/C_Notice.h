#pragma once

#include "game/enemy/State.h"

// Charges at the player at full speed after being shot, from any distance, until within 20.
class C_Notice : public State {
public:
    C_Notice();

    std::unique_ptr<State> Update(C_Game& game, C_Enemy& enemy, C_EnemyBulletList& enemyBullets,
                                  C_ExplosionList& explosions) override;
    const char* Name() const override { return "notice"; }

private:
    C_StateSound treadSound{"data/sound/caterpillar.wav", 1.0f};
};
