#include "framework/graphics/FwBuffer.h"

#include <cstring>
#include <vector>

#include "framework/graphics/FwGL.h"

namespace {

// Buffers are created and written through the copy-write target so that no vertex-array or
// uniform binding of the pipeline is disturbed.
constexpr GLenum kWorkTarget = GL_COPY_WRITE_BUFFER;

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
    glBindBuffer(kWorkTarget, made.Name());
    glBufferData(kWorkTarget, byteSize, initialData, UsageHint(usage));
    glBindBuffer(kWorkTarget, 0);
    if (glGetError() != GL_NO_ERROR) {
        return false;
    }
    buffer = std::move(made);
    size = byteSize;
    this->usage = usage;
    return true;
}

void FwBuffer::WriteData(const void* source, uint32_t byteCount) {
    if (!buffer) {
        return;
    }
    switch (usage) {
    case FwUsage::Default:
        if (source != nullptr) {
            glBindBuffer(kWorkTarget, buffer.Name());
            glBufferSubData(kWorkTarget, 0, byteCount < size ? byteCount : size, source);
            glBindBuffer(kWorkTarget, 0);
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
    glBindBuffer(kWorkTarget, buffer.Name());
#ifdef __EMSCRIPTEN__
    // WebGL maps no buffers: the same bytes go by copy.
    static_cast<void>(access);
    if (source == nullptr || byteCount > size) {
        const std::vector<uint8_t> zeros(size);
        glBufferSubData(kWorkTarget, 0, size, zeros.data());
    } else {
        glBufferSubData(kWorkTarget, 0, byteCount, source);
    }
#else
    void* mapped = glMapBufferRange(kWorkTarget, 0, size, access);
    if (mapped != nullptr) {
        if (source == nullptr || byteCount > size) {
            std::memset(mapped, 0, size);
        } else {
            std::memcpy(mapped, source, byteCount);
        }
        glUnmapBuffer(kWorkTarget);
    }
#endif
    glBindBuffer(kWorkTarget, 0);
}

void FwBuffer::Release() {
    buffer.Reset();
    size = 0;
    usage = FwUsage::Default;
}
