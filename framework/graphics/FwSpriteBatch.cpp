#include "framework/graphics/FwSpriteBatch.h"

#include <algorithm>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwSpriteFont.h"
#include "framework/platform/FwScreen.h"

namespace {

constexpr uint32_t kReplacementCharacter = 0xFFFD;

// The next code point of a UTF-8 string; a malformed sequence gives the replacement character
// and moves on by one byte.
uint32_t NextCodePoint(const std::string& text, size_t& at) {
    const auto lead = static_cast<uint8_t>(text[at++]);
    if (lead < 0x80) {
        return lead;
    }
    int extra = 0;
    uint32_t codePoint = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        codePoint = lead & 0x07;
    } else {
        return kReplacementCharacter;
    }
    if (at + static_cast<size_t>(extra) > text.size()) {
        return kReplacementCharacter;
    }
    for (int i = 0; i < extra; ++i) {
        const auto next = static_cast<uint8_t>(text[at + static_cast<size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            return kReplacementCharacter;
        }
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    at += static_cast<size_t>(extra);
    return codePoint;
}

}  // namespace

float FwMeasureString(const FwSpriteFont& font, const std::string& text) {
    float widest = 0.0f;
    float line = 0.0f;
    for (size_t at = 0; at < text.size();) {
        const uint32_t codePoint = NextCodePoint(text, at);
        if (codePoint == '\n') {
            line = 0.0f;
            continue;
        }
        const FwGlyph* glyph = codePoint == '\r' ? nullptr : font.FindGlyph(codePoint);
        line += glyph != nullptr ? glyph->advance : 0.0f;
        widest = std::max(widest, line);
    }
    return widest;
}

bool FwSpriteBatch::Init() {
    Release();
    if (!program.Create({"spritebatch.vert"}, {"spritebatch.frag"}, {}, {{"g_atlas", 0}}) ||
        !inputLayout.Create(kEffectVertexLayout, program)) {
        Release();
        return false;
    }
    const FwDirect3D& d3d = FwDirect3D::GetInstance();
    alphaBlend = d3d.CreateBlendState(FwBlendMode::Alpha);
    depthStencilState = d3d.CreateDepthStencilState(false, false);
    rasterizerState = d3d.CreateRasterizerState(FwCullMode::None, FwFillMode::Solid, true, false);
    linearClampSampler = d3d.CreateSamplerState(FwFilter::Linear, 0, FwAddressMode::Clamp, false);
    return true;
}

void FwSpriteBatch::Release() {
    End();
    program.Release();
    inputLayout.Release();
    alphaBlend.reset();
    depthStencilState.reset();
    rasterizerState.reset();
    linearClampSampler.reset();
}

void FwSpriteBatch::Begin(const FwBlendStatePtr& blend) {
    if (begun || !program.Program()) {
        return;
    }
    begun = true;
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    saved.program = context.Program();
    saved.inputLayout = context.InputLayout();
    saved.blend = context.BlendState();
    saved.blendFactor = context.BlendFactor();
    saved.sampleMask = context.SampleMask();
    saved.depthStencil = context.DepthStencilState();
    saved.stencilRef = context.StencilRef();
    saved.rasterizer = context.RasterizerState();
    saved.sampler = context.Sampler(0);

    context.SetProgram(&program);
    context.SetInputLayout(&inputLayout);
    context.SetBlendState(blend ? blend : alphaBlend, saved.blendFactor, saved.sampleMask);
    context.SetDepthStencilState(depthStencilState, 0);
    context.SetRasterizerState(rasterizerState);
    context.SetSampler(0, linearClampSampler);
}

void FwSpriteBatch::DrawString(const FwSpriteFont& font, const std::string& text, const Vector2& position,
                               const Color& color) {
    if (!begun || !font.Loaded()) {
        return;
    }
    if (batchFont != &font) {
        Flush();
        batchFont = &font;
    }
    const FwTexture& atlas = font.Atlas();
    const auto atlasWidth = static_cast<float>(atlas.Width());
    const auto atlasHeight = static_cast<float>(atlas.Height());
    Vector2 pen;
    for (size_t at = 0; at < text.size();) {
        const uint32_t codePoint = NextCodePoint(text, at);
        if (codePoint == '\n') {
            pen = Vector2(0.0f, pen.y + font.LineSpacing());
            continue;
        }
        const FwGlyph* glyph = codePoint == '\r' ? nullptr : font.FindGlyph(codePoint);
        if (glyph == nullptr) {
            continue;
        }
        if (glyph->width > 0 && glyph->height > 0) {
            const float left = position.x + pen.x + glyph->offsetX;
            const float top = position.y + pen.y + glyph->offsetY;
            const Vector2 uv0(static_cast<float>(glyph->x) / atlasWidth, static_cast<float>(glyph->y) / atlasHeight);
            const Vector2 uv1(static_cast<float>(glyph->x + glyph->width) / atlasWidth,
                              static_cast<float>(glyph->y + glyph->height) / atlasHeight);
            AddQuad(left, top, left + static_cast<float>(glyph->width), top + static_cast<float>(glyph->height), uv0,
                    uv1, color);
        }
        pen.x += glyph->advance;
    }
}

void FwSpriteBatch::AddQuad(float left, float top, float right, float bottom, const Vector2& uv0, const Vector2& uv1,
                            const Color& color) {
    // Pixels of the screen, y down, to clip space, whatever the back buffer's size.
    const float x0 = left * 2.0f / kScreenWidth - 1.0f;
    const float x1 = right * 2.0f / kScreenWidth - 1.0f;
    const float y0 = 1.0f - top * 2.0f / kScreenHeight;
    const float y1 = 1.0f - bottom * 2.0f / kScreenHeight;
    const FwEffectVertex topLeft{{x0, y0, 0.0f}, {uv0.x, uv0.y}, color};
    const FwEffectVertex topRight{{x1, y0, 0.0f}, {uv1.x, uv0.y}, color};
    const FwEffectVertex bottomLeft{{x0, y1, 0.0f}, {uv0.x, uv1.y}, color};
    const FwEffectVertex bottomRight{{x1, y1, 0.0f}, {uv1.x, uv1.y}, color};
    vertices.insert(vertices.end(), {topLeft, topRight, bottomLeft, bottomLeft, topRight, bottomRight});
}

void FwSpriteBatch::Flush() {
    if (!vertices.empty() && batchFont != nullptr) {
        FwDirect3D& d3d = FwDirect3D::GetInstance();
        d3d.Context().SetShaderResources(0, {&batchFont->Atlas()});
        d3d.DrawVertices(FwTopology::TriangleList, static_cast<uint32_t>(vertices.size()), vertices.data(),
                         sizeof(FwEffectVertex));
        d3d.Context().SetShaderResources(0, {nullptr});
    }
    vertices.clear();
    batchFont = nullptr;
}

void FwSpriteBatch::End() {
    if (!begun) {
        return;
    }
    Flush();
    begun = false;
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    context.SetProgram(saved.program);
    context.SetInputLayout(saved.inputLayout);
    context.SetBlendState(std::move(saved.blend), saved.blendFactor, saved.sampleMask);
    context.SetDepthStencilState(std::move(saved.depthStencil), saved.stencilRef);
    context.SetRasterizerState(std::move(saved.rasterizer));
    context.SetSampler(0, std::move(saved.sampler));
    saved = SavedStates{};
}
