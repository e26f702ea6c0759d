#pragma once

// A hidden 1280x720 window with the real device and shader service, made once per test suite.
// Tests read the back buffer back and compare regions with tolerances.

#include <cstdint>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "framework/graphics/FwDeviceContext.h"
#include "framework/graphics/FwRenderStates.h"
#include "framework/graphics/FwVertexTypes.h"
#include "framework/math/SimpleMath.h"

struct Rgba {
    int r = 0;
    int g = 0;
    int b = 0;
    int a = 0;
};

// The back buffer, top row first.
class BackBufferImage {
public:
    BackBufferImage();
    Rgba At(int x, int y) const;
    // True when every pixel of the rectangle [x0, x1) x [y0, y1) is within tolerance of the colour.
    bool RegionIs(int x0, int y0, int x1, int y1, const Rgba& color, int tolerance = 2) const;
    // The smallest rectangle holding every pixel that differs from the background (x1, y1 exclusive).
    bool Bounds(const Rgba& background, int& x0, int& y0, int& x1, int& y1) const;

private:
    std::vector<uint8_t> pixels;
    int width = 0;
    int height = 0;
};

class GraphicsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    // Clears to black with alpha 1 and the depth buffer to 1.
    void SetUp() override;
    // Binds back the states the device started with, in case a test changed them.
    void TearDown() override;

    // Draws vertices given in clip space (identity camera) with the effect program and a white
    // texture, so each vertex colour shows as it is.
    static void DrawClipSpace(FwTopology topology, const std::vector<FwEffectVertex>& vertices);
    // Two triangles covering the clip-space rectangle at depth z.
    static std::vector<FwEffectVertex> ClipQuad(float left, float top, float right, float bottom, float z,
                                                const Color& color);

    static SDL_Window* window;

private:
    FwBlendStatePtr startBlend;
    FwDepthStencilStatePtr startDepthStencil;
    FwRasterizerStatePtr startRasterizer;
    FwSamplerStatePtr startSampler;
};

bool SameColor(const Rgba& a, const Rgba& b, int tolerance = 2);
