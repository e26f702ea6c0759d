#include "framework/graphics/FwStandardShader.h"

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwVertexTypes.h"

bool FwStandardShader::Init() {
    Release();
    const bool built = program.Create({"camera.glsl", "standard_blocks.glsl", "standard.vert"},
                                      {"camera.glsl", "standard_blocks.glsl", "standard.frag"},
                                      {{"cbObject", kObjectSlot},
                                       {"cbMaterial", kMaterialSlot},
                                       {"cbCamera", FwShaderManager::kCameraSlot},
                                       {"cbLight", FwShaderManager::kLightSlot}},
                                      {{"g_baseTex", 0}, {"g_emissiveTex", 1}, {"g_mrTex", 2}}) &&
                       inputLayout.Create(kMeshVertexLayout, program) && cbObject.Create() && cbMaterial.Create();
    if (!built) {
        Release();
    }
    return built;
}

void FwStandardShader::Release() {
    program.Release();
    inputLayout.Release();
    cbObject.Release();
    cbMaterial.Release();
}

void FwStandardShader::SetToDevice() {
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    context.SetProgram(&program);
    context.SetInputLayout(&inputLayout);
    context.SetConstantBuffer(kObjectSlot, &cbObject.Buffer());
    context.SetConstantBuffer(kMaterialSlot, &cbMaterial.Buffer());
}
