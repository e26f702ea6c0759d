#pragma once

#include <memory>

#include <nlohmann/json_fwd.hpp>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"

class C_Game;
class FwSoundEffect;
class FwSoundInstance;

// An enemy's shot: leaves 4 units in front of the robot along its facing, spread by up to 20
// degrees in pitch and yaw, and flies 1 unit a frame until it meets the stage, the player's hit
// volume (costing 1 hit point) or the stage's bounds.
class C_EnemyBullet {
public:
    C_EnemyBullet(C_Game* game, Matrix enemyWorld);

    bool Update();
    void Draw() const;

    Vector3 Position() const { return world.Translation(); }
    Vector3 Direction() const { return world.Facing(); }
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    C_Game* game;
    FwModel model;
    // Row 2 is the flight direction, row 3 the position.
    Matrix world;
    Matrix launch;
    // Length of the ray cast ahead of the bullet.
    float reach = 2.0f;
    std::shared_ptr<FwSoundEffect> damageSound;
    std::shared_ptr<FwSoundInstance> damageInstance;
};
