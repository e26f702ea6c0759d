#pragma once

// Immutable pipeline state blocks. Each is made once by the factories of FwDirect3D and shared by
// pointer: the context keeps what is bound alive, as the owner of a state may drop it after binding.

#include <cstdint>

#include "framework/graphics/FwGL.h"
#include "framework/graphics/FwGLObject.h"
#include "framework/graphics/FwRenderStatesFwd.h"

struct FwBlendState {
    bool alphaToCoverage = false;
    bool blendEnable = false;
    GLenum srcBlend = GL_ONE;
    GLenum destBlend = GL_ZERO;
    GLenum blendOp = GL_FUNC_ADD;
    GLenum srcBlendAlpha = GL_ONE;
    GLenum destBlendAlpha = GL_ZERO;
    GLenum blendOpAlpha = GL_FUNC_ADD;
    bool writeAll = true;
};

struct FwDepthStencilState {
    bool depthEnable = true;
    bool depthWrite = true;
    GLenum depthFunc = GL_LESS;
};

// Front faces are clockwise unless frontCounterClockwise is set.
struct FwRasterizerState {
    FwFillMode fill = FwFillMode::Solid;
    FwCullMode cull = FwCullMode::Back;
    bool frontCounterClockwise = false;
    bool depthClip = true;
    bool scissor = false;
};

// A GL sampler object together with the settings it was made from.
struct FwSamplerState {
    FwFilter filter = FwFilter::Linear;
    FwAddressMode address = FwAddressMode::Clamp;
    uint32_t maxAnisotropy = 0;
    bool comparison = false;
    FwGLObject sampler;
};
