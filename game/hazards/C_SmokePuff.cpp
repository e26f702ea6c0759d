#include "game/hazards/C_SmokePuff.h"

#include <algorithm>

namespace {

constexpr float kRisePerFrame = 0.05f;
constexpr float kGrowPerFrame = 0.1f;
constexpr float kMaxHalfSize = 5.0f;
constexpr float kFadePerFrame = 0.01f;
// Puffs keep rising, invisible, until they reach this absolute height.
constexpr float kTopHeight = 30.0f;

}  // namespace

C_SmokePuff::C_SmokePuff(const Vector3& breakerPosition)
    : base(Matrix::CreateTranslation(1.0f, 0.0f, 0.0f) * Matrix::CreateTranslation(breakerPosition)) {
    texture.Load("data/texture/Smoke.png");
}

bool C_SmokePuff::Update() {
    const Matrix lift = Matrix::CreateTranslation(0.0f, rise, 0.0f);
    rise += kRisePerFrame;
    halfSize = std::min(halfSize + kGrowPerFrame, kMaxHalfSize);
    alpha = std::max(alpha - kFadePerFrame, 0.0f);
    world = CameraFacing() * lift * base;
    if (world.Translation().y >= kTopHeight) {
        return false;
    }
    Vector2 topLeft;
    Vector2 bottomRight;
    AtlasCell(texture, atlasCell, topLeft, bottomRight);
    quad.WriteRect(halfSize, halfSize, topLeft, bottomRight, Color(1.0f, 1.0f, 1.0f, alpha));
    return true;
}

void C_SmokePuff::Draw() const { quad.Draw(texture, world); }
