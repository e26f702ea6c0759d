#include "framework/model/FwCollision.h"

#include <cfloat>
#include <cmath>

#include "framework/model/FwModel.h"

namespace {

constexpr float kParallelEpsilon = 1e-20f;

}  // namespace

// The misses are tested as soon as their quantity is known: this runs for every triangle of the
// stage for every bullet and camera ray.
bool RayToTriangle(const Vector3& origin, const Vector3& direction, const Vector3& v0, const Vector3& v1,
                   const Vector3& v2, float& distance) {
    const Vector3 e1 = v1 - v0;
    const Vector3 e2 = v2 - v0;
    const Vector3 p = direction.Cross(e2);
    const float det = e1.Dot(p);
    const Vector3 s = origin - v0;
    float t = 0.0f;
    if (det >= kParallelEpsilon) {
        const float u = s.Dot(p);
        if (u < 0.0f || u > det) {
            return false;
        }
        const Vector3 q = s.Cross(e1);
        const float v = direction.Dot(q);
        if (v < 0.0f || u + v > det) {
            return false;
        }
        t = e2.Dot(q);
        if (t < 0.0f) {
            return false;
        }
    } else if (det <= -kParallelEpsilon) {
        const float u = s.Dot(p);
        if (u > 0.0f || u < det) {
            return false;
        }
        const Vector3 q = s.Cross(e1);
        const float v = direction.Dot(q);
        if (v > 0.0f || u + v < det) {
            return false;
        }
        t = e2.Dot(q);
        if (t > 0.0f) {
            return false;
        }
    } else {
        return false;  // parallel to the triangle's plane
    }
    distance = t / det;
    return true;
}

bool RayToModel(const FwModel& model, const Matrix& world, const Vector3& origin, const Vector3& direction,
                float& distance, Vector3& normal) {
    float nearest = FLT_MAX;
    Vector3 hit[3];
    Matrix hitMatrix;
    for (const FwModelNode& node : model.Nodes()) {
        if (!node.Mesh || node.Mesh->Faces().empty()) {
            continue;
        }
        const Matrix m = node.Transform * world;
        Matrix inverse;
        if (!m.Invert(inverse)) {
            continue;  // flattened to nothing: no surface to hit
        }
        const Vector3 localOrigin = Vector3::Transform(origin, inverse);
        const Vector3 localDirection = Vector3::TransformNormal(direction, inverse);
        const float length = localDirection.Length();
        const Vector3 d = localDirection / length;
        const std::vector<Vector3>& positions = node.Mesh->Positions();
        for (const FwMeshFace& face : node.Mesh->Faces()) {
            const Vector3& a = positions[face.idx[0]];
            const Vector3& b = positions[face.idx[1]];
            const Vector3& c = positions[face.idx[2]];
            float t = 0.0f;
            if (RayToTriangle(localOrigin, d, a, b, c, t) && t / length < nearest) {
                nearest = t / length;
                hit[0] = a;
                hit[1] = b;
                hit[2] = c;
                hitMatrix = m;
            }
        }
    }
    if (nearest == FLT_MAX) {
        return false;
    }
    distance = nearest;
    // The upper 3x3 as it is, not its inverse transpose: exact for rotations and uniform scales.
    normal = Vector3::TransformNormal((hit[0] - hit[2]).Cross(hit[1] - hit[2]), hitMatrix).Normalized();
    return true;
}

bool FwRayToModelWithin(const FwModel& model, const Matrix& world, const Vector3& origin, const Vector3& direction,
                        float reach, float& distance, Vector3& normal) {
    float hitDistance = 0.0f;
    Vector3 hitNormal;
    if (!RayToModel(model, world, origin, direction, hitDistance, hitNormal) || hitDistance > reach) {
        return false;
    }
    distance = hitDistance;
    normal = hitNormal;
    return true;
}

bool FwWallPushOut(const FwModel& model, const Matrix& world, const Vector3& position, const Vector3& direction,
                   float keepDistance, Vector3& contact, Vector3& push) {
    float distance = 0.0f;
    Vector3 normal;
    if (!RayToModel(model, world, position, direction, distance, normal)) {
        return false;
    }
    const float facing = (-direction).Dot(normal);
    // A triangle with no area reports a zero normal: there is no plane to keep away from.
    if (facing == 0.0f) {
        return false;
    }
    const float reach = std::fabs(keepDistance / facing);
    if (reach < distance) {
        return false;
    }
    contact = position + direction * distance;
    push = normal * ((reach - distance) * facing);
    return true;
}
