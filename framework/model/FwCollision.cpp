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

namespace {

// The caller's ray in the model space of one mesh node.
struct LocalRay {
    Vector3 origin;
    Vector3 direction;    // unit length
    float length = 0.0f;  // of the caller's direction in model space
    Matrix placement;     // node Transform x world
};

bool PlaceRay(const FwModelNode& node, const Matrix& world, const Vector3& origin, const Vector3& direction,
              LocalRay& ray) {
    if (!node.Mesh || node.Mesh->Faces().empty()) {
        return false;
    }
    ray.placement = node.Transform * world;
    Matrix inverse;
    if (!ray.placement.Invert(inverse)) {
        return false;  // flattened to nothing: no surface to hit
    }
    ray.origin = Vector3::Transform(origin, inverse);
    const Vector3 localDirection = Vector3::TransformNormal(direction, inverse);
    ray.length = localDirection.Length();
    ray.direction = localDirection / ray.length;
    return true;
}

struct NearestHit {
    float distance = FLT_MAX;  // along the caller's direction
    size_t node = 0;
    uint32_t face = 0;
    Vector3 vertices[3];
    Matrix placement;
};

// Tests one face and keeps it when it is nearer than every hit so far. Of two faces of one node at
// the same distance the one listed first wins, whatever order they are tested in.
bool TestFace(const FwMesh& mesh, const LocalRay& ray, size_t node, uint32_t face, NearestHit& nearest) {
    const std::vector<Vector3>& positions = mesh.Positions();
    const FwMeshFace& indices = mesh.Faces()[face];
    const Vector3& a = positions[indices.idx[0]];
    const Vector3& b = positions[indices.idx[1]];
    const Vector3& c = positions[indices.idx[2]];
    float t = 0.0f;
    if (!RayToTriangle(ray.origin, ray.direction, a, b, c, t)) {
        return false;
    }
    const float distance = t / ray.length;
    if (distance < nearest.distance || (distance == nearest.distance && node == nearest.node && face < nearest.face)) {
        nearest = {distance, node, face, {a, b, c}, ray.placement};
        return true;
    }
    return false;
}

void TestEveryFace(const FwMesh& mesh, const LocalRay& ray, size_t node, NearestHit& nearest) {
    for (uint32_t face = 0; face < mesh.Faces().size(); ++face) {
        TestFace(mesh, ray, node, face, nearest);
    }
}

FwRayQueryObserver& Observer() {
    static FwRayQueryObserver observer;
    return observer;
}

bool Finite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool ReportHit(const NearestHit& nearest, float& distance, Vector3& normal) {
    if (nearest.distance == FLT_MAX) {
        return false;
    }
    distance = nearest.distance;
    const Vector3* hit = nearest.vertices;
    // The upper 3x3 as it is, not its inverse transpose: exact for rotations and uniform scales.
    normal = Vector3::TransformNormal((hit[0] - hit[2]).Cross(hit[1] - hit[2]), nearest.placement).Normalized();
    return true;
}

}  // namespace

bool RayToModel(const FwModel& model, const Matrix& world, const Vector3& origin, const Vector3& direction,
                float& distance, Vector3& normal) {
    if (Observer()) {
        Observer()(model, world, origin, direction);
    }
    NearestHit nearest;
    const std::vector<FwModelNode>& nodes = model.Nodes();
    for (size_t node = 0; node < nodes.size(); ++node) {
        LocalRay ray;
        if (!PlaceRay(nodes[node], world, origin, direction, ray)) {
            continue;
        }
        const FwMesh& mesh = *nodes[node].Mesh;
        // A ray the box test cannot place (a zero direction, a matrix near singular) walks every face.
        if (mesh.Bvh().Empty() || !Finite(ray.origin) || !Finite(ray.direction)) {
            TestEveryFace(mesh, ray, node, nearest);
            continue;
        }
        float limit = nearest.distance == FLT_MAX ? INFINITY : nearest.distance * ray.length;
        mesh.Bvh().Traverse(ray.origin, ray.direction, limit, [&](uint32_t face) {
            if (TestFace(mesh, ray, node, face, nearest)) {
                limit = nearest.distance * ray.length;
            }
        });
    }
    return ReportHit(nearest, distance, normal);
}

bool RayToModelBruteForce(const FwModel& model, const Matrix& world, const Vector3& origin, const Vector3& direction,
                          float& distance, Vector3& normal) {
    NearestHit nearest;
    const std::vector<FwModelNode>& nodes = model.Nodes();
    for (size_t node = 0; node < nodes.size(); ++node) {
        LocalRay ray;
        if (PlaceRay(nodes[node], world, origin, direction, ray)) {
            TestEveryFace(*nodes[node].Mesh, ray, node, nearest);
        }
    }
    return ReportHit(nearest, distance, normal);
}

void FwSetRayQueryObserver(FwRayQueryObserver observer) { Observer() = std::move(observer); }

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
