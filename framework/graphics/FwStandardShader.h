#pragma once

// The lit model program: metallic/roughness shading with one directional light, point lights,
// emissive colour and distance fog. Textures: t0 base colour, t1 emissive, t2 metallic-roughness.

#include <array>
#include <cstddef>
#include <cstdint>

#include "framework/graphics/FwConstantBuffer.h"
#include "framework/graphics/FwInputLayout.h"
#include "framework/graphics/FwShaderProgram.h"
#include "framework/math/SimpleMath.h"

// Register b0.
struct cbObject {
    Matrix g_mW;
    Vector2 g_UVOffset{0.0f, 0.0f};
    Vector2 g_UVTiling{1.0f, 1.0f};
    int32_t g_LightEnable = 1;
    float g_AlphaTestThreshold = 0.0f;
    float pad[2] = {};
};
static_assert(sizeof(cbObject) == 96 && offsetof(cbObject, g_UVOffset) == 64 && offsetof(cbObject, g_UVTiling) == 72 &&
              offsetof(cbObject, g_LightEnable) == 80 && offsetof(cbObject, g_AlphaTestThreshold) == 84);

// Register b1. All zero until a model's material is written into it.
struct cbMaterial {
    Vector4 BaseColor;
    Vector3 Emissive;
    float Metallic = 0.0f;
    float Roughness = 0.0f;
    float pad[3] = {};
};
static_assert(sizeof(cbMaterial) == 48 && offsetof(cbMaterial, Emissive) == 16 &&
              offsetof(cbMaterial, Metallic) == 28 && offsetof(cbMaterial, Roughness) == 32);

// Which textures of the bound material hold more than the white texture.
struct FwMaterialTextures {
    bool baseColor = true;
    bool metallicRoughness = true;
    bool emissive = true;
};

class FwStandardShader {
public:
    static constexpr uint32_t kObjectSlot = 0;
    static constexpr uint32_t kMaterialSlot = 1;

    bool Init();
    void Release();
    // Program, layout and the object and material buffers; the camera and light stay bound.
    // Until SetMaterialTextures says otherwise, every texture of the material is read.
    void SetToDevice();

    // For the material written into cbMaterial: the program variant used from now on skips the
    // fetches of white textures and takes the specular power from the constant roughness.
    void SetMaterialTextures(const FwMaterialTextures& textures);
    // Binds the variant that leaves out what the constants switch off (lighting, point lights,
    // fog); called before each draw, after the object constants are written.
    void SelectVariant();

    // The variant without switches: what the constant-buffer layouts are checked against.
    const FwShaderProgram& Program() const { return variants[0]; }

    Matrix world;
    FwConstantBuffer<::cbObject> cbObject;
    FwConstantBuffer<::cbMaterial> cbMaterial;

private:
    static constexpr size_t kVariantBits = 7;

    const FwShaderProgram* Variant(uint32_t switches);

    std::array<FwShaderProgram, size_t{1} << kVariantBits> variants;
    std::array<bool, size_t{1} << kVariantBits> failed{};
    std::array<GLint, size_t{1} << kVariantBits> specLocations{};
    FwInputLayout inputLayout;
    FwMaterialTextures materialTextures;
    Vector2 specPowerNorm;
};
