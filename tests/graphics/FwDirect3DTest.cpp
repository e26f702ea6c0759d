#include <cstdio>
#include <string>

#include <stb_image.h>

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
    FwShaderManager::GetInstance().spriteShader.DrawTex(&white, 0, 360, 1280, 100, std::nullopt,
                                                        Color(1, 1, 1, 1), Vector2(0.5f, 1.0f));

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

}  // namespace
