#pragma once

#include <nlohmann/json_fwd.hpp>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"

// The spare gun arm lying in the armory. It bobs between heights -5 and -3 once every 360 frames;
// walking over it gives the robot the beam weapon, and it fades out in 10 frames.
class C_WeaponItem {
public:
    C_WeaponItem();

    void Update();
    void Draw() const;

    Vector3 Position() const { return world.Translation(); }
    float Radius() const { return radius; }
    float Alpha() const { return alpha; }

    bool taken = false;
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    FwModel model;
    Matrix world = Matrix::CreateTranslation(38.0f, -4.0f, 79.0f);
    float radius = 3.0f;
    float bobAngle = 0.0f;
    float alpha = 1.0f;
};
