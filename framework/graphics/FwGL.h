#pragma once

// GL's functions: OpenGL 3.3 core through epoxy on the desktop; in a browser WebGL 2, which is
// OpenGL ES 3.0.
#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>

#include <GLES2/gl2ext.h>  // after gl3.h, whose types it uses
#else
#include <epoxy/gl.h>
#endif
