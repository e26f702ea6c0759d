#pragma once

// The immediate context: what the pipeline has bound (layout, buffers, program, textures, samplers,
// blend, depth, rasterizer state, viewport), so that 2D drawing can remember and restore states
// without asking GL. Vertex attributes are pointed at the bound buffer lazily, before a draw.

#include <array>
#include <cstdint>
#include <initializer_list>

#include "framework/graphics/FwRenderStates.h"
#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"

class FwBuffer;
class FwInputLayout;
class FwShaderProgram;

enum class FwTopology { PointList, LineList, LineStrip, TriangleList, TriangleStrip };

// Origin at the top-left of the render target, in pixels.
struct FwViewport {
    float topLeftX = 0.0f;
    float topLeftY = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float minDepth = 0.0f;
    float maxDepth = 1.0f;
};

class FwDeviceContext {
public:
    static constexpr uint32_t kTextureSlots = 3;
    static constexpr uint32_t kSamplerSlots = 2;

    // Binds the default states on the current GL context; the render target is that tall.
    bool Init(int renderTargetHeight);
    void Release();
#ifdef __EMSCRIPTEN__
    // After the browser gave a lost context back with GL's default state: everything this
    // context has bound is set again.
    void Reapply();
#endif

    void SetInputLayout(const FwInputLayout* layout);
    void SetVertexBuffer(const FwBuffer* buffer, uint32_t stride, uint32_t offset);
    void SetIndexBuffer(const FwBuffer* buffer, uint32_t offset);
    void SetTopology(FwTopology topology);
    void SetProgram(const FwShaderProgram* program);
    void SetConstantBuffer(uint32_t slot, const FwBuffer* buffer) const;
    // A null or empty texture reads as transparent black.
    void SetShaderResources(uint32_t startSlot, std::initializer_list<const FwTexture*> textures) const;
    void SetSampler(uint32_t slot, FwSamplerStatePtr sampler);
    void SetBlendState(FwBlendStatePtr state, const Color& blendFactor, uint32_t sampleMask);
    void SetDepthStencilState(FwDepthStencilStatePtr state, uint32_t stencilRef);
    void SetRasterizerState(FwRasterizerStatePtr state);
    void SetViewport(const FwViewport& viewport);
    // The bound render target's height, which viewports are placed by; the next SetViewport uses it.
    void SetTargetHeight(int renderTargetHeight) { targetHeight = renderTargetHeight; }

    const FwInputLayout* InputLayout() const { return inputLayout; }
    const FwShaderProgram* Program() const { return program; }
    const FwSamplerStatePtr& Sampler(uint32_t slot) const { return samplers.at(slot); }
    const FwBlendStatePtr& BlendState() const { return blendState; }
    const Color& BlendFactor() const { return blendFactor; }
    uint32_t SampleMask() const { return sampleMask; }
    const FwDepthStencilStatePtr& DepthStencilState() const { return depthStencilState; }
    uint32_t StencilRef() const { return stencilRef; }
    const FwRasterizerStatePtr& RasterizerState() const { return rasterizerState; }
    const FwViewport& Viewport() const { return viewport; }

    void Draw(uint32_t vertexCount, uint32_t startVertex);
    void DrawIndexed(uint32_t indexCount, uint32_t startIndex, int32_t baseVertex);

    // Clears the bound render target; unlike drawing, clears ignore the depth write mask and scissor.
    void ClearColor(const Color& color) const;
    void ClearDepth(float depth) const;
    // Suspends (false) and resumes (true) a scissoring rasterizer state around clears and copies.
    void ApplyScissor(bool enable) const;

private:
    struct VertexInput {
        uint64_t layout = 0;
        uint64_t buffer = 0;
        uint32_t stride = 0;
        uint32_t offset = 0;
        bool operator==(const VertexInput&) const = default;
    };
    // A bound buffer by GL name and serial: the FwBuffer itself may be gone before the next draw.
    struct BoundBuffer {
        GLuint name = 0;
        uint64_t serial = 0;
    };
    static BoundBuffer Remember(const FwBuffer* buffer);

    void FlushInputAssembler(bool indexed, int32_t baseVertex = 0);

    const FwInputLayout* inputLayout = nullptr;
    BoundBuffer vertexBuffer;
    uint32_t vertexStride = 0;
    uint32_t vertexOffset = 0;
    BoundBuffer indexBuffer;
    uint32_t indexOffset = 0;
    VertexInput pointedInput;
    uint64_t indexLayout = 0;  // the vertex array that holds boundIndexBuffer
    uint64_t boundIndexBuffer = 0;
    GLenum topology = GL_TRIANGLES;
    const FwShaderProgram* program = nullptr;
    std::array<FwSamplerStatePtr, kSamplerSlots> samplers;
    FwBlendStatePtr blendState;
    Color blendFactor{0.0f, 0.0f, 0.0f, 0.0f};
    uint32_t sampleMask = 0xFFFFFFFF;  // single-sampled targets: kept for whoever restores it
    FwDepthStencilStatePtr depthStencilState;
    uint32_t stencilRef = 0;
    FwRasterizerStatePtr rasterizerState;
    FwViewport viewport;
    int targetHeight = 0;
    FwTexture nullTexture;
#ifdef __EMSCRIPTEN__
    mutable std::array<GLuint, 16> constantBuffers{};  // by slot, for Reapply
#endif
};
