#include "framework/graphics/FwShaderProgram.h"

#include <cstdio>
#include <span>
#include <vector>

#include "framework/graphics/FwGL.h"
#include "framework/graphics/FwShaderSources.h"

namespace {

#ifdef __EMSCRIPTEN__
// The same programs in GLSL ES 3.00 for WebGL 2.
constexpr const char* kVersionLine = "#version 300 es\nprecision highp float;\nprecision highp int;\n";
// WebGL 2 has no clip control, so its clip space keeps depth from -w to w where the projections
// give 0 to w: each vertex program's own main runs first, then depth is stretched to GL's range,
// which the window transform brings back to the same 0..1 depth.
constexpr const char* kVertexHead = "#define main FwVertexMain\n";
constexpr const char* kVertexTail =
    "#undef main\nvoid main() {\n    FwVertexMain();\n    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;\n}\n";
#else
constexpr const char* kVersionLine = "#version 330 core\n";
constexpr const char* kVertexHead = "";
constexpr const char* kVertexTail = "";
#endif

FwGLObject CompileStage(GLenum stage, std::span<const char* const> files, const std::string& prelude) {
    const bool vertex = stage == GL_VERTEX_SHADER;
    std::vector<const char*> texts = {kVersionLine, prelude.c_str(), vertex ? kVertexHead : ""};
    for (const char* file : files) {
        const char* text = FwShaderSource(file);
        if (text == nullptr) {
            std::fprintf(stderr, "shader file %s is not built in\n", file);
            return {};
        }
        texts.push_back(text);
    }
    texts.push_back(vertex ? kVertexTail : "");
    FwGLObject shader(FwGLKind::Shader, glCreateShader(stage));
    glShaderSource(shader.Name(), static_cast<GLsizei>(texts.size()), texts.data(), nullptr);
    glCompileShader(shader.Name());
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader.Name(), GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        char log[2048] = {};
        glGetShaderInfoLog(shader.Name(), sizeof(log), nullptr, log);
        std::fprintf(stderr, "shader %s failed to compile:\n%s\n", *(files.end() - 1), log);
        return {};
    }
    return shader;
}

// Compiles the stages and links them into `program`, with the blocks and samplers at their points.
bool Build(GLuint program, std::span<const char* const> vertexFiles, std::span<const char* const> fragmentFiles,
           std::span<const FwBindingPoint> blocks, std::span<const FwBindingPoint> samplers,
           const std::string& prelude) {
    const FwGLObject vertexShader = CompileStage(GL_VERTEX_SHADER, vertexFiles, prelude);
    const FwGLObject fragmentShader = CompileStage(GL_FRAGMENT_SHADER, fragmentFiles, prelude);
    if (!vertexShader || !fragmentShader) {
        return false;
    }
    glAttachShader(program, vertexShader.Name());
    glAttachShader(program, fragmentShader.Name());
    glLinkProgram(program);
    glDetachShader(program, vertexShader.Name());
    glDetachShader(program, fragmentShader.Name());
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) {
        char log[2048] = {};
        glGetProgramInfoLog(program, sizeof(log), nullptr, log);
        std::fprintf(stderr, "shader program failed to link:\n%s\n", log);
        return false;
    }
    for (const FwBindingPoint& block : blocks) {
        const GLuint index = glGetUniformBlockIndex(program, block.name);
        if (index != GL_INVALID_INDEX) {
            glUniformBlockBinding(program, index, block.point);
        }
    }
    glUseProgram(program);
    for (const FwBindingPoint& sampler : samplers) {
        glUniform1i(glGetUniformLocation(program, sampler.name), static_cast<GLint>(sampler.point));
    }
    glUseProgram(0);
    return true;
}

}  // namespace

bool FwShaderProgram::Create(std::initializer_list<const char*> vertexFiles,
                             std::initializer_list<const char*> fragmentFiles,
                             std::initializer_list<FwBindingPoint> blocks,
                             std::initializer_list<FwBindingPoint> samplers, const std::string& prelude) {
    Release();
    FwGLObject linked = FwGLObject::Generate(FwGLKind::Program);
    if (!linked || !Build(linked.Name(), vertexFiles, fragmentFiles, blocks, samplers, prelude)) {
        return false;
    }
#ifdef __EMSCRIPTEN__
    // The file names and binding names are the program's own string constants.
    linked.KeepRecipe(
        [vertex = std::vector<const char*>(vertexFiles), fragment = std::vector<const char*>(fragmentFiles),
         blockPoints = std::vector<FwBindingPoint>(blocks), samplerPoints = std::vector<FwBindingPoint>(samplers),
         prelude](GLuint name) { Build(name, vertex, fragment, blockPoints, samplerPoints, prelude); });
#endif
    program = std::move(linked);
    return true;
}
