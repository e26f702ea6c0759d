#include "scenes/C_Scene.h"

#include <nlohmann/json.hpp>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/math/SimpleMath.h"
#include "framework/platform/FwScreen.h"

void C_Scene::Frame() {
    Update();
    DrawFrame();
}

void C_Scene::DrawFrame() {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    d3d.BeginFrame();
    if (DrawsScaled3D()) {
        d3d.BeginScaled3D();
    }
    d3d.ClearBackBuffer(Color(0.3f, 0.3f, 0.3f, 0.1f));
    d3d.ClearDepthStencil(1.0f, 0);
    SetCamera();
    Draw();
}

void C_Scene::SetCamera() {
    const Matrix view = Matrix::CreateLookAtLH(Vector3(0.0f, 0.0f, -10.0f), Vector3::Zero, Vector3::UnitY);
    const Matrix projection = Matrix::CreatePerspectiveFieldOfViewLH(Math::kPi / 3.0f, kScreenAspect, 0.01f, 1500.0f);
    auto& camera = FwShaderManager::GetInstance().cbCamera.Work();
    camera.g_mV = view;
    camera.g_mP = projection;
    camera.g_CamPos = view.Invert().Translation();
    FwShaderManager::GetInstance().cbCamera.Write();
}

void C_Scene::DumpState(nlohmann::json& /*out*/) const {}
