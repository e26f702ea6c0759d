#pragma once

// The shader service: the three programs and the constant buffers every draw shares, the camera
// (b7) and the lights (b8), bound once at start-up and never rebound.

#include <cstddef>
#include <cstdint>

#include "framework/graphics/FwConstantBuffer.h"
#include "framework/graphics/FwEffectShader.h"
#include "framework/graphics/FwSpriteShader.h"
#include "framework/graphics/FwStandardShader.h"
#include "framework/math/SimpleMath.h"

struct cbCamera {
    Matrix g_mV;
    Matrix g_mP;
    Vector3 g_CamPos;
    int32_t g_DistanceFogEnable = 0;
    Vector3 g_DistanceFogColor{1.0f, 1.0f, 1.0f};
    float g_DistanceFogDensity = 0.001f;
};
static_assert(sizeof(cbCamera) == 160 && offsetof(cbCamera, g_mP) == 64 && offsetof(cbCamera, g_CamPos) == 128 &&
              offsetof(cbCamera, g_DistanceFogEnable) == 140 && offsetof(cbCamera, g_DistanceFogColor) == 144 &&
              offsetof(cbCamera, g_DistanceFogDensity) == 156);

struct PointLight {
    Vector3 color{3.0f, 3.0f, 3.0f};
    float radius = 0.0f;
    Vector3 pos;
    float tmp4 = 0.0f;
};
static_assert(sizeof(PointLight) == 32 && offsetof(PointLight, pos) == 16);

struct cbLight {
    static constexpr int kMaxPointLights = 100;

    Vector3 g_AmbientLight;
    float pad0 = 0.0f;
    Vector3 g_DL_Dir{0.0f, -1.0f, 0.0f};
    float pad1 = 0.0f;
    Vector3 g_DL_Color{1.0f, 1.0f, 1.0f};
    float pad2 = 0.0f;
    PointLight g_PL[kMaxPointLights];
    int32_t g_PL_Num = 0;
    int32_t pad3[3] = {};
};
static_assert(sizeof(cbLight) == 3264 && offsetof(cbLight, g_DL_Dir) == 16 && offsetof(cbLight, g_DL_Color) == 32 &&
              offsetof(cbLight, g_PL) == 48 && offsetof(cbLight, g_PL_Num) == 3248);

class FwShaderManager {
public:
    static constexpr uint32_t kCameraSlot = 7;
    static constexpr uint32_t kLightSlot = 8;

    static FwShaderManager& GetInstance();

    // A program that fails to build stays empty; the others are made regardless.
    void Init();
    void Release();

    FwStandardShader standardShader;
    FwEffectShader effectShader;
    FwSpriteShader spriteShader;
    FwConstantBuffer<::cbCamera> cbCamera;
    FwConstantBuffer<::cbLight> cbLight;

private:
    FwShaderManager() = default;
};
