#pragma once

#include <cstdint>

#include "framework/graphics/FwVertexTypes.h"

// The plain records a mesh is made of besides its vertices (FwMeshVertex), shared by the glTF
// loader, the GPU mesh and ray queries.

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
