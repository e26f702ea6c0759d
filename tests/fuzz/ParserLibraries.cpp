// The image and glTF parsers, compiled from the headers of their Debian packages into the fuzz
// build so that they carry its coverage and sanitizer instrumentation: the shared libraries the
// ordinary build links would leave the fuzzers blind inside them.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define TINYGLTF_IMPLEMENTATION
#include <tiny_gltf.h>
