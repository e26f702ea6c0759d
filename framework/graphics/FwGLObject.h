#pragma once

// Owning handle for one OpenGL object name. Deleting is skipped when the context that made the
// object is gone (objects that outlive FwDirect3D::Release, e.g. a scene destroyed at exit) or
// when a later context has replaced it, so a stale name never deletes another context's object.

#include <cstdint>
#include <utility>
#ifdef __EMSCRIPTEN__
#include <functional>
#endif

#include "framework/graphics/FwGLTypes.h"

// Forgets earlier GL errors so that the next glGetError speaks of what follows. Bounded, as a lost
// context may keep reporting.
void FwDrainGLErrors();

enum class FwGLKind { Texture, Buffer, VertexArray, Framebuffer, Sampler, Program, Shader };

class FwGLObject {
public:
    FwGLObject() = default;
    FwGLObject(FwGLKind kind, GLuint name);
    ~FwGLObject() { Reset(); }

    FwGLObject(const FwGLObject&) = delete;
    FwGLObject& operator=(const FwGLObject&) = delete;
    FwGLObject(FwGLObject&& other) noexcept { *this = std::move(other); }
    FwGLObject& operator=(FwGLObject&& other) noexcept;

    static FwGLObject Generate(FwGLKind kind);

    void Reset();
    GLuint Name() const { return name; }
    // Unique for every object made in this process, unlike GL names, which are recycled.
    uint64_t Serial() const { return serial; }
    explicit operator bool() const { return name != 0; }

    // Called by FwDirect3D when it makes its context current and when it destroys it.
    static void BeginContext();
    static void EndContext();
    // The live context's number (0 while there is none): content made for one context is no
    // use in the next.
    static uint32_t LiveGeneration();

#ifdef __EMSCRIPTEN__
    // A browser may take the WebGL context away and give it back empty (webglcontextlost). Then
    // every live object is made again under its old name, so whatever holds the name stays
    // right, and the recipe that the code which filled it kept fills it again: textures first,
    // then buffers, vertex arrays, framebuffers (whose textures are back by then), samplers and
    // programs.
    void KeepRecipe(std::function<void(GLuint)> recipe) const;
    static void RemakeAll();
#endif

private:
    FwGLKind kind = FwGLKind::Texture;
    GLuint name = 0;
    uint32_t generation = 0;
    uint64_t serial = 0;
};
