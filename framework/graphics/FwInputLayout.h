#pragma once

// Which vertex attributes a program reads and where they lie in a vertex: a vertex array object
// whose attribute pointers the context points at the bound vertex buffer before a draw.

#include <cstdint>
#include <span>
#include <vector>

#include "framework/graphics/FwGLObject.h"

class FwShaderProgram;

// The values are the attribute locations the shaders declare.
enum class FwSemantic : GLuint { Position = 0, TexCoord = 1, Normal = 2, Color = 3 };
enum class FwVertexFormat { R32G32B32_FLOAT, R32G32_FLOAT, R8G8B8A8_UNORM, R32G32B32A32_FLOAT };

struct FwInputElement {
    FwSemantic semantic;
    FwVertexFormat format;
    uint32_t offset;
};

class FwInputLayout {
public:
    // Fails when the program reads an attribute that the elements do not provide.
    bool Create(std::span<const FwInputElement> layoutElements, const FwShaderProgram& program);
    void Release();

    GLuint VertexArray() const { return vertexArray.Name(); }
    uint64_t Serial() const { return vertexArray.Serial(); }
    // Points the attributes at a buffer; the vertex array must be bound.
    void PointAttributes(GLuint buffer, uint32_t stride, uint32_t offset) const;

private:
    FwGLObject vertexArray;
    std::vector<FwInputElement> elements;
};
