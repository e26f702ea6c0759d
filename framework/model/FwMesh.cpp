#include "framework/model/FwMesh.h"

#include <algorithm>
#include <cmath>

#include "framework/graphics/FwDirect3D.h"

namespace {

FwBoundingBox BoxAround(const std::vector<Vector3>& points) {
    Vector3 low = points.front();
    Vector3 high = points.front();
    for (const Vector3& p : points) {
        low = Vector3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = Vector3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    return {(high + low) * 0.5f, (high - low) * 0.5f};
}

// Ritter's sphere: the widest pair among the extreme points along x, y and z as a first guess,
// then grown just enough to take in each point that lies outside.
FwBoundingSphere SphereAround(const std::vector<Vector3>& points) {
    Vector3 minX = points.front();
    Vector3 maxX = minX;
    Vector3 minY = minX;
    Vector3 maxY = minX;
    Vector3 minZ = minX;
    Vector3 maxZ = minX;
    for (const Vector3& p : points) {
        minX = p.x < minX.x ? p : minX;
        maxX = p.x > maxX.x ? p : maxX;
        minY = p.y < minY.y ? p : minY;
        maxY = p.y > maxY.y ? p : maxY;
        minZ = p.z < minZ.z ? p : minZ;
        maxZ = p.z > maxZ.z ? p : maxZ;
    }
    const float spanX = Vector3::Distance(maxX, minX);
    const float spanY = Vector3::Distance(maxY, minY);
    const float spanZ = Vector3::Distance(maxZ, minZ);
    // On a tie the later axis wins.
    Vector3 from = minZ;
    Vector3 to = maxZ;
    if (spanX > spanY && spanX > spanZ) {
        from = minX;
        to = maxX;
    } else if (spanX <= spanY && spanY > spanZ) {
        from = minY;
        to = maxY;
    }
    FwBoundingSphere sphere{(from + to) * 0.5f, Vector3::Distance(to, from) * 0.5f};
    for (const Vector3& p : points) {
        const Vector3 delta = p - sphere.center;
        const float distance = delta.Length();
        if (distance > sphere.radius) {
            sphere.radius = (sphere.radius + distance) * 0.5f;
            sphere.center += delta * (1.0f - sphere.radius / distance);
        }
    }
    return sphere;
}

}  // namespace

bool FwMesh::Create(const std::vector<FwMeshVertex>& vertices, const std::vector<FwMeshFace>& meshFaces,
                    const std::vector<FwMeshSubset>& meshSubsets) {
    Release();
    subsets = meshSubsets;
    if (!vertices.empty()) {
        vertexBuffer.Create(FwBind::kVertexBuffer, uint32_t(sizeof(FwMeshVertex) * vertices.size()), FwUsage::Default,
                            vertices.data());
        positions.reserve(vertices.size());
        for (const FwMeshVertex& vertex : vertices) {
            positions.push_back(vertex.position);
            opaqueColors = opaqueColors && vertex.color[3] == 255;
        }
        aabb = BoxAround(positions);
        sphere = SphereAround(positions);
    }
    if (!meshFaces.empty()) {
        indexBuffer.Create(FwBind::kIndexBuffer, uint32_t(sizeof(FwMeshFace) * meshFaces.size()), FwUsage::Default,
                           meshFaces.data());
        faces = meshFaces;
        bvh.Build(positions, faces);
    }
    return true;
}

void FwMesh::Release() {
    vertexBuffer.Release();
    indexBuffer.Release();
    subsets.clear();
    aabb = {};
    sphere = {};
    positions.clear();
    faces.clear();
    bvh.Release();
    opaqueColors = true;
}

void FwMesh::SetToDevice() const {
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    context.SetVertexBuffer(&vertexBuffer, sizeof(FwMeshVertex), 0);
    context.SetIndexBuffer(&indexBuffer, 0);
    context.SetTopology(FwTopology::TriangleList);
}

void FwMesh::DrawSubset(size_t subsetIndex) const {
    if (subsetIndex >= subsets.size() || subsets[subsetIndex].FaceCount == 0) {
        return;
    }
    const FwMeshSubset& subset = subsets[subsetIndex];
    FwDirect3D::GetInstance().Context().DrawIndexed(subset.FaceCount * 3, subset.FaceStart * 3, 0);
}
