#pragma once

// The GL types that the graphics headers name, without GL's functions: a header that only holds
// GL objects (textures, buffers, layouts) stays free of <epoxy/gl.h>, which the .cpp files that
// call GL include. The types are GL's own: epoxy declares them the same way.
using GLenum = unsigned int;
using GLint = int;
using GLuint = unsigned int;
using GLbitfield = unsigned int;

// GL_TEXTURE_2D, the target of a texture until one is made (FwTexture.cpp checks it against GL's).
constexpr GLenum kFwTexture2D = 0x0DE1;
