#include "game/hazards/C_Explosion.h"

namespace {

constexpr int kLastCell = 63;

}  // namespace

C_Explosion::C_Explosion(const Vector3& position, const Vector2& halfSize)
    : placement(Matrix::CreateTranslation(position)), halfSize(halfSize) {
    texture.Load("data/texture/Smoke.png");
}

bool C_Explosion::Update() {
    world = CameraFacing() * placement;
    ++frameCounter;
    if (frameCounter > kLastCell) {
        return false;
    }
    Vector2 topLeft;
    Vector2 bottomRight;
    AtlasCell(texture, frameCounter, topLeft, bottomRight);
    quad.WriteRect(halfSize.x, halfSize.y, topLeft, bottomRight, Color(1.0f, 1.0f, 1.0f, 1.0f));
    return true;
}

void C_Explosion::Draw() const { quad.Draw(texture, world); }
