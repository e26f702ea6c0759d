#include "game/effects/C_HitSpark.h"

namespace {

constexpr float kFadePerFrame = 0.035f;

}  // namespace

C_HitSpark::C_HitSpark(const Vector3& hitPoint) : translation(Matrix::CreateTranslation(hitPoint)) {
    texture.Load("Data/Texture/HitEffect.png");
}

bool C_HitSpark::Update() {
    facing = CameraFacing();
    world = facing * translation;
    alpha -= kFadePerFrame;
    if (alpha <= 0.0f) {
        alpha = 0.0f;
        return false;
    }
    quad.WriteRect(halfSize, halfSize, Vector2(0.0f, 0.0f), Vector2(1.0f, 1.0f), Color(1.0f, 1.0f, 1.0f, alpha));
    return true;
}

void C_HitSpark::Draw() const { quad.Draw(texture, world); }
