#pragma once

#include <array>
#include <cstdint>

#include "framework/graphics/FwBuffer.h"
#include "framework/graphics/FwVertexTypes.h"
#include "framework/math/SimpleMath.h"

class FwTexture;

// One textured quad of the effect program: four vertices in a dynamic vertex buffer of its own,
// drawn as a triangle strip in the order top-left, top-right, bottom-left, bottom-right.
class C_EffectQuad {
public:
    C_EffectQuad();

    void Write(const std::array<FwEffectVertex, 4>& vertices);
    // The rectangle from (-halfX, -halfY) to (halfX, halfY) at z 0; `uvTopLeft` and `uvBottomRight`
    // are the texture coordinates of those corners.
    void WriteRect(float halfX, float halfY, const Vector2& uvTopLeft, const Vector2& uvBottomRight,
                   const Color& color);
    void Draw(const FwTexture& texture, const Matrix& world) const;

private:
    FwBuffer buffer;
};

// Draws `vertexCount` effect vertices of `buffer` as one triangle strip placed by `world`.
void DrawEffectStrip(const FwBuffer& buffer, uint32_t vertexCount, const FwTexture& texture, const Matrix& world);

// The camera's rotation: the view matrix without its translation, inverted. A quad placed with it
// faces the camera.
Matrix CameraFacing();

// Texture coordinates of cell `index` of a sprite sheet of 32 by 32 pixel cells, eight to a row.
void AtlasCell(const FwTexture& texture, int index, Vector2& topLeft, Vector2& bottomRight);
