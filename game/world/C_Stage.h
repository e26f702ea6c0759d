#pragma once

#include <cfloat>
#include <memory>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"

class C_Game;
class FwSoundEffect;
class FwSoundInstance;

// The stage model that everything walks on and every shot hits. It never moves; other objects
// cast their own rays against its model and world.
class C_Stage {
public:
    explicit C_Stage(C_Game* game);

    void Draw() const;
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

private:
    C_Game* game;
    FwModel model;
    Matrix world = Matrix::CreateTranslation(0.0f, 11.0f, 0.0f);
    std::shared_ptr<FwSoundEffect> reflectionSound;
    std::shared_ptr<FwSoundInstance> reflectionInstance;
    // World-space bounds of every mesh; empty (min above max) when the model did not load.
    Vector3 boundsMin{FLT_MAX, FLT_MAX, FLT_MAX};
    Vector3 boundsMax{-FLT_MAX, -FLT_MAX, -FLT_MAX};
};
