#pragma once

#include "game/effects/C_GunMuzzleFlash.h"

class C_Enemy;

// The gun flash made when an enemy fires, at the muzzle of the enemy that fired.
class C_EnemyMuzzleFlash : public C_GunMuzzleFlash {
public:
    explicit C_EnemyMuzzleFlash(const C_Enemy* enemy);

    bool Update(C_Game& game) override;

private:
    // Looked up in the game's enemy list before use; once it is gone the flash stays where it was.
    const C_Enemy* enemy;
};
