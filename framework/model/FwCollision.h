#pragma once

#include "framework/math/SimpleMath.h"

class FwModel;

// Two-sided ray-triangle test; `direction` should have unit length. On a hit, `distance` is how
// far along the direction the triangle lies (edges and corners count); on a miss it is untouched.
bool RayToTriangle(const Vector3& origin, const Vector3& direction, const Vector3& v0, const Vector3& v1,
                   const Vector3& v2, float& distance);

// Nearest hit of a ray against every triangle of every mesh of `model` placed by `world`. The
// distance is in the units of `direction`; the normal is the unit normal of the triangle hit,
// facing the side from which it is drawn. Both are written only on a hit.
bool RayToModel(const FwModel& model, const Matrix& world, const Vector3& origin, const Vector3& direction,
                float& distance, Vector3& normal);
