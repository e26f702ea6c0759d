#include <gtest/gtest.h>

#include <cmath>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwDrawModel.h"
#include "framework/model/FwModel.h"
#include "tests/model/ModelGLFixture.h"

// Pixels read back after drawing squares that face the camera, checked against the lighting,
// fog and colour arithmetic of the standard program as DrawModel feeds it.

namespace {

const std::array<int, 4> kBlack = {0, 0, 0, 255};

nlohmann::json Material(const std::vector<float>& baseColor, float metallic = 0.0f) {
    return {{"pbrMetallicRoughness", {{"baseColorFactor", baseColor}, {"metallicFactor", metallic}}}};
}

void SetLightEnable(int enable) {
    FwShaderManager::GetInstance().standardShader.cbObject.Work().g_LightEnable = enable;
}

}  // namespace

class DrawModelTest : public ModelGLTest {};

TEST_F(DrawModelTest, UnlitColourIsAlbedoTimesMaterialAlpha) {
    FwModel model;
    ASSERT_TRUE(LoadInto(model, FacingSquare(0, 0, 10, 2, Material({0.2f, 0.4f, 0.6f, 0.5f}))));
    SetLightEnable(0);
    DrawModel(model);
    // rgb = (0.2, 0.4, 0.6) x 0.5; the output alpha is the albedo's.
    EXPECT_TRUE(ColorNear(Centre(), {26, 51, 77, 128}));
}

TEST_F(DrawModelTest, FogKeepsAboutNinetyPercentAtDistanceHundred) {
    FwModel model;
    ASSERT_TRUE(LoadInto(model, FacingSquare(0, 0, 100, 20)));
    SetLightEnable(0);
    DrawModel(model);
    EXPECT_TRUE(ColorNear(Centre(), {255, 255, 255, 255}));

    FwShaderManager& shaders = FwShaderManager::GetInstance();
    shaders.cbCamera.Work().g_DistanceFogEnable = 1;
    shaders.cbCamera.Work().g_DistanceFogColor = Vector3(0, 0, 0);
    shaders.cbCamera.Write();
    DrawModel(model);
    const int kept = int(std::lround(255 * std::exp(-0.1)));  // 90.5 %
    EXPECT_TRUE(ColorNear(Centre(), {kept, kept, kept, 255}));
}

TEST_F(DrawModelTest, ColourVariantReplacesRgbAndMultipliesAlpha) {
    FwModel model;
    ASSERT_TRUE(LoadInto(model, FacingSquare(0, 0, 10, 2, Material({0.2f, 0.4f, 0.6f, 1.0f}))));
    SetLightEnable(0);
    DrawModel(model, Color(1, 0, 0, 0.5f));
    const Vector4 uploaded = FwShaderManager::GetInstance().standardShader.cbMaterial.Get().BaseColor;
    EXPECT_EQ(uploaded, Vector4(1, 0, 0, 0.5f));
    EXPECT_TRUE(ColorNear(Centre(), {128, 0, 0, 128}));
}

TEST_F(DrawModelTest, AlphaVariantScalesAlphaAndZeroDrawsNothing) {
    FwModel model;
    ASSERT_TRUE(LoadInto(model, FacingSquare(0, 0, 10, 2, Material({0.2f, 0.4f, 0.6f, 1.0f}))));
    SetLightEnable(0);
    DrawModel(model, 0.0f);
    EXPECT_TRUE(ColorNear(Centre(), kBlack));
    DrawModel(model, 0.5f);
    EXPECT_TRUE(ColorNear(Centre(), {26, 51, 77, 128}));
}

TEST_F(DrawModelTest, AlphaTestThresholdSetByTheCallerDiscardsUpToIt) {
    FwModel model;
    ASSERT_TRUE(LoadInto(model, FacingSquare(0, 0, 10, 2, Material({1, 1, 1, 0.5f}))));
    SetLightEnable(0);
    FwShaderManager::GetInstance().standardShader.cbObject.Work().g_AlphaTestThreshold = 0.5f;
    DrawModel(model);
    EXPECT_TRUE(ColorNear(Centre(), kBlack));
    FwShaderManager::GetInstance().standardShader.cbObject.Work().g_AlphaTestThreshold = 0.49f;
    DrawModel(model);
    EXPECT_TRUE(ColorNear(Centre(), {128, 128, 128, 128}));
}

TEST_F(DrawModelTest, FailedModelDrawsNothing) {
    FwModel model;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(model.Load(dir.File("missing.gltf")));
    testing::internal::GetCapturedStdout();
    SetLightEnable(0);
    DrawModel(model);
    DrawModel(model, Color(1, 0, 0, 1));
    EXPECT_TRUE(ColorNear(Centre(), kBlack));
}

TEST_F(DrawModelTest, DirectionalLightMaterialFactorsAndEmissive) {
    nlohmann::json material = Material({1, 1, 1, 1});
    material["pbrMetallicRoughness"]["roughnessFactor"] = 1.0;
    material["emissiveFactor"] = {0.5, 0.25, 0.0};
    FwModel model;
    ASSERT_TRUE(LoadInto(model, FacingSquare(0, 0, 10, 2, material)));
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    shaders.cbLight.Work().g_DL_Dir = Vector3(0, 0, 1);
    shaders.cbLight.Write();
    DrawModel(model);
    // Head-on light: diffuse 1/pi; roughness 1 gives power 1 and a specular of 0.04 x 3 / (2 pi).
    const float lit = 0.31831f + 0.04f * 3 * 0.159155f;
    const auto byte = [](float value) { return int(std::lround(255 * value)); };
    EXPECT_TRUE(ColorNear(Centre(), {byte(lit + 0.5f), byte(lit + 0.25f), byte(lit), 255}, 2));
}

TEST_F(DrawModelTest, NodeMatrixComesBeforeTheWorldMatrix) {
    GLTFTestFile file = FacingSquare(0, 0, 0, 1);
    file.json["nodes"][0]["scale"] = {2, 2, 2};
    FwModel model;
    ASSERT_TRUE(LoadInto(model, file));
    SetLightEnable(0);
    FwShaderManager::GetInstance().standardShader.world = Matrix::CreateTranslation(3, 0, 10);
    DrawModel(model);
    // Scaled, then moved: x from 1 to 5 at distance 10. The other order would put it at 4..8, 20 away.
    const float halfWidth = 10 * std::tan(Math::kPi / 6) * kWidth / kHeight;
    const int inside = kWidth / 2 + int(1.5f / halfWidth * (kWidth / 2));
    EXPECT_TRUE(ColorNear(Pixel(inside, kHeight / 2), {255, 255, 255, 255}));
    EXPECT_TRUE(ColorNear(Centre(), kBlack));
}

TEST_F(DrawModelTest, ShortWorldListLeavesLaterNodesOnTheirOwnTransform) {
    GLTFTestFile file = FacingSquare(0, 0, 0, 1);
    file.json["nodes"][0]["translation"] = {-3, 0, -10};
    file.AddNode({{"mesh", 0}, {"translation", {3, 0, -10}}});
    FwModel model;
    ASSERT_TRUE(LoadInto(model, file));
    SetLightEnable(0);
    const std::vector<Matrix> worldList = {Matrix::CreateTranslation(0, 3, 10)};
    DrawModel(model, &worldList);
    const float halfWidth = 10 * std::tan(Math::kPi / 6) * kWidth / kHeight;
    const float halfHeight = 10 * std::tan(Math::kPi / 6);
    const int offsetX = int(3 / halfWidth * (kWidth / 2));
    const int offsetY = int(3 / halfHeight * (kHeight / 2));
    const std::array<int, 4> white = {255, 255, 255, 255};
    EXPECT_TRUE(ColorNear(Pixel(kWidth / 2, kHeight / 2 - offsetY), white)) << "node 0 moved by the list";
    EXPECT_TRUE(ColorNear(Pixel(kWidth / 2 - offsetX, kHeight / 2), kBlack)) << "node 0 not at its own place";
    EXPECT_TRUE(ColorNear(Pixel(kWidth / 2 + offsetX, kHeight / 2), white)) << "node 1 at its own place";
}

// Under alpha blending, subsets of full alpha draw unblended and subsets the alpha test drops
// are left out: neither may show. The caller's blend state is bound again afterwards.
TEST_F(DrawModelTest, BlendingIsLeftOutOnlyWhereItChangesNothing) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    FwDeviceContext& context = d3d.Context();
    const FwBlendStatePtr alpha = d3d.CreateBlendState(FwBlendMode::Alpha);
    context.SetBlendState(alpha, Color(0, 0, 0, 0), 0xFFFFFFFF);
    FwModel wall;
    FwModel glass;
    FwModel veil;
    FwModel red;
    ASSERT_TRUE(LoadInto(wall, FacingSquare(0, 0, 10, 2, Material({0.2f, 0.4f, 0.6f, 1.0f})), "wall.gltf"));
    ASSERT_TRUE(LoadInto(glass, FacingSquare(0, 0, 5, 2, Material({1, 1, 1, 0.5f})), "glass.gltf"));
    ASSERT_TRUE(LoadInto(veil, FacingSquare(0, 0, 3, 2), "veil.gltf"));
    ASSERT_TRUE(LoadInto(red, FacingSquare(0, 0, 4, 2, Material({1, 0, 0, 1})), "red.gltf"));
    SetLightEnable(0);
    DrawModel(wall);
    EXPECT_EQ(context.BlendState(), alpha);
    EXPECT_TRUE(ColorNear(Centre(), {51, 102, 153, 255}));
    // Half alpha (premultiplied by the program, then blended): 0.25 + half the wall.
    DrawModel(glass);
    EXPECT_EQ(context.BlendState(), alpha);
    const std::array<int, 4> seen = {89, 115, 140, 255};
    EXPECT_TRUE(ColorNear(Centre(), seen));

    // Alpha 0 under a threshold of 0: every fragment discarded, no depth written, so the red
    // square behind it shows.
    DrawModel(veil, 0.0f);
    EXPECT_TRUE(ColorNear(Centre(), seen));
    DrawModel(red);
    EXPECT_TRUE(ColorNear(Centre(), {255, 0, 0, 255}));
    // Under a threshold below 0 the same draw keeps its fragments: invisible, but its depth hides
    // what lies behind.
    d3d.ClearBackBuffer(Color(0, 0, 0, 1));
    d3d.ClearDepthStencil(1.0f, 0);
    FwShaderManager::GetInstance().standardShader.cbObject.Work().g_AlphaTestThreshold = -1.0f;
    DrawModel(veil, 0.0f);
    FwShaderManager::GetInstance().standardShader.cbObject.Work().g_AlphaTestThreshold = 0.0f;
    DrawModel(red);
    EXPECT_TRUE(ColorNear(Centre(), {0, 0, 0, 255}));
    EXPECT_EQ(context.BlendState(), alpha);
}
