#pragma once

// 2D drawing: textured rectangles and sprite-font text in a centre-origin, y-up pixel space
// (x to the right, y upwards, one unit per pixel).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "framework/graphics/FwConstantBuffer.h"
#include "framework/graphics/FwInputLayout.h"
#include "framework/graphics/FwRenderStates.h"
#include "framework/graphics/FwShaderProgram.h"
#include "framework/graphics/FwSpriteBatch.h"
#include "framework/math/SimpleMath.h"

class FwSpriteFont;
class FwTexture;

// Register b0: g_mTransform places what is drawn; g_color multiplies it.
struct cbSprite {
    Matrix g_mTransform;
    Color g_color{1.0f, 1.0f, 1.0f, 1.0f};
};
static_assert(sizeof(cbSprite) == 80 && offsetof(cbSprite, g_color) == 64);

// Register b1.
struct cbProjection {
    Matrix g_mProj;
};
static_assert(sizeof(cbProjection) == 64);

// A source rectangle in texels.
struct FwRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

class FwSpriteShader {
public:
    static constexpr uint32_t kSpriteSlot = 0;
    static constexpr uint32_t kProjectionSlot = 1;

    bool Init();
    void Release();

    // Starts a 2D pass over the current viewport; a second Begin is ignored.
    void Begin(bool linear, bool disableDepth);
    // Binds back the depth, rasterizer and sampler states that Begin found.
    void End();

    // Draws texture over w by h pixels at (x, y); the pivot picks the point of the picture that
    // lands on (x, y): (0.5, 0.5) its centre, (0, 0) its lower-left corner. A colour, once given,
    // stays in effect for later draws that give none. Outside Begin/End the draw makes its own pass.
    void DrawTex(const FwTexture* texture, int x, int y, int w, int h,
                 const std::optional<FwRect>& source = std::nullopt, const std::optional<Color>& color = std::nullopt,
                 const Vector2& pivot = Vector2(0.5f, 0.5f));

    // Text with its first line's top-left at (x, y), assuming the 1280x720 screen whatever the
    // viewport. DrawFont blends with alpha blending, DrawText with the blend state bound now;
    // both leave the bound blend state as it was.
    void DrawFont(const FwSpriteFont* font, float x, float y, const std::string& text, const Color& color);
    void DrawText(const FwSpriteFont* font, float x, float y, const std::string& text, const Color& color);

    // Later draws come out darkened by `amount` (0 none, 1 black), as they would under a black
    // layer of that opacity drawn over them; what is fading as a whole then needs no layer over
    // the whole screen. The colours given stay as given.
    void SetDimming(float amount) { dimming = amount; }

    bool Begun() const { return begun; }

    FwConstantBuffer<::cbSprite> cbSprite;
    FwConstantBuffer<::cbProjection> cbProjection;

private:
    Color Dimmed(const Color& color) const;
    void DrawString(const FwSpriteFont* font, float x, float y, const std::string& text, const Color& color,
                    const FwBlendStatePtr& blend);

    FwShaderProgram program;
    FwInputLayout inputLayout;
    bool begun = false;
    float dimming = 0.0f;
    Color givenColor{1.0f, 1.0f, 1.0f, 1.0f};  // the last colour a draw gave, before dimming
    Matrix projection;
    FwDepthStencilStatePtr depthStencilState2D;
    FwRasterizerStatePtr rasterizerState2D;
    FwSamplerStatePtr pointSampler;
    FwSamplerStatePtr linearSampler;
    FwDepthStencilStatePtr savedDepthStencilState;
    FwRasterizerStatePtr savedRasterizerState;
    uint32_t savedStencilRef = 0;
    FwSamplerStatePtr savedSampler;
    FwSpriteBatch spriteBatch;
};
