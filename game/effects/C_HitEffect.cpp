#include "game/effects/C_HitEffect.h"

#include "framework/math/FwRandom.h"

namespace {

constexpr float kSpeed = 0.1f;
constexpr float kFadePerFrame = 0.05f;

float RandomAngle() { return static_cast<float>(FwRand() % 360) * Math::kDegToRad; }

}  // namespace

C_HitEffect::C_HitEffect(const Vector3& hitPoint, const Vector3& normal) {
    texture.Load("Data/Texture/096a53cb.jpg");
    for (int i = 0; i < kSparks; ++i) {
        sparkPositions[i] = hitPoint;
        const float a = RandomAngle();
        const float b = RandomAngle();
        sparkDirections[i] = Vector3::TransformNormal(normal, Matrix::CreateRotationX(a) * Matrix::CreateRotationY(b));
    }
}

bool C_HitEffect::Update() {
    for (int i = 0; i < kSparks; ++i) {
        sparkPositions[i] += sparkDirections[i] * kSpeed;
        sparkTranslations[i] = Matrix::CreateTranslation(sparkPositions[i]);
        sparkWorlds[i] = Matrix::CreateRotationX(Math::kPi) * sparkTranslations[i];
    }
    if (alpha <= 0.0f) {
        alpha = 0.0f;
        return false;
    }
    alpha -= kFadePerFrame;
    for (C_EffectQuad& quad : quads) {
        quad.WriteRect(0.5f, 0.5f, Vector2(0.0f, 0.0f), Vector2(1.0f, 1.0f), Color(1.0f, 1.0f, 1.0f, alpha));
    }
    return true;
}

void C_HitEffect::Draw() const {
    for (int i = 0; i < kSparks; ++i) {
        quads[i].Draw(texture, sparkWorlds[i]);
    }
}
