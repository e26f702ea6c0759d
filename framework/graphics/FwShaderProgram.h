#pragma once

// One linked GLSL program built from files of shaders/. GLSL 330 has no binding layouts, so the
// uniform blocks and samplers are given their binding points (bN, tN) after linking.

#include <initializer_list>
#include <string>

#include "framework/graphics/FwGLObject.h"

struct FwBindingPoint {
    const char* name;
    GLuint point;
};

class FwShaderProgram {
public:
    // Each stage is the concatenation of the named files after the version line and `prelude`
    // (e.g. #define lines that pick a variant).
    bool Create(std::initializer_list<const char*> vertexFiles, std::initializer_list<const char*> fragmentFiles,
                std::initializer_list<FwBindingPoint> blocks, std::initializer_list<FwBindingPoint> samplers,
                const std::string& prelude = {});
    void Release() { program.Reset(); }

    GLuint Program() const { return program.Name(); }

private:
    FwGLObject program;
};
