#pragma once

#include <nlohmann/json_fwd.hpp>

#include "framework/math/SimpleMath.h"

class C_Game;

// The third-person camera: 13 units behind a pivot beside the robot's right shoulder, along the
// aim, pulled in where the stage is in the way.
class C_Camera {
public:
    explicit C_Camera(C_Game* game);

    // The aim direction: where the camera looks and the weapons fire.
    Vector3 Forward() const;
    void Update();
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    Matrix AimRotation() const;

    C_Game* game;

public:
    Vector3 position;
    Vector3 target;
    Vector3 up;
};
