#include <epoxy/gl.h>
#include <cmath>
#include <string>
#include <vector>

#include "framework/graphics/FwBuffer.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwShaderProgram.h"
#include "tests/graphics/GraphicsFixture.h"
#include "tests/support/HiddenDevice.h"

namespace {

class ShaderManagerTest : public GraphicsTest {};

struct Member {
    const char* name;
    GLint offset;
};

struct BlockLayout {
    const char* block;
    GLint size;
    std::vector<Member> members;
};

// Offset and size GL reports for a block of a program built from the real shader files.
void ExpectLayout(GLuint program, const BlockLayout& layout) {
    const GLuint index = glGetUniformBlockIndex(program, layout.block);
    ASSERT_NE(index, GL_INVALID_INDEX) << layout.block;
    GLint size = 0;
    glGetActiveUniformBlockiv(program, index, GL_UNIFORM_BLOCK_DATA_SIZE, &size);
    EXPECT_EQ(size, layout.size) << layout.block;
    for (const Member& member : layout.members) {
        GLuint memberIndex = GL_INVALID_INDEX;
        glGetUniformIndices(program, 1, &member.name, &memberIndex);
        ASSERT_NE(memberIndex, GL_INVALID_INDEX) << member.name;
        GLint offset = -1;
        glGetActiveUniformsiv(program, 1, &memberIndex, GL_UNIFORM_OFFSET, &offset);
        EXPECT_EQ(offset, member.offset) << layout.block << "." << member.name;
    }
}

TEST_F(ShaderManagerTest, UniformBlocksMatchTheConstantBufferLayouts) {
    FwShaderProgram standard;
    ASSERT_TRUE(standard.Create({"camera.glsl", "standard_blocks.glsl", "standard.vert"},
                                {"camera.glsl", "standard_blocks.glsl", "standard.frag"}, {}, {}));
    ExpectLayout(standard.Program(), {"cbCamera",
                                      160,
                                      {{"g_mV", 0},
                                       {"g_mP", 64},
                                       {"g_CamPos", 128},
                                       {"g_DistanceFogEnable", 140},
                                       {"g_DistanceFogColor", 144},
                                       {"g_DistanceFogDensity", 156}}});
    ExpectLayout(standard.Program(), {"cbLight",
                                      3264,
                                      {{"g_AmbientLight", 0},
                                       {"g_DL_Dir", 16},
                                       {"g_DL_Color", 32},
                                       {"g_PL[0].color", 48},
                                       {"g_PL[0].radius", 60},
                                       {"g_PL[0].pos", 64},
                                       {"g_PL[1].color", 80},
                                       {"g_PL[99].pos", 3232},
                                       {"g_PL_Num", 3248}}});
    ExpectLayout(
        standard.Program(),
        {"cbObject",
         96,
         {{"g_mW", 0}, {"g_UVOffset", 64}, {"g_UVTiling", 72}, {"g_LightEnable", 80}, {"g_AlphaTestThreshold", 84}}});
    ExpectLayout(standard.Program(),
                 {"cbMaterial", 48, {{"BaseColor", 0}, {"Emissive", 16}, {"Metallic", 28}, {"Roughness", 32}}});

    FwShaderProgram effect;
    ASSERT_TRUE(effect.Create({"camera.glsl", "effect_blocks.glsl", "effect.vert"},
                              {"camera.glsl", "effect_blocks.glsl", "effect.frag"}, {}, {}));
    ExpectLayout(
        effect.Program(),
        {"cbPerObject", 96, {{"g_mW", 0}, {"g_UVOffset", 64}, {"g_UVTiling", 72}, {"g_AlphaTestThreshold", 80}}});

    FwShaderProgram sprite;
    ASSERT_TRUE(sprite.Create({"sprite_blocks.glsl", "sprite.vert"}, {"sprite_blocks.glsl", "sprite.frag"}, {}, {}));
    ExpectLayout(sprite.Program(), {"cbSprite", 80, {{"g_mTransform", 0}, {"g_color", 64}}});
    ExpectLayout(sprite.Program(), {"cbProjection", 64, {{"g_mProj", 0}}});
}

TEST(ShaderManagerDefaults, ProjectionIsSixtyDegreesForTheBackBufferAspect) {
    // Fresh CPU copies as Init leaves them, checked on the instance the fixture initialised.
    std::string errorText;
    SDL_Window* window = OpenHiddenDevice(1280, 720, errorText);
    ASSERT_NE(window, nullptr) << errorText;
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    const Matrix& projection = shaders.cbCamera.Get().g_mP;
    EXPECT_NEAR(projection.m[0][0], 0.974279f, 1e-6f);
    EXPECT_NEAR(projection.m[1][1], 1.7320508f, 1e-6f);
    EXPECT_NEAR(projection.m[2][2], 1.00001f, 1e-6f);
    EXPECT_EQ(projection.m[2][3], 1.0f);
    EXPECT_NEAR(projection.m[3][2], -0.0100001f, 1e-7f);
    EXPECT_EQ(shaders.cbCamera.Get().g_mV, Matrix::Identity);
    EXPECT_TRUE(shaders.cbCamera.Dirty());
    // The camera and lights sit on binding points 7 and 8 from the start.
    GLint bound = 0;
    glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, 7, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), shaders.cbCamera.Buffer().Buffer());
    glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, 8, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), shaders.cbLight.Buffer().Buffer());
    CloseHiddenDevice(window);
}

// A camera-facing quad drawn with the standard program: camera at z = -distance looking down +z,
// quad normal towards the camera, material and lights as each case sets them.
class StandardProgramTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        FwDirect3D& d3d = FwDirect3D::GetInstance();
        d3d.Context().SetBlendState(d3d.CreateBlendState(FwBlendMode::Opaque), Color(0, 0, 0, 0), 0xFFFFFFFF);
        FwShaderManager& shaders = FwShaderManager::GetInstance();
        shaders.cbLight.Work() = cbLight{};
        shaders.cbLight.Work().g_DL_Color = Vector3(0, 0, 0);
        shaders.standardShader.cbObject.Work() = cbObject{};
        shaders.standardShader.cbMaterial.Work() = cbMaterial{};
        shaders.standardShader.cbMaterial.Work().BaseColor = Vector4(1, 1, 1, 1);
        shaders.standardShader.cbMaterial.Work().Roughness = 1.0f;
    }

    static Rgba DrawQuad(float distance, uint8_t vertexAlpha = 255) {
        FwDirect3D& d3d = FwDirect3D::GetInstance();
        FwShaderManager& shaders = FwShaderManager::GetInstance();
        const Vector3 eye(0, 0, -distance);
        ::cbCamera& camera = shaders.cbCamera.Work();
        camera.g_mV = Matrix::CreateLookAtLH(eye, Vector3::Zero, Vector3::UnitY);
        camera.g_mP = Matrix::CreatePerspectiveFieldOfViewLH(Math::kPi / 3.0f, 1280.0f / 720.0f, 0.01f, 1000.0f);
        camera.g_CamPos = eye;
        shaders.cbCamera.Write();
        shaders.cbLight.Write();
        shaders.standardShader.cbObject.Write();
        shaders.standardShader.cbMaterial.Write();
        shaders.standardShader.SetToDevice();
        d3d.Context().SetShaderResources(
            0, {d3d.WhiteTexture().get(), d3d.WhiteTexture().get(), d3d.WhiteTexture().get()});
        const float s = distance;  // large enough to cover the centre of the screen
        FwMeshVertex corners[4] = {};
        const Vector3 positions[4] = {{-s, s, 0}, {s, s, 0}, {-s, -s, 0}, {s, -s, 0}};
        for (int i = 0; i < 4; ++i) {
            corners[i].position = positions[i];
            corners[i].normal = Vector3(0, 0, -1);
            corners[i].color[3] = vertexAlpha;
        }
        FwBuffer vertexBuffer;
        FwBuffer indexBuffer;
        const uint32_t indices[6] = {0, 1, 2, 2, 1, 3};
        EXPECT_TRUE(vertexBuffer.Create(FwBind::kVertexBuffer, sizeof(corners), FwUsage::Default, corners));
        EXPECT_TRUE(indexBuffer.Create(FwBind::kIndexBuffer, sizeof(indices), FwUsage::Default, indices));
        FwDeviceContext& context = d3d.Context();
        context.SetVertexBuffer(&vertexBuffer, sizeof(FwMeshVertex), 0);
        context.SetIndexBuffer(&indexBuffer, 0);
        context.SetTopology(FwTopology::TriangleList);
        context.DrawIndexed(6, 0, 0);
        return BackBufferImage().At(640, 360);
    }
};

TEST_F(StandardProgramTest, UnlitColourIsAlbedoTimesMaterialAlpha) {
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    shaders.standardShader.cbObject.Work().g_LightEnable = 0;
    shaders.standardShader.cbMaterial.Work().BaseColor = Vector4(0.2f, 0.4f, 0.6f, 0.5f);
    EXPECT_TRUE(SameColor(DrawQuad(10.0f), {26, 51, 77, 128}));
}

TEST_F(StandardProgramTest, AlphaTestDiscardsAlphaAtOrBelowTheThreshold) {
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    shaders.standardShader.cbObject.Work().g_LightEnable = 0;
    // Threshold 0: a vertex alpha of exactly 0 is discarded.
    EXPECT_TRUE(SameColor(DrawQuad(10.0f, 0), {0, 0, 0, 255}));
    shaders.standardShader.cbObject.Work().g_AlphaTestThreshold = 0.5f;
    shaders.standardShader.cbMaterial.Work().BaseColor = Vector4(1, 1, 1, 0.5f);
    EXPECT_TRUE(SameColor(DrawQuad(10.0f), {0, 0, 0, 255}));
    shaders.standardShader.cbMaterial.Work().BaseColor = Vector4(1, 1, 1, 0.51f);
    EXPECT_TRUE(SameColor(DrawQuad(10.0f), {130, 130, 130, 130}));
}

TEST_F(StandardProgramTest, FogOfDensityThousandthKeepsAboutNinetyPercentAtHundredUnits) {
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    shaders.standardShader.cbObject.Work().g_LightEnable = 0;
    shaders.cbCamera.Work().g_DistanceFogEnable = 1;
    shaders.cbCamera.Work().g_DistanceFogColor = Vector3(0, 0, 0);
    shaders.cbCamera.Work().g_DistanceFogDensity = 0.001f;
    EXPECT_TRUE(SameColor(DrawQuad(100.0f), {231, 231, 231, 255}, 1));
    shaders.cbCamera.Work().g_DistanceFogEnable = 0;
    EXPECT_TRUE(SameColor(DrawQuad(100.0f), {255, 255, 255, 255}, 1));
}

TEST_F(StandardProgramTest, DirectionalLightHeadOnGivesDiffusePlusSpecular) {
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    shaders.cbLight.Work().g_DL_Dir = Vector3(0, 0, 1);
    shaders.cbLight.Work().g_DL_Color = Vector3(1, 1, 1);
    // Roughness 1, metallic 0: power 1, norm 3 / (2 pi); diffuse 1 / pi, specular 0.04 * norm.
    const float expected = 0.31831f + 3.0f * 0.159155f * 0.04f;
    const int level = static_cast<int>(std::lround(expected * 255.0f));
    EXPECT_TRUE(SameColor(DrawQuad(10.0f), {level, level, level, 255}, 1));
}

TEST_F(StandardProgramTest, PointLightsReachOnlyInsideTheirRadius) {
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    ::cbLight& lights = shaders.cbLight.Work();
    lights.g_PL_Num = 2;
    lights.g_PL[0].pos = Vector3(0, 0, -2);
    lights.g_PL[0].radius = 2.0f;  // the lit point is exactly at its radius
    lights.g_PL[1].pos = Vector3(0, 0, -1);
    lights.g_PL[1].radius = 0.0f;
    EXPECT_TRUE(SameColor(DrawQuad(10.0f), {0, 0, 0, 255}));
    shaders.cbLight.Work().g_PL[0].radius = 4.0f;
    // Half way out: fall-off 0.5 of colour 3, diffuse 1 / pi, plus the specular share.
    const float expected = 0.5f * 3.0f * (0.31831f + 3.0f * 0.159155f * 0.04f);
    const int level = static_cast<int>(std::lround(expected * 255.0f));
    EXPECT_TRUE(SameColor(DrawQuad(10.0f), {level, level, level, 255}, 1));
}

TEST_F(StandardProgramTest, PointLightCountBeyondTheArrayIsClamped) {
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    shaders.cbLight.Work().g_PL_Num = 1000000;
    shaders.cbLight.Work().g_AmbientLight = Vector3(0.5f, 0.5f, 0.5f);
    EXPECT_TRUE(SameColor(DrawQuad(10.0f), {128, 128, 128, 255}, 1));
}

}  // namespace
