#include "tests/graphics/GraphicsFixture.h"

#include <cstdlib>
#include <string>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "tests/support/HiddenDevice.h"

SDL_Window* GraphicsTest::window = nullptr;

void GraphicsTest::SetUpTestSuite() {
    std::string error;
    window = OpenHiddenDevice(1280, 720, error, true);
    ASSERT_NE(window, nullptr) << error;
}

void GraphicsTest::TearDownTestSuite() {
    CloseHiddenDevice(window);
    window = nullptr;
}

void GraphicsTest::SetUp() {
    ASSERT_NE(window, nullptr);
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    const FwDeviceContext& context = d3d.Context();
    startBlend = context.BlendState();
    startDepthStencil = context.DepthStencilState();
    startRasterizer = context.RasterizerState();
    startSampler = context.Sampler(0);
    d3d.ClearBackBuffer(Color(0.0f, 0.0f, 0.0f, 1.0f));
    d3d.ClearDepthStencil(1.0f, 0);
}

void GraphicsTest::TearDown() {
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    context.SetBlendState(startBlend, Color(0.0f, 0.0f, 0.0f, 0.0f), 0xFFFFFFFF);
    context.SetDepthStencilState(startDepthStencil, 0);
    context.SetRasterizerState(startRasterizer);
    context.SetSampler(0, startSampler);
}

void GraphicsTest::DrawClipSpace(FwTopology topology, const std::vector<FwEffectVertex>& vertices) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    shaders.cbCamera.Work().g_mV = Matrix::Identity;
    shaders.cbCamera.Work().g_mP = Matrix::Identity;
    shaders.cbCamera.Write();
    shaders.effectShader.cbPerObject.Work() = cbPerObject{};
    shaders.effectShader.cbPerObject.Write();
    shaders.effectShader.SetToDevice();
    d3d.Context().SetShaderResources(0, {d3d.WhiteTexture().get()});
    d3d.DrawVertices(topology, static_cast<uint32_t>(vertices.size()), vertices.data(), sizeof(FwEffectVertex));
}

std::vector<FwEffectVertex> GraphicsTest::ClipQuad(float left, float top, float right, float bottom, float z,
                                                   const Color& color) {
    const FwEffectVertex topLeft{{left, top, z}, {0, 0}, color};
    const FwEffectVertex topRight{{right, top, z}, {1, 0}, color};
    const FwEffectVertex bottomLeft{{left, bottom, z}, {0, 1}, color};
    const FwEffectVertex bottomRight{{right, bottom, z}, {1, 1}, color};
    return {topLeft, topRight, bottomLeft, bottomLeft, topRight, bottomRight};
}

BackBufferImage::BackBufferImage() {
    const FwDirect3D& d3d = FwDirect3D::GetInstance();
    width = d3d.Width();
    height = d3d.Height();
    d3d.ReadBackBuffer(pixels);
}

Rgba BackBufferImage::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height || pixels.empty()) {
        return {-1, -1, -1, -1};
    }
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4];
    return {p[0], p[1], p[2], p[3]};
}

bool SameColor(const Rgba& a, const Rgba& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance &&
           std::abs(a.a - b.a) <= tolerance;
}

bool BackBufferImage::RegionIs(int x0, int y0, int x1, int y1, const Rgba& color, int tolerance) const {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (!SameColor(At(x, y), color, tolerance)) {
                return false;
            }
        }
    }
    return true;
}

bool BackBufferImage::Bounds(const Rgba& background, int& x0, int& y0, int& x1, int& y1) const {
    x0 = width;
    y0 = height;
    x1 = 0;
    y1 = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (!SameColor(At(x, y), background, 0)) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x + 1);
                y1 = std::max(y1, y + 1);
            }
        }
    }
    return x1 > x0;
}
