#include "framework/graphics/FwGLObject.h"

#include "framework/graphics/FwGL.h"

#ifdef __EMSCRIPTEN__
#include <map>
#include <vector>

#include <emscripten.h>
#endif

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

#ifdef __EMSCRIPTEN__
// Every live object by kind and name, with the recipe that fills it again (empty if none).
std::map<std::pair<FwGLKind, GLuint>, std::function<void(GLuint)>>& LiveObjects() {
    static std::map<std::pair<FwGLKind, GLuint>, std::function<void(GLuint)>> objects;
    return objects;
}

// clang-format off
// A new WebGL object under an old name, in the tables where Emscripten's GL keeps its objects; the
// kinds in FwGLKind's order. Emscripten never hands out a name twice, so no later one collides.
// The extensions a context had are asked for again first.
EM_JS(void, RemakeName, (int kind, GLuint name), {
    const makers = ["createTexture", "createBuffer", "createVertexArray", "createFramebuffer", "createSampler",
                    "createProgram"];
    const tables = [GL.textures, GL.buffers, GL.vaos, GL.framebuffers, GL.samplers, GL.programs];
    if (kind >= makers.length) {
        return;
    }
    const made = GLctx[makers[kind]]();
    made.name = name;
    if (makers[kind] === "createProgram") {
        made.maxUniformLength = made.maxAttributeLength = made.maxUniformBlockNameLength = 0;
        made.uniformIdCounter = 1;
    }
    tables[kind][name] = made;
});

EM_JS(void, AskForExtensionsAgain, (), {
    GL.currentContext.initExtensionsDone = false;
    GL.initExtensions(GL.currentContext);
});
// clang-format on
#endif

}  // namespace

void FwDrainGLErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

FwGLObject::FwGLObject(FwGLKind kind, GLuint name)
    : kind(kind), name(name), generation(liveGeneration), serial(name != 0 ? ++lastSerial : 0) {
#ifdef __EMSCRIPTEN__
    if (name != 0) {
        LiveObjects()[{kind, name}] = nullptr;
    }
#endif
}

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
#ifdef __EMSCRIPTEN__
    if (name != 0) {
        LiveObjects().erase({kind, name});
    }
#endif
    name = 0;
    serial = 0;
}

void FwGLObject::BeginContext() { liveGeneration = ++lastGeneration; }

void FwGLObject::EndContext() { liveGeneration = 0; }

uint32_t FwGLObject::LiveGeneration() { return liveGeneration; }

#ifdef __EMSCRIPTEN__
void FwGLObject::KeepRecipe(std::function<void(GLuint)> recipe) const {
    if (name != 0) {
        LiveObjects()[{kind, name}] = std::move(recipe);
    }
}

void FwGLObject::RemakeAll() {
    AskForExtensionsAgain();
    std::vector<std::pair<FwGLKind, GLuint>> names;
    for (const auto& entry : LiveObjects()) {
        names.push_back(entry.first);
    }
    for (const auto& [kind, name] : names) {
        RemakeName(static_cast<int>(kind), name);
        // A copy: a recipe that makes objects of its own (a program's shaders) changes the table.
        const auto found = LiveObjects().find({kind, name});
        const std::function<void(GLuint)> recipe = found != LiveObjects().end() ? found->second : nullptr;
        if (recipe) {
            recipe(name);
        }
    }
}
#endif
