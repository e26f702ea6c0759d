#include "game/effects/C_RightMuzzleFlash.h"

#include "game/player/C_Player.h"
#include "game/world/C_Game.h"

namespace {

constexpr float kMuzzleDistance = 5.0f;
constexpr float kGrowPerFrame = 0.1f;
constexpr float kMaxScale = 2.0f;
// The flame picture is the top-left 64 by 64 pixels of its texture.
constexpr float kFlamePixels = 64.0f;

}  // namespace

C_RightMuzzleFlash::C_RightMuzzleFlash(C_Game* game) : game(game) {
    texture.Load("Data/Texture/MuzzleFlash.png");
    const Vector2 uvMax = texture.Width() > 0 && texture.Height() > 0
                              ? Vector2(kFlamePixels / static_cast<float>(texture.Width()),
                                        kFlamePixels / static_cast<float>(texture.Height()))
                              : Vector2(0.0f, 0.0f);
    quad.WriteRect(0.5f, 0.5f, Vector2(0.0f, 0.0f), uvMax, Color(1.0f, 1.0f, 1.0f, 1.0f));
}

bool C_RightMuzzleFlash::Update() {
    armFrame = game->player->rightArmWorld;
    const Matrix muzzle = Matrix::CreateTranslation(0.0f, 0.0f, kMuzzleDistance) * armFrame;
    const float drawn = scale;
    scale = drawn + kGrowPerFrame;
    if (scale >= kMaxScale) {
        scale = kMaxScale;
        return false;
    }
    world = Matrix::CreateScale(drawn) * muzzle;
    return true;
}

void C_RightMuzzleFlash::Draw() const { quad.Draw(texture, world); }
