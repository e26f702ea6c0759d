#pragma once

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

    const FwModel& Model() const { return model; }
    const Matrix& World() const { return world; }

private:
    C_Game* game;
    FwModel model;
    Matrix world = Matrix::CreateTranslation(0.0f, 11.0f, 0.0f);
    std::shared_ptr<FwSoundEffect> reflectionSound;
    std::shared_ptr<FwSoundInstance> reflectionInstance;
};
