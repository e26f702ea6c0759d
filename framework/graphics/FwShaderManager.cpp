#include "framework/graphics/FwShaderManager.h"

#include "framework/graphics/FwDirect3D.h"

namespace {
constexpr float kFieldOfViewY = Math::kPi / 3.0f;  // 60 degrees
constexpr float kNearPlane = 0.01f;
constexpr float kFarPlane = 1000.0f;
}  // namespace

FwShaderManager& FwShaderManager::GetInstance() {
    static FwShaderManager instance;
    return instance;
}

void FwShaderManager::Init() {
    standardShader.Init();
    effectShader.Init();
    spriteShader.Init();

    FwDirect3D& d3d = FwDirect3D::GetInstance();
    FwDeviceContext& context = d3d.Context();
    cbCamera.Create();
    context.SetConstantBuffer(kCameraSlot, &cbCamera.Buffer());
    ::cbCamera& camera = cbCamera.Work();
    camera.g_mV = Matrix::Identity;  // the inverse of an identity camera matrix
    const float aspect = static_cast<float>(d3d.Width()) / static_cast<float>(d3d.Height());
    camera.g_mP = Matrix::CreatePerspectiveFieldOfViewLH(kFieldOfViewY, aspect, kNearPlane, kFarPlane);

    cbLight.Create();
    context.SetConstantBuffer(kLightSlot, &cbLight.Buffer());
}

void FwShaderManager::Release() {
    standardShader.Release();
    effectShader.Release();
    spriteShader.Release();
    cbCamera.Release();
    cbLight.Release();
}
