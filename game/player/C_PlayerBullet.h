#pragma once

#include <memory>

#include <nlohmann/json_fwd.hpp>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"

class C_Game;
class FwSoundEffect;
class FwSoundInstance;

// A bullet of the left-arm gun: flies 1.5 units a frame from the muzzle until it meets the stage
// (leaving a burn mark), a breaker (flagging it as shot) or a drum, or leaves the stage's bounds.
class C_PlayerBullet {
public:
    C_PlayerBullet(C_Game* game, const Vector3& direction);

    // False once the bullet has hit something or left the stage.
    bool Update();
    void Draw() const;

    const Vector3& Position() const { return position; }
    const Vector3& Direction() const { return direction; }
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    C_Game* game;
    FwModel model;
    Matrix world;
    // The aim at firing: the slug keeps this orientation.
    Matrix rotation;
    Matrix translation;
    Vector3 position;
    Vector3 direction;
    std::shared_ptr<FwSoundEffect> impactSound;
    std::shared_ptr<FwSoundInstance> impactInstance;
    std::shared_ptr<FwSoundEffect> breakerSound;
    // How far ahead enemy and drum rays count as a hit; breakers reach farther, the stage's own
    // test reaches 2.
    float reach = 1.0f;
};
