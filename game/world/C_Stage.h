#pragma once

#include <memory>

#include <nlohmann/json_fwd.hpp>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwAreaVisibility.h"
#include "framework/model/FwModel.h"

class C_Game;
class FwSoundEffect;
class FwSoundInstance;

// The stage model that everything walks on and every shot hits. It never moves; other objects
// cast their own rays against its model and world.
class C_Stage {
public:
    explicit C_Stage(C_Game* game);

    // Also works out, from the camera, which rooms show (see Areas).
    void Draw();
    // A hit counts only within 2 units of the origin; the hit point is filled for any hit.
    bool HitTest(const Vector3& origin, const Vector3& direction, float& distance, Vector3& hitPoint,
                 Vector3& normal) const;
    // The same test; on a hit it plays the reflection sound there and mirrors the direction.
    bool ReflectTest(const Vector3& origin, const Vector3& direction, float& distance, Vector3& normal,
                     Vector3& hitPoint, Vector3& reflected);

    // Whether `point` lies inside the box that bounds the stage model.
    bool Contains(const Vector3& point) const;

    const FwModel& Model() const { return model; }
    const Matrix& World() const { return world; }
    // The model's rooms, from its nodes named "Area" (unit boxes scaled and placed), as seen from
    // the camera at the last Draw.
    const FwAreaVisibility& Areas() const { return areas; }
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    C_Game* game;
    FwModel model;
    Matrix world = Matrix::CreateTranslation(0.0f, 11.0f, 0.0f);
    std::shared_ptr<FwSoundEffect> reflectionSound;
    std::shared_ptr<FwSoundInstance> reflectionInstance;
    // World-space bounds of every mesh; empty when the model did not load.
    FwAreaVisibility::Box bounds;
    FwAreaVisibility areas;
};
