#pragma once

// Batched text quads: every glyph of a pass is collected and drawn in one call at End. Begin
// binds the batch's own program and states; End binds back everything it changed except that
// texture slot 0 is left empty.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/graphics/FwInputLayout.h"
#include "framework/graphics/FwRenderStates.h"
#include "framework/graphics/FwShaderProgram.h"
#include "framework/graphics/FwVertexTypes.h"
#include "framework/math/SimpleMath.h"

class FwSpriteFont;

// Width in pixels of the widest line of `text` as DrawString lays it out, for centring and
// right-aligning text.
float FwMeasureString(const FwSpriteFont& font, const std::string& text);

class FwSpriteBatch {
public:
    bool Init();
    void Release();

    // Null blend uses the batch's own alpha blending.
    void Begin(const FwBlendStatePtr& blend);
    // Text in UTF-8 with its first line's top-left at the pixel (x, y) of the viewport, y down;
    // "\n" starts a new line. Drawn as the font's coverage times the colour, at unit scale.
    void DrawString(const FwSpriteFont& font, const std::string& text, const Vector2& position, const Color& color);
    void End();

private:
    struct SavedStates {
        const FwShaderProgram* program = nullptr;
        const FwInputLayout* inputLayout = nullptr;
        FwBlendStatePtr blend;
        Color blendFactor;
        uint32_t sampleMask = 0;
        FwDepthStencilStatePtr depthStencil;
        uint32_t stencilRef = 0;
        FwRasterizerStatePtr rasterizer;
        FwSamplerStatePtr sampler;
    };

    void Flush();
    void AddQuad(float left, float top, float right, float bottom, const Vector2& uv0, const Vector2& uv1,
                 const Color& color);

    FwShaderProgram program;
    FwInputLayout inputLayout;
    FwBlendStatePtr alphaBlend;
    FwDepthStencilStatePtr depthStencilState;
    FwRasterizerStatePtr rasterizerState;
    FwSamplerStatePtr linearClampSampler;
    bool begun = false;
    SavedStates saved;
    const FwSpriteFont* batchFont = nullptr;
    std::vector<FwEffectVertex> vertices;  // kept between passes so drawing text allocates nothing
};
