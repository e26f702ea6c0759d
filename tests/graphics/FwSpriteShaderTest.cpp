#include <epoxy/gl.h>
#include <array>
#include <cstdint>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwTexture.h"
#include "tests/graphics/GraphicsFixture.h"

namespace {

class SpriteShaderTest : public GraphicsTest {
protected:
    static FwSpriteShader& Sprites() { return FwShaderManager::GetInstance().spriteShader; }
    static const FwTexture* White() { return FwDirect3D::GetInstance().WhiteTexture().get(); }
};

struct BoundsCase {
    Vector2 pivot;
    int x0, y0, x1, y1;
};

class SpritePivotTest : public SpriteShaderTest, public ::testing::WithParamInterface<BoundsCase> {};

TEST_P(SpritePivotTest, CoversExactlyTheExpectedPixels) {
    Sprites().DrawTex(White(), 0, 0, 100, 50, std::nullopt, Color(1, 1, 1, 1), GetParam().pivot);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    ASSERT_TRUE(BackBufferImage().Bounds({0, 0, 0, 255}, x0, y0, x1, y1));
    EXPECT_EQ(x0, GetParam().x0);
    EXPECT_EQ(y0, GetParam().y0);
    EXPECT_EQ(x1, GetParam().x1);
    EXPECT_EQ(y1, GetParam().y1);
}

INSTANTIATE_TEST_SUITE_P(Pivots, SpritePivotTest,
                         ::testing::Values(BoundsCase{{0.5f, 0.5f}, 590, 335, 690, 385},    // centred
                                           BoundsCase{{0.0f, 0.0f}, 640, 310, 740, 360},    // lower-left corner
                                           BoundsCase{{1.0f, 1.0f}, 540, 360, 640, 410}));  // upper-right corner

TEST_F(SpriteShaderTest, AColourGivenOnceStaysInEffect) {
    Sprites().Begin(false, true);
    Sprites().DrawTex(White(), -200, 0, 20, 20, std::nullopt, Color(1, 1, 1, 0.5f));
    Sprites().DrawTex(White(), 200, 0, 20, 20);
    Sprites().End();
    const BackBufferImage image;
    EXPECT_TRUE(SameColor(image.At(440, 360), {128, 128, 128, 255}));
    EXPECT_TRUE(SameColor(image.At(840, 360), {128, 128, 128, 255}));
    Sprites().DrawTex(White(), 0, 0, 20, 20, std::nullopt, Color(1, 1, 1, 1));
}

// Rows top first: red, green / blue, white.
FwTexture FourColours() {
    const std::array<uint32_t, 4> texels = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF};
    FwTexture texture;
    EXPECT_TRUE(texture.Create(2, 2, FwFormat::R8G8B8A8_UNORM, 1, texels.data()));
    return texture;
}

TEST_F(SpriteShaderTest, TheFirstTexelRowIsTheTopOfThePicture) {
    const FwTexture texture = FourColours();
    Sprites().DrawTex(&texture, 0, 0, 200, 200, std::nullopt, Color(1, 1, 1, 1));
    const BackBufferImage image;
    EXPECT_TRUE(image.RegionIs(545, 265, 635, 355, {255, 0, 0, 255}));
    EXPECT_TRUE(image.RegionIs(645, 265, 735, 355, {0, 255, 0, 255}));
    EXPECT_TRUE(image.RegionIs(545, 365, 635, 455, {0, 0, 255, 255}));
    EXPECT_TRUE(image.RegionIs(645, 365, 735, 455, {255, 255, 255, 255}));
}

TEST_F(SpriteShaderTest, SourceRectangleSelectsTexels) {
    const FwTexture texture = FourColours();
    Sprites().DrawTex(&texture, -300, 0, 100, 100, FwRect{1, 0, 1, 1}, Color(1, 1, 1, 1));
    Sprites().DrawTex(&texture, 300, 0, 100, 100, FwRect{0, 0, 2, 2});
    const BackBufferImage image;
    EXPECT_TRUE(image.RegionIs(295, 315, 385, 405, {0, 255, 0, 255}));
    // The full rectangle spans the whole picture: its four corners show the four colours.
    EXPECT_TRUE(SameColor(image.At(895, 315), {255, 0, 0, 255}));
    EXPECT_TRUE(SameColor(image.At(985, 405), {255, 255, 255, 255}));
}

TEST_F(SpriteShaderTest, TexelsBelowAlphaOneTenthAreDiscarded) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    d3d.Context().SetBlendState(d3d.CreateBlendState(FwBlendMode::Opaque), Color(0, 0, 0, 0), 0xFFFFFFFF);
    // Alpha 25/255 is just below 0.1, 26/255 just above.
    const std::array<uint32_t, 2> texels = {0x19FFFFFF, 0x1AFFFFFF};
    FwTexture texture;
    ASSERT_TRUE(texture.Create(2, 1, FwFormat::R8G8B8A8_UNORM, 1, texels.data()));
    Sprites().DrawTex(&texture, 0, 0, 200, 100, std::nullopt, Color(1, 1, 1, 1));
    const BackBufferImage image;
    EXPECT_TRUE(image.RegionIs(545, 315, 635, 405, {0, 0, 0, 255}));
    EXPECT_TRUE(image.RegionIs(645, 315, 735, 405, {255, 255, 255, 26}));
}

TEST_F(SpriteShaderTest, EmptyOrMissingTexturesDrawNothing) {
    const FwTexture empty;
    Sprites().DrawTex(&empty, 0, 0, 100, 100, FwRect{0, 0, 10, 10}, Color(1, 1, 1, 1));
    Sprites().DrawTex(nullptr, 0, 0, 100, 100);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    EXPECT_FALSE(BackBufferImage().Bounds({0, 0, 0, 255}, x0, y0, x1, y1));
}

struct GLStates {
    GLboolean depthTest, depthMask, cull;
    GLint cullMode, polygonMode[2], sampler0;
    bool operator==(const GLStates& o) const {
        return depthTest == o.depthTest && depthMask == o.depthMask && cull == o.cull && cullMode == o.cullMode &&
               polygonMode[0] == o.polygonMode[0] && sampler0 == o.sampler0;
    }
};

GLStates ReadGLStates() {
    GLStates states{};
    states.depthTest = glIsEnabled(GL_DEPTH_TEST);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &states.depthMask);
    states.cull = glIsEnabled(GL_CULL_FACE);
    glGetIntegerv(GL_CULL_FACE_MODE, &states.cullMode);
    glGetIntegerv(GL_POLYGON_MODE, states.polygonMode);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_SAMPLER_BINDING, &states.sampler0);
    return states;
}

TEST_F(SpriteShaderTest, DrawingOutsideBeginEndLeavesStatesAsTheyWere) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    FwDeviceContext& context = d3d.Context();
    const FwDepthStencilStatePtr depth = d3d.CreateDepthStencilState(true, false);
    const FwRasterizerStatePtr raster =
        d3d.CreateRasterizerState(FwCullMode::Front, FwFillMode::Wireframe, true, false);
    const FwSamplerStatePtr sampler = d3d.CreateSamplerState(FwFilter::Linear, 0, FwAddressMode::Clamp, false);
    context.SetDepthStencilState(depth, 3);
    context.SetRasterizerState(raster);
    context.SetSampler(0, sampler);
    const GLStates before = ReadGLStates();

    Sprites().DrawTex(White(), 0, 0, 10, 10);
    // Begin twice and End twice are harmless too.
    Sprites().Begin(true, true);
    Sprites().Begin(false, false);
    Sprites().End();
    Sprites().End();

    EXPECT_TRUE(ReadGLStates() == before);
    EXPECT_EQ(context.DepthStencilState(), depth);
    EXPECT_EQ(context.StencilRef(), 3u);
    EXPECT_EQ(context.RasterizerState(), raster);
    EXPECT_EQ(context.Sampler(0), sampler);
}

TEST_F(SpriteShaderTest, LinearFilteringBlendsNeighbouringTexels) {
    const std::array<uint32_t, 2> texels = {0xFF000000, 0xFFFFFFFF};
    FwTexture texture;
    ASSERT_TRUE(texture.Create(2, 1, FwFormat::R8G8B8A8_UNORM, 1, texels.data()));
    Sprites().Begin(false, true);
    Sprites().DrawTex(&texture, -300, 0, 200, 10, std::nullopt, Color(1, 1, 1, 1));
    Sprites().End();
    Sprites().Begin(true, true);
    Sprites().DrawTex(&texture, 300, 0, 200, 10);
    Sprites().End();
    const BackBufferImage image;
    // Just right of the middle: point sampling is already white, linear only part way.
    EXPECT_TRUE(SameColor(image.At(345, 360), {255, 255, 255, 255}));
    EXPECT_LT(image.At(945, 360).r, 200);
    EXPECT_GT(image.At(945, 360).r, 60);
}

}  // namespace
