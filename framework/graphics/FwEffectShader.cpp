#include "framework/graphics/FwEffectShader.h"

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwVertexTypes.h"

bool FwEffectShader::Init() {
    Release();
    const bool built =
        program.Create({"camera.glsl", "effect_blocks.glsl", "effect.vert"},
                       {"camera.glsl", "effect_blocks.glsl", "effect.frag"},
                       {{"cbPerObject", kPerObjectSlot}, {"cbCamera", FwShaderManager::kCameraSlot}}, {{"g_tex", 0}}) &&
        inputLayout.Create(kEffectVertexLayout, program) && cbPerObject.Create();
    if (!built) {
        Release();
    }
    return built;
}

void FwEffectShader::Release() {
    program.Release();
    inputLayout.Release();
    cbPerObject.Release();
}

void FwEffectShader::SetToDevice() {
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    context.SetProgram(&program);
    context.SetInputLayout(&inputLayout);
    context.SetConstantBuffer(kPerObjectSlot, &cbPerObject.Buffer());
}
