#include "framework/graphics/FwGLObject.h"

#include "framework/graphics/FwGL.h"

namespace {

// 0 while no context is live; each new context gets a fresh number.
uint32_t liveGeneration = 0;
uint32_t lastGeneration = 0;
uint64_t lastSerial = 0;

void DeleteName(FwGLKind kind, GLuint name) {
    switch (kind) {
    case FwGLKind::Texture:
        glDeleteTextures(1, &name);
        break;
    case FwGLKind::Buffer:
        glDeleteBuffers(1, &name);
        break;
    case FwGLKind::VertexArray:
        glDeleteVertexArrays(1, &name);
        break;
    case FwGLKind::Framebuffer:
        glDeleteFramebuffers(1, &name);
        break;
    case FwGLKind::Sampler:
        glDeleteSamplers(1, &name);
        break;
    case FwGLKind::Program:
        glDeleteProgram(name);
        break;
    case FwGLKind::Shader:
        glDeleteShader(name);
        break;
    }
}

}  // namespace

void FwDrainGLErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

FwGLObject::FwGLObject(FwGLKind kind, GLuint name)
    : kind(kind), name(name), generation(liveGeneration), serial(name != 0 ? ++lastSerial : 0) {}

FwGLObject& FwGLObject::operator=(FwGLObject&& other) noexcept {
    if (this != &other) {
        Reset();
        kind = other.kind;
        name = std::exchange(other.name, 0);
        generation = other.generation;
        serial = std::exchange(other.serial, 0);
    }
    return *this;
}

FwGLObject FwGLObject::Generate(FwGLKind kind) {
    if (liveGeneration == 0) {
        return {};
    }
    GLuint name = 0;
    switch (kind) {
    case FwGLKind::Texture:
        glGenTextures(1, &name);
        break;
    case FwGLKind::Buffer:
        glGenBuffers(1, &name);
        break;
    case FwGLKind::VertexArray:
        glGenVertexArrays(1, &name);
        break;
    case FwGLKind::Framebuffer:
        glGenFramebuffers(1, &name);
        break;
    case FwGLKind::Sampler:
        glGenSamplers(1, &name);
        break;
    case FwGLKind::Program:
        name = glCreateProgram();
        break;
    case FwGLKind::Shader:
        return {};  // shaders need a stage: construct them directly
    }
    return {kind, name};
}

void FwGLObject::Reset() {
    if (name != 0 && generation != 0 && generation == liveGeneration) {
        DeleteName(kind, name);
    }
    name = 0;
    serial = 0;
}

void FwGLObject::BeginContext() { liveGeneration = ++lastGeneration; }

void FwGLObject::EndContext() { liveGeneration = 0; }

uint32_t FwGLObject::LiveGeneration() { return liveGeneration; }
