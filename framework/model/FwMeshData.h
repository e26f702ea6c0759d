#pragma once

#include <cstdint>

#include "framework/math/SimpleMath.h"

// The plain records a mesh is made of, shared by the glTF loader, the GPU mesh and ray queries.

// One vertex as the standard program reads it (36 bytes).
struct FwMeshVertex {
    Vector3 position;
    Vector2 uv;
    Vector3 normal;
    uint32_t color = 0xFFFFFFFF;  // R in the lowest byte, then G, B, A
};
static_assert(sizeof(FwMeshVertex) == 36);

// Three vertex indices of one triangle (12 bytes).
struct FwMeshFace {
    uint32_t idx[3] = {0, 0, 0};
};
static_assert(sizeof(FwMeshFace) == 12);

// A run of faces drawn with one material (12 bytes).
struct FwMeshSubset {
    int32_t MaterialNo = 0;
    uint32_t FaceStart = 0;
    uint32_t FaceCount = 0;
};
static_assert(sizeof(FwMeshSubset) == 12);
