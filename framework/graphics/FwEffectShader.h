#pragma once

// The unlit program for billboards, beams, flashes and quads: texture t0 times vertex colour.

#include <cstddef>
#include <cstdint>

#include "framework/graphics/FwConstantBuffer.h"
#include "framework/graphics/FwInputLayout.h"
#include "framework/graphics/FwShaderProgram.h"
#include "framework/math/SimpleMath.h"

// Register b0.
struct cbPerObject {
    Matrix g_mW;
    Vector2 g_UVOffset{0.0f, 0.0f};
    Vector2 g_UVTiling{1.0f, 1.0f};
    float g_AlphaTestThreshold = 0.0f;
    float pad[3] = {};
};
static_assert(sizeof(cbPerObject) == 96 && offsetof(cbPerObject, g_UVTiling) == 72 &&
              offsetof(cbPerObject, g_AlphaTestThreshold) == 80);

class FwEffectShader {
public:
    static constexpr uint32_t kPerObjectSlot = 0;

    bool Init();
    void Release();
    // Program, layout and the per-object buffer; the camera stays bound.
    void SetToDevice();

    FwConstantBuffer<::cbPerObject> cbPerObject;

private:
    FwShaderProgram program;
    FwInputLayout inputLayout;
};
