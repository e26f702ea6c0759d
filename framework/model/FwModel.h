#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "framework/model/FwMesh.h"

struct FwModelNode {
    std::string Name;
    int32_t NodeIndex = 0;
    Matrix Transform;              // the node's local transform; parents are not applied
    std::shared_ptr<FwMesh> Mesh;  // null for nodes without a mesh
};

// A material with its textures loaded; a texture that is not named or cannot be read is the
// device's white texture (the normal texture is kept as loaded; drawing does not use it).
struct FwMaterial {
    FwMaterial();

    std::string Name;
    std::shared_ptr<FwTexture> BaseColorTex;
    Color BaseColor = {1, 1, 1, 1};
    std::shared_ptr<FwTexture> MetallicRoughnessTex;
    float Metallic = 0.0f;
    float Roughness = 1.0f;
    std::shared_ptr<FwTexture> EmissiveTex;
    Vector3 Emissive = {0, 0, 0};
    std::shared_ptr<FwTexture> NormalTex;
};

// A drawable glTF model. Owners of one file share its meshes (with their GPU buffers and ray
// hierarchies) and textures, which never change once loaded (see FwFileCache); each owner keeps
// its own node list. A failed load leaves it empty, and an empty model draws nothing and is never
// hit by rays.
class FwModel {
public:
    // Textures are looked up beside the model file. The path is resolved against the content root.
    bool Load(const std::string& path);
    void Release();
    // Forgets the shared files; called before the device goes.
    static void ReleaseCache();
    // How many files the shared cache holds.
    static size_t CacheSize();

    const std::vector<FwModelNode>& Nodes() const { return nodes; }
    const std::vector<FwMaterial>& Materials() const { return materials; }

private:
    bool LoadFile(const std::string& resolvedPath);

    std::vector<FwModelNode> nodes;
    std::vector<FwMaterial> materials;
};
