#pragma once

// Builds the triangles of one model from boxes, cylinders, treads and flat faces. Everything is
// designed in game coordinates (left-handed, +y up, +z forward); the glTF writer turns that into
// the file's right-handed form. A face is front-facing when its corners run clockwise seen from
// its visible side, so its normal is (b - a) x (c - a).

#include "framework/math/SimpleMath.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct MeshTexture;

// Surface of one part, written as a glTF metallic-roughness material.
struct MeshMaterial {
    std::string name;
    Color baseColor{1.0f, 1.0f, 1.0f, 1.0f};
    float metallic = 0.0f;
    float roughness = 0.8f;
    Vector3 emissive{0.0f, 0.0f, 0.0f};
    std::shared_ptr<const MeshTexture> texture = nullptr;  // base colour map, written beside the model
    bool blend = false;                                    // translucent (alpha blended)
};

struct MeshVertex {
    Vector3 position;
    Vector3 normal;
    Vector2 uv;
    Color color{1.0f, 1.0f, 1.0f, 1.0f};
};

// The triangles of one material.
struct MeshPrimitive {
    int material = 0;
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;
};

// A named box with no triangles: written as a glTF node without a mesh, the cube from -1 to 1
// scaled and moved onto it.
struct MeshMarker {
    std::string name;
    Vector3 minimum;
    Vector3 maximum;
};

class MeshBuilder {
public:
    // Adds a material and selects it for the geometry that follows.
    int AddMaterial(const MeshMaterial& material);
    void Use(int material);
    // Vertex colour of the geometry that follows (multiplies the material colour).
    void SetColor(const Color& vertexColor) { color = vertexColor; }
    // Transform applied to the geometry that follows (rotations, translations, uniform scale).
    void SetPlacement(const Matrix& placement) { this->placement = placement; }
    void ResetPlacement() { placement = Matrix::Identity; }
    // World units covered by one repeat of the texture (planar mapping); 0 maps each face 0..1.
    void SetTextureScale(float unitsPerTexture) { textureScale = unitsPerTexture; }
    // Turns every following face around: for rooms and other shapes seen from inside.
    void SetInward(bool inward) { this->inward = inward; }

    // Runs `build` with the placement `local` applied before the current one.
    template <typename Build>
    void Placed(const Matrix& local, Build build) {
        const Matrix outer = placement;
        placement = local * outer;
        build();
        placement = outer;
    }

    // A flat convex polygon; `outward` says which side is visible (any vector on that side).
    void Face(const std::vector<Vector3>& corners, const Vector3& outward);
    void Face(const std::vector<Vector3>& corners, const std::vector<Vector2>& uvs, const Vector3& outward);

    // Axis-aligned box; a positive bevel cuts every edge at 45 degrees.
    void Box(const Vector3& minimum, const Vector3& maximum, float bevel = 0.0f);
    // Prism along x from x0 to x1 over a convex profile given as (z, y) points in any order of turn.
    void PrismX(const std::vector<Vector2>& profileZY, float x0, float x1);
    // Frustum along +y from the base centre: radii at bottom and top, smooth sides, flat caps.
    void Cylinder(const Vector3& base, float height, float radiusBottom, float radiusTop, int segments,
                  bool caps = true);
    // Cylinder of the given radius along +x from x0 to x1 through (y, z).
    void CylinderX(float x0, float x1, float y, float z, float radius, int segments);
    // Cylinder along +z from z0 to z1 through (x, y).
    void CylinderZ(float z0, float z1, float x, float y, float radius, int segments, float radiusEnd = -1.0f);
    // Low-polygon sphere with smooth normals.
    void Sphere(const Vector3& centre, float radius, int segments, int rings);
    // Caterpillar belt: a stadium loop in the (z, y) plane around two wheels of `radius` whose
    // centres lie at z = zBack and z = zFront, height y = bottom + radius, extruded from x0 to x1.
    // The belt's texture coordinate u runs along the belt one unit per `beltLength` world units,
    // forward along the top run, so that lowering u moves the top run forward.
    void Tread(float x0, float x1, float zBack, float zFront, float bottom, float radius, int arcSegments,
               float beltLength, int sideMaterial);

    // Drops the triangles that `keep` turns down, and the vertices no triangle uses any more. The
    // triangles left keep their corners and their order.
    void KeepTriangles(const std::function<bool(const Vector3&, const Vector3&, const Vector3&)>& keep);

    // A marker over the box, moved by the current placement's translation.
    void AddMarker(const std::string& name, const Vector3& minimum, const Vector3& maximum);

    const std::vector<MeshMaterial>& Materials() const { return materials; }
    const std::vector<MeshMarker>& Markers() const { return markers; }
    const std::vector<MeshPrimitive>& Primitives() const { return primitives; }
    size_t TriangleCount() const;

private:
    MeshPrimitive& Current();
    uint32_t AddVertex(const Vector3& position, const Vector3& normal, const Vector2& uv);
    void AddTriangle(uint32_t a, uint32_t b, uint32_t c);
    Vector2 PlanarUv(const Vector3& point, const Vector3& normal) const;
    // Quad strip between two rings of points with per-point normals.
    void Band(const std::vector<Vector3>& ringA, const std::vector<Vector3>& ringB,
              const std::vector<Vector3>& normalsA, const std::vector<Vector3>& normalsB, const std::vector<float>& us,
              float vA, float vB);

    std::vector<MeshMaterial> materials;
    std::vector<MeshPrimitive> primitives;
    std::vector<MeshMarker> markers;
    int currentMaterial = 0;
    Color color{1.0f, 1.0f, 1.0f, 1.0f};
    Matrix placement;
    float textureScale = 0.0f;
    bool inward = false;
};
