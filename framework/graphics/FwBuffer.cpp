#include "framework/graphics/FwBuffer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/graphics/FwGL.h"

namespace {

// Buffers are created and written through the copy-write target so that no vertex-array or
// uniform binding of the pipeline is disturbed. WebGL fixes a buffer's kind at its first binding
// and never binds an index buffer to another target: there index buffers go through the index
// target of no vertex array (the device context binds its own before each draw).
GLenum WorkTarget(uint32_t bindFlags) {
#ifdef __EMSCRIPTEN__
    if ((bindFlags & FwBind::kIndexBuffer) != 0) {
        return GL_ELEMENT_ARRAY_BUFFER;
    }
#else
    static_cast<void>(bindFlags);
#endif
    return GL_COPY_WRITE_BUFFER;
}

void BindForWork(GLenum target, GLuint name) {
    if (target == GL_ELEMENT_ARRAY_BUFFER) {
        glBindVertexArray(0);
    }
    glBindBuffer(target, name);
}

GLenum UsageHint(FwUsage usage) {
    switch (usage) {
    case FwUsage::Dynamic:
        return GL_STREAM_DRAW;
    case FwUsage::Staging:
        return GL_STREAM_READ;
    case FwUsage::Default:
    case FwUsage::Immutable:
        break;
    }
    return GL_STATIC_DRAW;
}

}  // namespace

bool FwBuffer::Create(uint32_t bindFlags, uint32_t byteSize, FwUsage usage, const void* initialData) {
    Release();
    if (byteSize == 0 || ((bindFlags & FwBind::kConstantBuffer) != 0 && byteSize % 16 != 0)) {
        return false;
    }
    FwGLObject made = FwGLObject::Generate(FwGLKind::Buffer);
    if (!made) {
        return false;
    }
    FwDrainGLErrors();
    const GLenum target = WorkTarget(bindFlags);
    BindForWork(target, made.Name());
    glBufferData(target, byteSize, initialData, UsageHint(usage));
    glBindBuffer(target, 0);
    if (glGetError() != GL_NO_ERROR) {
        return false;
    }
    buffer = std::move(made);
    this->bindFlags = bindFlags;
    size = byteSize;
    this->usage = usage;
#ifdef __EMSCRIPTEN__
    // Dynamic vertex buffers are written before each draw; every other buffer keeps its bytes for
    // a lost context (constant buffers are written only when they change).
    if (usage != FwUsage::Dynamic || (bindFlags & FwBind::kVertexBuffer) == 0) {
        const auto* first = static_cast<const uint8_t*>(initialData);
        kept = std::make_shared<std::vector<uint8_t>>(byteSize);
        if (first != nullptr) {
            kept->assign(first, first + byteSize);
        }
    }
    buffer.KeepRecipe([target, byteSize, usage, bytes = kept](GLuint name) {
        BindForWork(target, name);
        glBufferData(target, byteSize, bytes ? bytes->data() : nullptr, UsageHint(usage));
        glBindBuffer(target, 0);
    });
#endif
    return true;
}

void FwBuffer::WriteData(const void* source, uint32_t byteCount) {
    if (!buffer) {
        return;
    }
    switch (usage) {
    case FwUsage::Default:
        if (source != nullptr) {
            const GLenum target = WorkTarget(bindFlags);
            BindForWork(target, buffer.Name());
            glBufferSubData(target, 0, byteCount < size ? byteCount : size, source);
            glBindBuffer(target, 0);
#ifdef __EMSCRIPTEN__
            Keep(source, byteCount < size ? byteCount : size);
#endif
        }
        break;
    case FwUsage::Dynamic:
        WriteMapped(GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT, source, byteCount);
        break;
    case FwUsage::Staging:
        WriteMapped(GL_MAP_READ_BIT | GL_MAP_WRITE_BIT, source, byteCount);
        break;
    case FwUsage::Immutable:
        break;
    }
}

void FwBuffer::WriteMapped(GLbitfield access, const void* source, uint32_t byteCount) const {
    const GLenum target = WorkTarget(bindFlags);
    BindForWork(target, buffer.Name());
#ifdef __EMSCRIPTEN__
    // WebGL maps no buffers: the same bytes go by copy.
    static_cast<void>(access);
    if (source == nullptr || byteCount > size) {
        const std::vector<uint8_t> zeros(size);
        glBufferSubData(target, 0, size, zeros.data());
        Keep(zeros.data(), size);
    } else {
        glBufferSubData(target, 0, byteCount, source);
        Keep(source, byteCount);
    }
#else
    void* mapped = glMapBufferRange(target, 0, size, access);
    if (mapped != nullptr) {
        if (source == nullptr || byteCount > size) {
            std::memset(mapped, 0, size);
        } else {
            std::memcpy(mapped, source, byteCount);
        }
        glUnmapBuffer(target);
    }
#endif
    glBindBuffer(target, 0);
}

#ifdef __EMSCRIPTEN__
void FwBuffer::Keep(const void* source, uint32_t byteCount) const {
    if (kept) {
        const auto* first = static_cast<const uint8_t*>(source);
        std::copy(first, first + byteCount, kept->begin());
    }
}
#endif

void FwBuffer::Release() {
    buffer.Reset();
#ifdef __EMSCRIPTEN__
    kept.reset();
#endif
    size = 0;
    usage = FwUsage::Default;
    bindFlags = 0;
}
