#include <cstdio>
#include <string>
#include <vector>

#include <epoxy/gl.h>
#include <stb_image.h>

#include "framework/graphics/FwConstantBuffer.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwTexture.h"
#include "tests/graphics/GraphicsFixture.h"

namespace {

class Direct3DTest : public GraphicsTest {};

TEST_F(Direct3DTest, ClearsToTheSceneColourIncludingItsAlpha) {
    FwDirect3D::GetInstance().ClearBackBuffer(Color(0.3f, 0.3f, 0.3f, 0.1f));
    const BackBufferImage image;
    EXPECT_TRUE(image.RegionIs(0, 0, 1280, 720, {77, 77, 77, 26}, 1));
}

TEST_F(Direct3DTest, ScreenshotIsTopRowFirstWithOpaqueAlpha) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    d3d.ClearBackBuffer(Color(0.0f, 0.0f, 1.0f, 0.1f));
    // A red bar across the top 100 rows of the screen (y up, origin at the centre).
    FwTexture white;
    const uint32_t texel = 0xFF0000FF;
    ASSERT_TRUE(white.Create(1, 1, FwFormat::R8G8B8A8_UNORM, 1, &texel));
    FwShaderManager::GetInstance().spriteShader.DrawTex(&white, 0, 360, 1280, 100, std::nullopt, Color(1, 1, 1, 1),
                                                        Vector2(0.5f, 1.0f));

    const std::string path = ::testing::TempDir() + "screenshot.png";
    ASSERT_TRUE(d3d.SaveScreenshot(path));
    int w = 0;
    int h = 0;
    int channels = 0;
    stbi_uc* png = stbi_load(path.c_str(), &w, &h, &channels, 4);
    ASSERT_NE(png, nullptr);
    ASSERT_EQ(w, 1280);
    ASSERT_EQ(h, 720);
    const auto pixel = [&](int x, int y) {
        const stbi_uc* p = png + (y * w + x) * 4;
        return Rgba{p[0], p[1], p[2], p[3]};
    };
    EXPECT_TRUE(SameColor(pixel(10, 0), {255, 0, 0, 255}));
    EXPECT_TRUE(SameColor(pixel(10, 99), {255, 0, 0, 255}));
    EXPECT_TRUE(SameColor(pixel(10, 100), {0, 0, 255, 255}));
    EXPECT_TRUE(SameColor(pixel(640, 719), {0, 0, 255, 255}));
    stbi_image_free(png);
    std::remove(path.c_str());
}

TEST_F(Direct3DTest, StartStatesCullCounterClockwiseTrianglesOnScreen) {
    const Color red(1, 0, 0, 1);
    // Left triangle clockwise on screen (y up), right one counter-clockwise.
    DrawClipSpace(FwTopology::TriangleList, {{{-0.9f, -0.5f, 0.5f}, {}, red},
                                             {{-0.6f, 0.5f, 0.5f}, {}, red},
                                             {{-0.3f, -0.5f, 0.5f}, {}, red},
                                             {{0.3f, -0.5f, 0.5f}, {}, red},
                                             {{0.9f, -0.5f, 0.5f}, {}, red},
                                             {{0.6f, 0.5f, 0.5f}, {}, red}});
    const BackBufferImage image;
    EXPECT_TRUE(SameColor(image.At(256, 400), {255, 0, 0, 255}));
    EXPECT_TRUE(SameColor(image.At(1024, 400), {0, 0, 0, 255}));
}

TEST_F(Direct3DTest, StartDepthTestKeepsNearerAndEqualDepthsPass) {
    DrawClipSpace(FwTopology::TriangleList, ClipQuad(-0.5f, 0.5f, 0.5f, -0.5f, 0.2f, Color(1, 0, 0, 1)));
    DrawClipSpace(FwTopology::TriangleList, ClipQuad(-0.8f, 0.8f, 0.0f, -0.8f, 0.5f, Color(0, 1, 0, 1)));
    DrawClipSpace(FwTopology::TriangleList, ClipQuad(0.0f, 0.8f, 0.8f, -0.8f, 0.2f, Color(0, 0, 1, 1)));
    const BackBufferImage image;
    EXPECT_TRUE(SameColor(image.At(480, 360), {255, 0, 0, 255}));  // farther green hidden behind red
    EXPECT_TRUE(SameColor(image.At(200, 360), {0, 255, 0, 255}));
    EXPECT_TRUE(SameColor(image.At(800, 360), {0, 0, 255, 255}));  // equal depth passes
}

TEST_F(Direct3DTest, DepthClearIgnoresAStateWithoutDepthWrites) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    DrawClipSpace(FwTopology::TriangleList, ClipQuad(-1, 1, 1, -1, 0.1f, Color(1, 0, 0, 1)));
    d3d.Context().SetDepthStencilState(d3d.CreateDepthStencilState(true, false), 0);
    d3d.ClearDepthStencil(1.0f, 0);
    DrawClipSpace(FwTopology::TriangleList, ClipQuad(-1, 1, 1, -1, 0.5f, Color(0, 1, 0, 1)));
    EXPECT_TRUE(SameColor(BackBufferImage().At(640, 360), {0, 255, 0, 255}));
}

// A kept picture comes back exactly, over whatever was drawn since, until it is dropped; no
// picture is kept or shown while the scaled 3D target is bound.
TEST_F(Direct3DTest, KeptPictureComesBackExactlyUntilDropped) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    EXPECT_FALSE(d3d.ShowKeptPicture()) << "none kept yet";
    d3d.ClearBackBuffer(Color(0, 0, 1, 1));
    DrawClipSpace(FwTopology::TriangleList, ClipQuad(-1, 1, 0, -1, 0.5f, Color(1, 0, 0, 1)));
    ASSERT_TRUE(d3d.KeepPicture());
    d3d.ClearBackBuffer(Color(0, 1, 0, 1));
    ASSERT_TRUE(d3d.ShowKeptPicture());
    const BackBufferImage shown;
    EXPECT_TRUE(shown.RegionIs(0, 0, 640, 720, {255, 0, 0, 255}, 0));
    EXPECT_TRUE(shown.RegionIs(640, 0, 1280, 720, {0, 0, 255, 255}, 0));

    d3d.SetRenderScale(0.5f);
    d3d.BeginScaled3D();
    EXPECT_FALSE(d3d.KeepPicture());
    EXPECT_FALSE(d3d.ShowKeptPicture());
    d3d.EndScaled3D();
    d3d.SetRenderScale(1.0f);
    d3d.BeginFrame();

    d3d.DropKeptPicture();
    d3d.ClearBackBuffer(Color(0, 1, 0, 1));
    EXPECT_FALSE(d3d.ShowKeptPicture());
    EXPECT_TRUE(BackBufferImage().RegionIs(0, 0, 1280, 720, {0, 255, 0, 255}, 0));
}

struct BlendCase {
    int mode;
    Rgba expected;
};

class BlendModeTest : public GraphicsTest, public ::testing::WithParamInterface<BlendCase> {};

TEST_P(BlendModeTest, HalfTransparentRedOverBlue) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    d3d.ClearBackBuffer(Color(0, 0, 1, 1));
    d3d.Context().SetBlendState(d3d.CreateBlendState(static_cast<FwBlendMode>(GetParam().mode)), Color(0, 0, 0, 0),
                                0xFFFFFFFF);
    DrawClipSpace(FwTopology::TriangleList, ClipQuad(-1, 1, 1, -1, 0.5f, Color(1, 0, 0, 0.5f)));
    EXPECT_TRUE(SameColor(BackBufferImage().At(640, 360), GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Modes, BlendModeTest,
                         ::testing::Values(BlendCase{0, {255, 0, 0, 128}}, BlendCase{1, {128, 0, 128, 255}},
                                           BlendCase{2, {128, 0, 255, 255}}));

TEST_F(Direct3DTest, BlendModesBeyondAddGiveNoState) {
    const FwDirect3D& d3d = FwDirect3D::GetInstance();
    EXPECT_NE(d3d.CreateBlendState(FwBlendMode::Add), nullptr);
    EXPECT_EQ(d3d.CreateBlendState(static_cast<FwBlendMode>(3)), nullptr);
    EXPECT_EQ(d3d.CreateBlendState(static_cast<FwBlendMode>(-1)), nullptr);
}

// One object per description, made on the first request, so a draw may ask for its states every
// frame at no cost; another description is another object.
TEST_F(Direct3DTest, StatesOfOneDescriptionAreOneObject) {
    const FwDirect3D& d3d = FwDirect3D::GetInstance();
    const auto requestAll = [&d3d] {
        return std::vector<const void*>{
            d3d.CreateBlendState(FwBlendMode::Add).get(),
            d3d.CreateBlendState(FwBlendMode::Alpha).get(),
            d3d.CreateDepthStencilState(false, true).get(),
            d3d.CreateDepthStencilState(true, true).get(),
            d3d.CreateRasterizerState(FwCullMode::Front, FwFillMode::Solid, true, false).get(),
            d3d.CreateRasterizerState(FwCullMode::Front, FwFillMode::Wireframe, true, false).get(),
            d3d.CreateSamplerState(FwFilter::Point, 0, FwAddressMode::Clamp, true).get(),
            d3d.CreateSamplerState(FwFilter::Point, 0, FwAddressMode::Wrap, true).get(),
        };
    };
    const std::vector<const void*> first = requestAll();
    const size_t made = d3d.StateCount();
    EXPECT_EQ(requestAll(), first);
    EXPECT_EQ(d3d.StateCount(), made);
    for (size_t i = 0; i < first.size(); i += 2) {
        EXPECT_NE(first[i], first[i + 1]) << "request " << i;
    }
    // A refused description leaves nothing behind.
    EXPECT_EQ(d3d.CreateBlendState(static_cast<FwBlendMode>(3)), nullptr);
    EXPECT_EQ(d3d.StateCount(), made);
}

TEST_F(Direct3DTest, PoolBufferMustBeStrictlyLargerThanTheDraw) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    for (int i = 0; i < FwDirect3D::kTempVertexBufferCount; ++i) {
        EXPECT_EQ(d3d.TempVertexBuffer(i).Size(), 80u << i);
    }
    // 80 bytes: four 20-byte vertices.
    FwShaderManager::GetInstance().spriteShader.DrawTex(d3d.WhiteTexture().get(), 0, 0, 10, 10);
    GLint bound = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), d3d.TempVertexBuffer(1).Buffer());
}

TEST_F(Direct3DTest, SpareBufferGrowsOnlyWhenADrawNeedsMore) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    FwShaderManager::GetInstance().effectShader.SetToDevice();
    const std::vector<uint8_t> zeros(60000, 0);
    const auto draw = [&](uint32_t bytes) { d3d.DrawVertices(FwTopology::PointList, bytes / 40, zeros.data(), 40); };

    draw(50000);
    EXPECT_EQ(d3d.SpareVertexBuffer().Size(), 50000u);
    const GLuint first = d3d.SpareVertexBuffer().Buffer();
    draw(45000);
    EXPECT_EQ(d3d.SpareVertexBuffer().Size(), 50000u);
    EXPECT_EQ(d3d.SpareVertexBuffer().Buffer(), first);
    draw(60000);
    EXPECT_EQ(d3d.SpareVertexBuffer().Size(), 60000u);
    // Anything below 40960 bytes stays in the pool.
    draw(40000);
    GLint bound = 0;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), d3d.TempVertexBuffer(9).Buffer());
}

struct HundredBytes {
    uint8_t bytes[100];
};

TEST_F(Direct3DTest, ConstantBufferOfSizeNotAMultipleOf16IsRefused) {
    FwConstantBuffer<HundredBytes> buffer;
    EXPECT_FALSE(buffer.Create());
    EXPECT_EQ(buffer.Buffer().Buffer(), 0u);
    EXPECT_EQ(buffer.Buffer().Size(), 0u);
    FwBuffer vertices;
    EXPECT_TRUE(vertices.Create(FwBind::kVertexBuffer, 100, FwUsage::Dynamic));
}

std::vector<uint8_t> ReadBuffer(const FwBuffer& buffer) {
    std::vector<uint8_t> bytes(buffer.Size());
    glBindBuffer(GL_COPY_READ_BUFFER, buffer.Buffer());
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, static_cast<GLsizeiptr>(bytes.size()), bytes.data());
    glBindBuffer(GL_COPY_READ_BUFFER, 0);
    return bytes;
}

TEST_F(Direct3DTest, OverlongWritesLeaveDynamicAndStagingBuffersZeroFilled) {
    for (const FwUsage usage : {FwUsage::Dynamic, FwUsage::Staging}) {
        const std::vector<uint8_t> ones(65, 1);
        FwBuffer buffer;
        ASSERT_TRUE(buffer.Create(FwBind::kVertexBuffer, 64, usage, ones.data()));
        buffer.WriteData(ones.data(), 64);
        EXPECT_EQ(ReadBuffer(buffer), std::vector<uint8_t>(64, 1));
        buffer.WriteData(ones.data(), 65);
        EXPECT_EQ(ReadBuffer(buffer), std::vector<uint8_t>(64, 0));
    }
}

TEST_F(Direct3DTest, DefaultBuffersTakeNoMoreThanTheSourceHolds) {
    const std::vector<uint8_t> ones(64, 1);
    const std::vector<uint8_t> twos(16, 2);
    FwBuffer buffer;
    ASSERT_TRUE(buffer.Create(FwBind::kVertexBuffer, 64, FwUsage::Default, ones.data()));
    buffer.WriteData(twos.data(), 16);
    std::vector<uint8_t> expected(64, 1);
    std::fill(expected.begin(), expected.begin() + 16, 2);
    EXPECT_EQ(ReadBuffer(buffer), expected);
}

TEST(Direct3DStartUp, AWindowWithoutOpenGLFailsWithTheFirstMessage) {
    if (std::getenv("DISPLAY") == nullptr) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    SDL_Window* plain = SDL_CreateWindow("no gl", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    std::string errorText;
    EXPECT_FALSE(FwDirect3D::GetInstance().Init(plain, 64, 64, false, errorText));
    EXPECT_EQ(errorText, "ファクトリー作成失敗");
    EXPECT_FALSE(FwDirect3D::GetInstance().Init(nullptr, 64, 64, false, errorText));
    SDL_DestroyWindow(plain);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
