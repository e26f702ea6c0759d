#include "framework/graphics/FwInputLayout.h"

#include <algorithm>
#include <cstdio>

#include "framework/graphics/FwGL.h"
#include "framework/graphics/FwShaderProgram.h"

namespace {

struct AttributeFormat {
    GLint components;
    GLenum type;
    GLboolean normalized;
};

AttributeFormat FormatOf(FwVertexFormat format) {
    switch (format) {
    case FwVertexFormat::R32G32B32_FLOAT:
        return {3, GL_FLOAT, GL_FALSE};
    case FwVertexFormat::R32G32_FLOAT:
        return {2, GL_FLOAT, GL_FALSE};
    case FwVertexFormat::R8G8B8A8_UNORM:
        return {4, GL_UNSIGNED_BYTE, GL_TRUE};
    case FwVertexFormat::R32G32B32A32_FLOAT:
        break;
    }
    return {4, GL_FLOAT, GL_FALSE};
}

void EnableAttributes(GLuint vertexArray, std::span<const FwInputElement> elements) {
    glBindVertexArray(vertexArray);
    for (const FwInputElement& element : elements) {
        glEnableVertexAttribArray(static_cast<GLuint>(element.semantic));
    }
    glBindVertexArray(0);
}

}  // namespace

bool FwInputLayout::Create(std::span<const FwInputElement> layoutElements, const FwShaderProgram& program) {
    Release();
    const GLuint programName = program.Program();
    if (programName == 0) {
        return false;
    }
    GLint attributeCount = 0;
    glGetProgramiv(programName, GL_ACTIVE_ATTRIBUTES, &attributeCount);
    for (GLint i = 0; i < attributeCount; ++i) {
        char name[64] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(programName, static_cast<GLuint>(i), sizeof(name), nullptr, &size, &type, name);
        const GLint location = glGetAttribLocation(programName, name);
        const bool provided = std::any_of(layoutElements.begin(), layoutElements.end(), [&](const FwInputElement& e) {
            return static_cast<GLint>(e.semantic) == location;
        });
        if (location >= 0 && !provided) {
            std::fprintf(stderr, "input layout lacks the vertex attribute %s\n", name);
            return false;
        }
    }
    vertexArray = FwGLObject::Generate(FwGLKind::VertexArray);
    if (!vertexArray) {
        return false;
    }
    elements.assign(layoutElements.begin(), layoutElements.end());
    EnableAttributes(vertexArray.Name(), elements);
#ifdef __EMSCRIPTEN__
    vertexArray.KeepRecipe([kept = elements](GLuint name) { EnableAttributes(name, kept); });
#endif
    return true;
}

void FwInputLayout::Release() {
    vertexArray.Reset();
    elements.clear();
}

void FwInputLayout::PointAttributes(GLuint buffer, uint32_t stride, uint32_t offset) const {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    for (const FwInputElement& element : elements) {
        const AttributeFormat format = FormatOf(element.format);
        const auto pointer = static_cast<uintptr_t>(offset) + element.offset;
        glVertexAttribPointer(static_cast<GLuint>(element.semantic), format.components, format.type, format.normalized,
                              static_cast<GLsizei>(stride), reinterpret_cast<const void*>(pointer));
    }
}
