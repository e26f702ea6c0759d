#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwMeshData.h"

// CPU-side record of a glTF file, already in the game's left-handed convention: the loader
// mirrors z and reverses the winding. FwModel::Load turns it into GPU meshes and textures.

struct FwGLTFMaterial {
    std::string Name;
    std::string AlphaMode = "OPAQUE";
    float AlphaCutoff = 0.5f;
    bool DoubleSided = false;
    std::string BaseColorTexture;  // image file names beside the model; empty for none
    Color BaseColor = {1, 1, 1, 1};
    std::string MetallicRoughnessTexture;
    float Metallic = 1.0f;
    float Roughness = 1.0f;
    std::string EmissiveTexture;
    Vector3 Emissive = {0, 0, 0};
    std::string NormalTexture;
    std::string OcclusionTexture;
};

struct FwGLTFNode {
    std::string Name;
    int32_t NodeIndex = 0;
    std::vector<std::shared_ptr<FwGLTFNode>> Children;
    Matrix LocalTransform;
    Matrix WorldTransform;  // LocalTransform x the parent's WorldTransform
    bool IsMesh = false;
    // Every triangle primitive of the node's mesh, merged and sorted by material.
    std::vector<FwMeshVertex> Vertices;
    std::vector<FwMeshFace> Faces;
    std::vector<FwMeshSubset> Subsets;
};

struct FwGLTFModel {
    std::vector<std::shared_ptr<FwGLTFNode>> Nodes;      // file order
    std::vector<std::shared_ptr<FwGLTFNode>> RootNodes;  // as the first scene lists them
    std::vector<FwGLTFMaterial> Materials;               // never empty
};

// Reads a .glb (binary) or any other path (text glTF); prints its progress and any warning or
// error on standard output. Null when the file cannot be read or its data does not fit.
std::shared_ptr<FwGLTFModel> FwLoadGLTFModel(const std::string& path);

// The directory part of `path` including its last '/' or '\', or "" when there is none.
std::string GetDirFromPath(const std::string& path);

// The file a buffer or image `uri` of a model in `folder` names, with the letter-case rules of
// FwResolvePath. Only files in the folder or below it are named: "" for a URI that is empty,
// absolute, has a scheme (data:, http:, file:) or climbs out of the folder with "..".
std::string FwResolveModelUri(const std::string& folder, const std::string& uri);
