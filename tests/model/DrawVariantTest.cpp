#include <gtest/gtest.h>

#include <stb_image_write.h>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwDrawModel.h"
#include "framework/model/FwModel.h"
#include "tests/model/ModelGLFixture.h"

// The standard program leaves out the fetches of white textures and the lights and fog that are
// switched off. A material whose base-colour, metallic-roughness and emissive textures are a white
// file (so they are fetched) must look exactly like the same material on the device's white texture.

namespace {

nlohmann::json Material(bool withTextures) {
    nlohmann::json material = {
        {"pbrMetallicRoughness",
         {{"baseColorFactor", {0.8, 0.5, 0.3, 1.0}}, {"metallicFactor", 0.6}, {"roughnessFactor", 0.85}}},
        {"emissiveFactor", {0.2, 0.1, 0.0}}};
    if (withTextures) {
        material["pbrMetallicRoughness"]["baseColorTexture"] = {{"index", 0}};
        material["pbrMetallicRoughness"]["metallicRoughnessTexture"] = {{"index", 0}};
        material["emissiveTexture"] = {{"index", 0}};
    }
    return material;
}

}  // namespace

class DrawVariantTest : public ModelGLTest {
protected:
    // Pixels across the square, drawn with the plain and then the textured model.
    void ExpectSameLook(const char* what) {
        for (const FwModel* model : {&plain, &textured}) {
            DrawModel(*model);
            looks[model == &textured] = {Pixel(kWidth / 2, kHeight / 2), Pixel(kWidth / 2 - 30, kHeight / 2 - 30),
                                         Pixel(kWidth / 2 + 30, kHeight / 2 + 20)};
        }
        for (size_t i = 0; i < looks[0].size(); ++i) {
            EXPECT_TRUE(ColorNear(looks[1][i], looks[0][i], 1)) << what << ", pixel " << i;
        }
    }

    FwModel plain;
    FwModel textured;
    std::array<std::array<std::array<int, 4>, 3>, 2> looks{};
};

TEST_F(DrawVariantTest, WhiteTexturesSkippedLightsAndFogLookAsComputedInFull) {
    const uint8_t white[4] = {255, 255, 255, 255};
    ASSERT_NE(stbi_write_png(dir.File("white.png").c_str(), 1, 1, 4, white, 4), 0);
    GLTFTestFile file = FacingSquare(0, 0, 10, 3, Material(true));
    file.json["images"] = {{{"uri", "white.png"}}};
    file.json["textures"] = {{{"source", 0}}};
    ASSERT_TRUE(LoadInto(textured, file, "textured.gltf"));
    ASSERT_NE(textured.Materials()[0].BaseColorTex, FwDirect3D::GetInstance().WhiteTexture());
    ASSERT_NE(textured.Materials()[0].MetallicRoughnessTex, FwDirect3D::GetInstance().WhiteTexture());
    ASSERT_TRUE(LoadInto(plain, FacingSquare(0, 0, 10, 3, Material(false)), "plain.gltf"));
    ASSERT_EQ(plain.Materials()[0].BaseColorTex, FwDirect3D::GetInstance().WhiteTexture());
    ASSERT_EQ(plain.Materials()[0].EmissiveTex, FwDirect3D::GetInstance().WhiteTexture());

    FwShaderManager& shaders = FwShaderManager::GetInstance();
    shaders.cbLight.Work().g_DL_Dir = Vector3(0.3f, -0.2f, 1.0f).Normalized();
    shaders.cbLight.Work().g_AmbientLight = Vector3(0.2f, 0.2f, 0.2f);
    shaders.cbLight.Write();
    ExpectSameLook("directional light");
    const auto directionalOnly = looks[0];

    shaders.cbLight.Work().g_PL[0].pos = Vector3(1, 0.5f, 8);
    shaders.cbLight.Work().g_PL[0].radius = 6;
    shaders.cbLight.Work().g_PL_Num = 1;
    shaders.cbLight.Write();
    ExpectSameLook("point light");
    EXPECT_FALSE(ColorNear(looks[0][0], directionalOnly[0], 4)) << "the point light shows";

    shaders.cbCamera.Work().g_DistanceFogEnable = 1;
    shaders.cbCamera.Work().g_DistanceFogDensity = 0.05f;
    shaders.cbCamera.Write();
    ExpectSameLook("fog");

    shaders.standardShader.cbObject.Work().g_LightEnable = 0;
    ExpectSameLook("unlit");
    shaders.cbLight.Work().g_PL_Num = 0;
    shaders.cbLight.Write();
    shaders.cbCamera.Work().g_DistanceFogEnable = 0;
    shaders.cbCamera.Write();
    // Unlit, no fog: albedo x alpha exactly.
    DrawModel(plain);
    EXPECT_TRUE(ColorNear(Centre(), {204, 128, 77, 255}));
}
