#include "framework/graphics/FwStandardShader.h"

#include <cmath>
#include <string>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwGL.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwVertexTypes.h"

namespace {

// One bit of a variant number per define of standard.frag.
const char* const kSwitchDefines[] = {"NO_MR_TEX",   "NO_EMISSIVE_TEX", "NO_POINT_LIGHTS", "NO_FOG",
                                      "NO_LIGHTING", "NO_BASE_TEX",     "VERTEX_LIGHTING"};
constexpr uint32_t kNoMrTex = 1u << 0;
constexpr uint32_t kNoEmissiveTex = 1u << 1;
constexpr uint32_t kNoPointLights = 1u << 2;
constexpr uint32_t kNoFog = 1u << 3;
constexpr uint32_t kNoLighting = 1u << 4;
constexpr uint32_t kNoBaseTex = 1u << 5;
constexpr uint32_t kVertexLighting = 1u << 6;

bool Build(FwShaderProgram& program, uint32_t switches) {
    std::string prelude;
    for (size_t bit = 0; bit < std::size(kSwitchDefines); ++bit) {
        if ((switches & (1u << bit)) != 0) {
            prelude += std::string("#define ") + kSwitchDefines[bit] + "\n";
        }
    }
    return program.Create({"camera.glsl", "standard_blocks.glsl", "standard.vert"},
                          {"camera.glsl", "standard_blocks.glsl", "standard.frag"},
                          {{"cbObject", FwStandardShader::kObjectSlot},
                           {"cbMaterial", FwStandardShader::kMaterialSlot},
                           {"cbCamera", FwShaderManager::kCameraSlot},
                           {"cbLight", FwShaderManager::kLightSlot}},
                          {{"g_baseTex", 0}, {"g_emissiveTex", 1}, {"g_mrTex", 2}}, prelude);
}

}  // namespace

bool FwStandardShader::Init() {
    Release();
    const bool built = Build(variants[0], 0) && inputLayout.Create(kMeshVertexLayout, variants[0]) &&
                       cbObject.Create() && cbMaterial.Create();
    if (!built) {
        Release();
    }
    return built;
}

void FwStandardShader::Release() {
    for (FwShaderProgram& variant : variants) {
        variant.Release();
    }
    failed = {};
    specLocations.fill(-1);
    inputLayout.Release();
    cbObject.Release();
    cbMaterial.Release();
}

void FwStandardShader::SetToDevice() {
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    materialTextures = {};
    context.SetProgram(&variants[0]);
    context.SetInputLayout(&inputLayout);
    context.SetConstantBuffer(kObjectSlot, &cbObject.Buffer());
    context.SetConstantBuffer(kMaterialSlot, &cbMaterial.Buffer());
}

void FwStandardShader::SetMaterialTextures(const FwMaterialTextures& textures) {
    materialTextures = textures;
    const float power = std::exp2((1.0f - cbMaterial.Get().Roughness) * 13.0f);
    specPowerNorm = Vector2(power, (power + 2.0f) * 0.159155f);
}

const FwShaderProgram* FwStandardShader::Variant(uint32_t switches) {
    FwShaderProgram& variant = variants[switches];
    if (variant.Program() == 0 && !failed[switches]) {
        failed[switches] = !Build(variant, switches);
        specLocations[switches] = glGetUniformLocation(variant.Program(), "g_SpecPowerNorm");
    }
    // A variant that does not build falls back to the one that computes everything.
    return variant.Program() != 0 ? &variant : &variants[0];
}

void FwStandardShader::SelectVariant() {
    if (variants[0].Program() == 0) {
        return;
    }
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    const FwDirect3D& d3d = FwDirect3D::GetInstance();
    uint32_t switches = materialTextures.baseColor ? 0 : kNoBaseTex;
    if (cbObject.Get().g_LightEnable == 0) {
        switches |= kNoLighting | kNoMrTex | kNoEmissiveTex | kNoPointLights;
    } else {
        switches |= materialTextures.metallicRoughness ? 0 : kNoMrTex;
        switches |= materialTextures.emissive ? 0 : kNoEmissiveTex;
        switches |= shaders.cbLight.Get().g_PL_Num > 0 ? 0 : kNoPointLights;
        if ((switches & kNoPointLights) != 0 && d3d.CheaperLook() && d3d.DrawingScaled3D()) {
            switches |= kVertexLighting;
        }
    }
    switches |= shaders.cbCamera.Get().g_DistanceFogEnable != 0 ? 0 : kNoFog;
    const FwShaderProgram* program = Variant(switches);
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    if (context.Program() != program) {
        context.SetProgram(program);
    }
    if (program == &variants[switches] && specLocations[switches] >= 0) {
        glUniform2f(specLocations[switches], specPowerNorm.x, specPowerNorm.y);
    }
}
