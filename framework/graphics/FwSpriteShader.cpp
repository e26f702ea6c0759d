#include "framework/graphics/FwSpriteShader.h"

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwGL.h"
#include "framework/graphics/FwSpriteFont.h"
#include "framework/graphics/FwVertexTypes.h"

namespace {

// Whether a quad of alpha 0 leaves colour, alpha and depth as they are: blending weighs the source
// colour by its alpha and keeps the target's alpha, and no depth is written.
bool TransparentLeavesTarget(const FwDeviceContext& context) {
    const FwBlendStatePtr& blend = context.BlendState();
    const FwDepthStencilStatePtr& depth = context.DepthStencilState();
    const bool colourKept = blend && blend->blendEnable && blend->srcBlend == GL_SRC_ALPHA &&
                            (blend->destBlend == GL_ONE || blend->destBlend == GL_ONE_MINUS_SRC_ALPHA) &&
                            blend->blendOp == GL_FUNC_ADD && blend->srcBlendAlpha == GL_ONE &&
                            blend->destBlendAlpha == GL_ONE_MINUS_SRC_ALPHA && blend->blendOpAlpha == GL_FUNC_ADD;
    return colourKept && depth && (!depth->depthEnable || !depth->depthWrite);
}
// Sprite and text positions are centre-origin, y-up pixels of the 1280x720 screen, whatever the
// size of the back buffer they are drawn into.
constexpr float kScreenHalfWidth = 640.0f;
constexpr float kScreenHalfHeight = 360.0f;
}  // namespace

bool FwSpriteShader::Init() {
    Release();
    const bool built =
        program.Create({"sprite_blocks.glsl", "sprite.vert"}, {"sprite_blocks.glsl", "sprite.frag"},
                       {{"cbSprite", kSpriteSlot}, {"cbProjection", kProjectionSlot}}, {{"g_inputTex", 0}}) &&
        inputLayout.Create(kSpriteVertexLayout, program);
    if (!built) {
        Release();
        return false;
    }
    cbSprite.Create();
    cbProjection.Create();
    const FwDirect3D& d3d = FwDirect3D::GetInstance();
    pointSampler = d3d.CreateSamplerState(FwFilter::Point, 0, FwAddressMode::Wrap, false);
    linearSampler = d3d.CreateSamplerState(FwFilter::Linear, 0, FwAddressMode::Wrap, false);
    depthStencilState2D = d3d.CreateDepthStencilState(false, false);
    rasterizerState2D = d3d.CreateRasterizerState(FwCullMode::None, FwFillMode::Solid, true, false);
    return spriteBatch.Init();
}

void FwSpriteShader::Release() {
    End();
    program.Release();
    inputLayout.Release();
    cbSprite.Release();
    cbProjection.Release();
    depthStencilState2D.reset();
    rasterizerState2D.reset();
    pointSampler.reset();
    linearSampler.reset();
    spriteBatch.Release();
}

void FwSpriteShader::Begin(bool linear, bool disableDepth) {
    if (begun) {
        return;
    }
    begun = true;
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    projection = Matrix::CreateOrthographicLH(2.0f * kScreenHalfWidth, 2.0f * kScreenHalfHeight, 0.0f, 1.0f);
    cbProjection.Work().g_mProj = projection;
    cbProjection.Write();

    savedDepthStencilState = context.DepthStencilState();
    savedStencilRef = context.StencilRef();
    savedRasterizerState = context.RasterizerState();
    savedSampler = context.Sampler(0);

    if (disableDepth) {
        context.SetDepthStencilState(depthStencilState2D, 0);
    }
    context.SetSampler(0, linear ? linearSampler : pointSampler);
    context.SetRasterizerState(rasterizerState2D);
    context.SetProgram(&program);
    context.SetInputLayout(&inputLayout);
    context.SetConstantBuffer(kSpriteSlot, &cbSprite.Buffer());
    context.SetConstantBuffer(kProjectionSlot, &cbProjection.Buffer());
}

void FwSpriteShader::End() {
    if (!begun) {
        return;
    }
    begun = false;
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    context.SetDepthStencilState(std::move(savedDepthStencilState), savedStencilRef);
    context.SetRasterizerState(std::move(savedRasterizerState));
    context.SetSampler(0, std::move(savedSampler));
    savedDepthStencilState.reset();
    savedRasterizerState.reset();
    savedSampler.reset();
}

void FwSpriteShader::DrawTex(const FwTexture* texture, int x, int y, int w, int h, const std::optional<FwRect>& source,
                             const std::optional<Color>& color, const Vector2& pivot) {
    if (texture == nullptr) {
        return;
    }
    const bool ownPass = !begun;
    if (ownPass) {
        Begin(false, true);
    }
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    d3d.Context().SetShaderResources(0, {texture});
    if (color) {
        givenColor = *color;
    }
    // Uploaded only when it changes.
    const Color drawn = Dimmed(givenColor);
    if (!(cbSprite.Get().g_color == drawn)) {
        cbSprite.Work().g_color = drawn;
    }
    cbSprite.Write();

    float u0 = 0.0f;
    float v0 = 0.0f;
    float u1 = 1.0f;
    float v1 = 1.0f;
    // An empty texture has no size to measure the rectangle against; it draws nothing visible anyway.
    if (source && texture->Width() > 0 && texture->Height() > 0) {
        const auto texWidth = static_cast<float>(texture->Width());
        const auto texHeight = static_cast<float>(texture->Height());
        u0 = static_cast<float>(source->left) / texWidth;
        u1 = static_cast<float>(source->left + source->width) / texWidth;
        v0 = static_cast<float>(source->top) / texHeight;
        v1 = static_cast<float>(source->top + source->height) / texHeight;
    }
    const auto fx = static_cast<float>(x);
    const auto fy = static_cast<float>(y);
    const auto fw = static_cast<float>(w);
    const auto fh = static_cast<float>(h);
    const float left = fx - fw * pivot.x;
    const float right = fx + fw - fw * pivot.x;
    const float bottom = fy - fh * pivot.y;
    const float top = fy + fh - fh * pivot.y;
    const FwSpriteVertex vertices[4] = {
        {{left, bottom, 0.0f}, {u0, v1}},
        {{left, top, 0.0f}, {u0, v0}},
        {{right, bottom, 0.0f}, {u1, v1}},
        {{right, top, 0.0f}, {u1, v0}},
    };
    if (cbSprite.Get().g_color.a > 0.0f || !TransparentLeavesTarget(d3d.Context())) {
        d3d.DrawVertices(FwTopology::TriangleStrip, 4, vertices, sizeof(FwSpriteVertex));
    }
    d3d.Context().SetShaderResources(0, {nullptr});

    if (ownPass) {
        End();
    }
}

void FwSpriteShader::DrawFont(const FwSpriteFont* font, float x, float y, const std::string& text, const Color& color) {
    DrawString(font, x, y, text, color, nullptr);
}

void FwSpriteShader::DrawText(const FwSpriteFont* font, float x, float y, const std::string& text, const Color& color) {
    DrawString(font, x, y, text, color, FwDirect3D::GetInstance().Context().BlendState());
}

Color FwSpriteShader::Dimmed(const Color& color) const {
    const float kept = 1.0f - dimming;
    return Color(color.r * kept, color.g * kept, color.b * kept, color.a);
}

void FwSpriteShader::DrawString(const FwSpriteFont* font, float x, float y, const std::string& text, const Color& color,
                                const FwBlendStatePtr& blend) {
    if (font != nullptr) {
        spriteBatch.Begin(blend);
        spriteBatch.DrawString(*font, text, Vector2(x + kScreenHalfWidth, kScreenHalfHeight - y), Dimmed(color));
        spriteBatch.End();
    }
}
