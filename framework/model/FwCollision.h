#pragma once

#include <functional>

#include "framework/math/SimpleMath.h"

class FwModel;

// Two-sided ray-triangle test; `direction` should have unit length. On a hit, `distance` is how
// far along the direction the triangle lies (edges and corners count); on a miss it is untouched.
bool RayToTriangle(const Vector3& origin, const Vector3& direction, const Vector3& v0, const Vector3& v1,
                   const Vector3& v2, float& distance);

// Nearest hit of a ray against every triangle of every mesh of `model` placed by `world`. The
// distance is in the units of `direction`; the normal is the unit normal of the triangle hit,
// facing the side from which it is drawn. Both are written only on a hit. Each mesh's bounding-volume
// hierarchy picks the faces to test.
bool RayToModel(const FwModel& model, const Matrix& world, const Vector3& origin, const Vector3& direction,
                float& distance, Vector3& normal);
// The same answer from testing every face of every mesh: the yardstick for RayToModel.
bool RayToModelBruteForce(const FwModel& model, const Matrix& world, const Vector3& origin, const Vector3& direction,
                          float& distance, Vector3& normal);

// RayToModel that counts a hit only when it lies no farther than `reach` along the ray.
bool FwRayToModelWithin(const FwModel& model, const Matrix& world, const Vector3& origin, const Vector3& direction,
                        float reach, float& distance, Vector3& normal);

// Wall push-out for a walker at `position` facing unit `direction`: casts the facing ray against
// the model and, when the wall it meets is nearer than `keepDistance` measured along that wall's
// normal, returns true with `contact` (the point the ray meets) and `push` (the move along the
// normal that puts the position `keepDistance` from the wall's plane).
bool FwWallPushOut(const FwModel& model, const Matrix& world, const Vector3& position, const Vector3& direction,
                   float keepDistance, Vector3& contact, Vector3& push);

// Sees every RayToModel query (also those of FwRayToModelWithin and FwWallPushOut) before it is
// answered, for recording the queries of a play; an empty function stops it.
using FwRayQueryObserver =
    std::function<void(const FwModel& model, const Matrix& world, const Vector3& origin, const Vector3& direction)>;
void FwSetRayQueryObserver(FwRayQueryObserver observer);
