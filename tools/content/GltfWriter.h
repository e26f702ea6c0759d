#pragma once

// Writes a built mesh as a glTF 2.0 text file with one external .bin buffer and its pictures as
// PNG files beside it. The files are right-handed like every glTF: z is negated and the triangle
// order reversed, which the game's loader undoes, so the model comes out as designed.

#include <string>

class MeshBuilder;

// Writes <directory>/<name>.gltf and <name>.bin (and the textures); false after a message.
bool WriteGltf(const MeshBuilder& mesh, const std::string& directory, const std::string& name);
