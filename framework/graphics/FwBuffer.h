#pragma once

// One GPU buffer (vertex, index or constant data) with the write rules of its usage.

#include <cstdint>
#ifdef __EMSCRIPTEN__
#include <memory>
#include <vector>
#endif

#include "framework/graphics/FwGLObject.h"

enum class FwUsage { Default, Immutable, Dynamic, Staging };

// What a buffer or texture may be bound as.
namespace FwBind {
inline constexpr uint32_t kVertexBuffer = 0x1;
inline constexpr uint32_t kIndexBuffer = 0x2;
inline constexpr uint32_t kConstantBuffer = 0x4;
inline constexpr uint32_t kShaderResource = 0x8;
inline constexpr uint32_t kRenderTarget = 0x20;
inline constexpr uint32_t kDepthStencil = 0x40;
}  // namespace FwBind

class FwBuffer {
public:
    // A constant buffer must be a multiple of 16 bytes long; anything else is refused.
    bool Create(uint32_t bindFlags, uint32_t byteSize, FwUsage usage, const void* initialData = nullptr);
    // Dynamic and staging buffers are rewritten whole: more bytes than the buffer holds, or no
    // source, leave it zero-filled. Default buffers take at most their size; immutable ones nothing.
    void WriteData(const void* source, uint32_t byteCount);
    void Release();

    GLuint Buffer() const { return buffer.Name(); }
    uint64_t Serial() const { return buffer.Serial(); }
    uint32_t Size() const { return size; }
    FwUsage Usage() const { return usage; }

private:
    void WriteMapped(GLbitfield access, const void* source, uint32_t byteCount) const;
#ifdef __EMSCRIPTEN__
    // The buffer's bytes as last written, for a lost context (FwGLObject::KeepRecipe).
    void Keep(const void* source, uint32_t byteCount) const;
    std::shared_ptr<std::vector<uint8_t>> kept;
#endif

    FwGLObject buffer;
    uint32_t size = 0;
    FwUsage usage = FwUsage::Default;
    uint32_t bindFlags = 0;
};
