#pragma once

#include <nlohmann/json_fwd.hpp>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"

// Drum that blocks robots, stops bullets and reflects the beam; it never moves and never breaks.
class C_Drum {
public:
    explicit C_Drum(const Vector3& position);

    void Draw() const;
    // A hit within 2 units: the point hit and the direction mirrored about the surface there.
    bool ReflectTest(const Vector3& origin, const Vector3& direction, Vector3& hitPoint, Vector3& reflected) const;

    Vector3 Position() const { return world.Translation(); }
    float Radius() const { return radius; }
    const FwModel& Model() const { return model; }
    const Matrix& World() const { return world; }
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    FwModel model;
    Matrix world;
    float radius = 2.5f;
};
