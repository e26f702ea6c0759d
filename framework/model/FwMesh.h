#pragma once

#include <vector>

#include "framework/graphics/FwBuffer.h"
#include "framework/math/SimpleMath.h"
#include "framework/model/FwMeshData.h"
#include "framework/model/FwRayBvh.h"

struct FwBoundingBox {
    Vector3 center = {0, 0, 0};
    Vector3 extents = {1, 1, 1};
};

struct FwBoundingSphere {
    Vector3 center = {0, 0, 0};
    float radius = 1.0f;
};

// One mesh node on the GPU: a vertex and an index buffer shared by all its subsets, plus CPU
// copies of the positions and faces and a hierarchy over them for ray queries. Without a GL context the buffers stay
// empty and only the CPU side is filled.
class FwMesh {
public:
    bool Create(const std::vector<FwMeshVertex>& vertices, const std::vector<FwMeshFace>& faces,
                const std::vector<FwMeshSubset>& meshSubsets);
    void Release();

    void SetToDevice() const;
    void DrawSubset(size_t subsetIndex) const;

    const std::vector<FwMeshSubset>& Subsets() const { return subsets; }
    const FwBoundingBox& Aabb() const { return aabb; }
    const FwBoundingSphere& Sphere() const { return sphere; }
    const std::vector<Vector3>& Positions() const { return positions; }
    const std::vector<FwMeshFace>& Faces() const { return faces; }
    const FwRayBvh& Bvh() const { return bvh; }
    // Every vertex colour has full alpha.
    bool OpaqueColors() const { return opaqueColors; }

private:
    FwBuffer vertexBuffer;
    FwBuffer indexBuffer;
    std::vector<FwMeshSubset> subsets;
    FwBoundingBox aabb;
    FwBoundingSphere sphere;
    std::vector<Vector3> positions;
    std::vector<FwMeshFace> faces;
    FwRayBvh bvh;  // over positions and faces, built with them
    bool opaqueColors = true;
};
