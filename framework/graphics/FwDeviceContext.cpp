#include "framework/graphics/FwDeviceContext.h"

#include "framework/graphics/FwBuffer.h"
#include "framework/graphics/FwGL.h"
#include "framework/graphics/FwInputLayout.h"
#include "framework/graphics/FwShaderProgram.h"

namespace {

// What a null state stands for.
const FwBlendState kDefaultBlend;
const FwDepthStencilState kDefaultDepthStencil;
const FwRasterizerState kDefaultRasterizer;

void Enable(GLenum capability, bool on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

GLenum ModeOf(FwTopology topology) {
    switch (topology) {
    case FwTopology::PointList:
        return GL_POINTS;
    case FwTopology::LineList:
        return GL_LINES;
    case FwTopology::LineStrip:
        return GL_LINE_STRIP;
    case FwTopology::TriangleStrip:
        return GL_TRIANGLE_STRIP;
    case FwTopology::TriangleList:
        break;
    }
    return GL_TRIANGLES;
}

}  // namespace

bool FwDeviceContext::Init(int renderTargetHeight) {
    targetHeight = renderTargetHeight;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    const uint8_t transparentBlack[4] = {0, 0, 0, 0};
    if (!nullTexture.Create(1, 1, FwFormat::R8G8B8A8_UNORM, 1, transparentBlack)) {
        return false;
    }
    SetBlendState(nullptr, Color(0.0f, 0.0f, 0.0f, 0.0f), 0xFFFFFFFF);
    SetDepthStencilState(nullptr, 0);
    SetRasterizerState(nullptr);
    for (uint32_t slot = 0; slot < kSamplerSlots; ++slot) {
        SetSampler(slot, nullptr);
    }
    SetShaderResources(0, {nullptr, nullptr, nullptr});
    return true;
}

void FwDeviceContext::Release() {
    inputLayout = nullptr;
    vertexBuffer = {};
    indexBuffer = {};
    pointedInput = {};
    indexLayout = 0;
    boundIndexBuffer = 0;
    program = nullptr;
    samplers = {};
    blendState.reset();
    depthStencilState.reset();
    rasterizerState.reset();
    nullTexture.Release();
}

#ifdef __EMSCRIPTEN__
void FwDeviceContext::Reapply() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    pointedInput = {};
    indexLayout = 0;
    boundIndexBuffer = 0;
    SetProgram(program);
    for (uint32_t slot = 0; slot < constantBuffers.size(); ++slot) {
        glBindBufferBase(GL_UNIFORM_BUFFER, slot, constantBuffers[slot]);
    }
    SetSampler(0, samplers[0]);
    SetBlendState(blendState, blendFactor, sampleMask);
    SetDepthStencilState(depthStencilState, stencilRef);
    SetRasterizerState(rasterizerState);
    SetViewport(viewport);
}
#endif

void FwDeviceContext::SetInputLayout(const FwInputLayout* layout) { inputLayout = layout; }

FwDeviceContext::BoundBuffer FwDeviceContext::Remember(const FwBuffer* buffer) {
    return buffer != nullptr ? BoundBuffer{buffer->Buffer(), buffer->Serial()} : BoundBuffer{};
}

void FwDeviceContext::SetVertexBuffer(const FwBuffer* buffer, uint32_t stride, uint32_t offset) {
    vertexBuffer = Remember(buffer);
    vertexStride = stride;
    vertexOffset = offset;
}

void FwDeviceContext::SetIndexBuffer(const FwBuffer* buffer, uint32_t offset) {
    indexBuffer = Remember(buffer);
    indexOffset = offset;
}

void FwDeviceContext::SetTopology(FwTopology newTopology) { topology = ModeOf(newTopology); }

void FwDeviceContext::SetProgram(const FwShaderProgram* newProgram) {
    program = newProgram;
    glUseProgram(program != nullptr ? program->Program() : 0);
}

void FwDeviceContext::SetConstantBuffer(uint32_t slot, const FwBuffer* buffer) const {
    const GLuint name = buffer != nullptr ? buffer->Buffer() : 0;
    glBindBufferBase(GL_UNIFORM_BUFFER, slot, name);
#ifdef __EMSCRIPTEN__
    if (slot < constantBuffers.size()) {
        constantBuffers[slot] = name;
    }
#endif
}

void FwDeviceContext::SetShaderResources(uint32_t startSlot, std::initializer_list<const FwTexture*> textures) const {
    GLuint unit = startSlot;
    for (const FwTexture* texture : textures) {
        const bool bound = texture != nullptr && texture->ShaderResourceView() != 0;
        const FwTexture& shown = bound ? *texture : nullTexture;
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(shown.Target(), shown.ShaderResourceView());
        ++unit;
    }
}

void FwDeviceContext::SetSampler(uint32_t slot, FwSamplerStatePtr sampler) {
    if (slot >= kSamplerSlots) {
        return;
    }
    samplers[slot] = std::move(sampler);
    // GLSL samples each texture unit through the sampler bound to that unit, and every program
    // here reads all of its textures through s0; no program reads s1.
    if (slot == 0) {
        const GLuint name = samplers[0] ? samplers[0]->sampler.Name() : 0;
        for (GLuint unit = 0; unit < kTextureSlots; ++unit) {
            glBindSampler(unit, name);
        }
    }
}

void FwDeviceContext::SetBlendState(FwBlendStatePtr state, const Color& factor, uint32_t mask) {
    blendState = std::move(state);
    blendFactor = factor;
    sampleMask = mask;
    const FwBlendState& blend = blendState ? *blendState : kDefaultBlend;
    Enable(GL_SAMPLE_ALPHA_TO_COVERAGE, blend.alphaToCoverage);
    Enable(GL_BLEND, blend.blendEnable);
    glBlendFuncSeparate(blend.srcBlend, blend.destBlend, blend.srcBlendAlpha, blend.destBlendAlpha);
    glBlendEquationSeparate(blend.blendOp, blend.blendOpAlpha);
    const GLboolean write = blend.writeAll ? GL_TRUE : GL_FALSE;
    glColorMask(write, write, write, write);
    glBlendColor(factor.r, factor.g, factor.b, factor.a);
}

void FwDeviceContext::SetDepthStencilState(FwDepthStencilStatePtr state, uint32_t reference) {
    depthStencilState = std::move(state);
    stencilRef = reference;
    const FwDepthStencilState& depth = depthStencilState ? *depthStencilState : kDefaultDepthStencil;
    Enable(GL_DEPTH_TEST, depth.depthEnable);
    glDepthMask(depth.depthWrite ? GL_TRUE : GL_FALSE);
    glDepthFunc(depth.depthFunc);
}

void FwDeviceContext::SetRasterizerState(FwRasterizerStatePtr state) {
    rasterizerState = std::move(state);
    const FwRasterizerState& raster = rasterizerState ? *rasterizerState : kDefaultRasterizer;
#ifndef __EMSCRIPTEN__
    // WebGL draws no wireframes and clamps no depth; the game asks for neither.
    glPolygonMode(GL_FRONT_AND_BACK, raster.fill == FwFillMode::Wireframe ? GL_LINE : GL_FILL);
#endif
    Enable(GL_CULL_FACE, raster.cull != FwCullMode::None);
    glCullFace(raster.cull == FwCullMode::Front ? GL_FRONT : GL_BACK);
    glFrontFace(raster.frontCounterClockwise ? GL_CCW : GL_CW);
#ifndef __EMSCRIPTEN__
    Enable(GL_DEPTH_CLAMP, !raster.depthClip);
#endif
    Enable(GL_SCISSOR_TEST, raster.scissor);
}

void FwDeviceContext::SetViewport(const FwViewport& newViewport) {
    viewport = newViewport;
    // GL counts rows from the bottom of the target.
    const float bottom = static_cast<float>(targetHeight) - viewport.topLeftY - viewport.height;
    glViewport(static_cast<GLint>(viewport.topLeftX), static_cast<GLint>(bottom), static_cast<GLsizei>(viewport.width),
               static_cast<GLsizei>(viewport.height));
    glDepthRangef(viewport.minDepth, viewport.maxDepth);
}

void FwDeviceContext::FlushInputAssembler(bool indexed, int32_t baseVertex) {
    if (inputLayout == nullptr) {
        glBindVertexArray(0);
        return;
    }
    glBindVertexArray(inputLayout->VertexArray());
    // The base vertex moves where the attributes start (WebGL 2 has no base-vertex draws).
    const uint32_t firstVertexByte = vertexOffset + static_cast<uint32_t>(baseVertex) * vertexStride;
    const VertexInput wanted = {inputLayout->Serial(), vertexBuffer.serial, vertexStride, firstVertexByte};
    if (wanted != pointedInput) {
        inputLayout->PointAttributes(vertexBuffer.name, vertexStride, firstVertexByte);
        pointedInput = wanted;
    }
    // Only an indexed draw needs the index buffer: one bound earlier may have been deleted since.
    if (indexed && (indexLayout != wanted.layout || boundIndexBuffer != indexBuffer.serial)) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer.name);
        indexLayout = wanted.layout;
        boundIndexBuffer = indexBuffer.serial;
    }
}

void FwDeviceContext::Draw(uint32_t vertexCount, uint32_t startVertex) {
    FlushInputAssembler(false);
    glDrawArrays(topology, static_cast<GLint>(startVertex), static_cast<GLsizei>(vertexCount));
}

void FwDeviceContext::DrawIndexed(uint32_t indexCount, uint32_t startIndex, int32_t baseVertex) {
    if (indexBuffer.serial == 0) {
        return;
    }
    FlushInputAssembler(true, baseVertex);
    const uintptr_t firstByte = indexOffset + uintptr_t{startIndex} * sizeof(uint32_t);
    glDrawElements(topology, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(firstByte));
}

void FwDeviceContext::ApplyScissor(bool enable) const {
    if (rasterizerState && rasterizerState->scissor) {
        Enable(GL_SCISSOR_TEST, enable);
    }
}

void FwDeviceContext::ClearColor(const Color& color) const {
    ApplyScissor(false);
    const GLfloat value[4] = {color.r, color.g, color.b, color.a};
    glClearBufferfv(GL_COLOR, 0, value);
    ApplyScissor(true);
}

void FwDeviceContext::ClearDepth(float depth) const {
    ApplyScissor(false);
    glDepthMask(GL_TRUE);
    glClearBufferfv(GL_DEPTH, 0, &depth);
    glDepthMask(depthStencilState && !depthStencilState->depthWrite ? GL_FALSE : GL_TRUE);
    ApplyScissor(true);
}
