#pragma once

#include <nlohmann/json_fwd.hpp>

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "game/effects/C_EffectQuad.h"

class C_Enemy;
class C_Game;

// The glowing ring 4 units in front of a charging enemy: it shrinks for 15 updates and, when it
// has vanished, sets the enemy's fire request. It follows the enemy but not its state.
class C_ChargeRing {
public:
    explicit C_ChargeRing(C_Enemy* enemy);

    bool Update();
    void Draw() const;

    float Size() const { return size; }
    float Alpha() const { return alpha; }
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    // Always outlives the ring: a knocked-down enemy lives 140 frames more.
    C_Enemy* enemy;
    C_EffectQuad quad;
    FwTexture texture;
    Matrix world;
    float alpha = 0.0f;
    Matrix enemyWorld;
    // Half the side of the square.
    float size = 5.0f;
};
