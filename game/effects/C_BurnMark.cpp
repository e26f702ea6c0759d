#include "game/effects/C_BurnMark.h"

#include <cmath>

namespace {

constexpr float kLift = 0.1f;

}  // namespace

C_BurnMark::C_BurnMark(const Vector3& normal, const Vector3& hitPoint) {
    texture.Load("data/texture/burnMarks.png");
    const Color white(1.0f, 1.0f, 1.0f, 1.0f);
    // The picture is turned a quarter on the quad.
    quad.Write({{
        {Vector3(-0.5f, 0.5f, 0.0f), Vector2(1.0f, 0.0f), white},
        {Vector3(0.5f, 0.5f, 0.0f), Vector2(1.0f, 1.0f), white},
        {Vector3(-0.5f, -0.5f, 0.0f), Vector2(0.0f, 0.0f), white},
        {Vector3(0.5f, -0.5f, 0.0f), Vector2(0.0f, 1.0f), white},
    }});
    const Matrix turnY = std::fabs(normal.x) == 1.0f ? Matrix::CreateRotationY(Math::kPi / 2.0f) : Matrix::Identity;
    const Matrix turnX = std::fabs(normal.y) == 1.0f ? Matrix::CreateRotationX(Math::kPi / 2.0f) : Matrix::Identity;
    world = turnX * turnY * Matrix::CreateTranslation(hitPoint + normal * kLift);
}

void C_BurnMark::Draw() const { quad.Draw(texture, world); }
