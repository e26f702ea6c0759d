#pragma once

// Vertex layouts of the three programs. Attribute locations follow the semantic, so one layout
// fits every program that reads those semantics.

#include <array>
#include <cstddef>
#include <cstdint>

#include "framework/graphics/FwInputLayout.h"
#include "framework/math/SimpleMath.h"

struct FwMeshVertex {
    Vector3 position;
    Vector2 uv;
    Vector3 normal;
    uint8_t color[4] = {255, 255, 255, 255};  // r, g, b, a
};

struct FwEffectVertex {
    Vector3 position;
    Vector2 uv;
    Color color;
};

struct FwSpriteVertex {
    Vector3 position;
    Vector2 uv;
};

static_assert(sizeof(FwMeshVertex) == 36 && offsetof(FwMeshVertex, color) == 32);
static_assert(sizeof(FwEffectVertex) == 36 && offsetof(FwEffectVertex, color) == 20);
static_assert(sizeof(FwSpriteVertex) == 20 && offsetof(FwSpriteVertex, uv) == 12);

inline constexpr std::array<FwInputElement, 4> kMeshVertexLayout = {{
    {FwSemantic::Position, FwVertexFormat::R32G32B32_FLOAT, 0},
    {FwSemantic::TexCoord, FwVertexFormat::R32G32_FLOAT, 12},
    {FwSemantic::Normal, FwVertexFormat::R32G32B32_FLOAT, 20},
    {FwSemantic::Color, FwVertexFormat::R8G8B8A8_UNORM, 32},
}};

inline constexpr std::array<FwInputElement, 3> kEffectVertexLayout = {{
    {FwSemantic::Position, FwVertexFormat::R32G32B32_FLOAT, 0},
    {FwSemantic::TexCoord, FwVertexFormat::R32G32_FLOAT, 12},
    {FwSemantic::Color, FwVertexFormat::R32G32B32A32_FLOAT, 20},
}};

inline constexpr std::array<FwInputElement, 2> kSpriteVertexLayout = {{
    {FwSemantic::Position, FwVertexFormat::R32G32B32_FLOAT, 0},
    {FwSemantic::TexCoord, FwVertexFormat::R32G32_FLOAT, 12},
}};
