#include "game/effects/C_GameOver.h"

#include <algorithm>

#include "framework/graphics/FwShaderManager.h"
#include "game/world/C_ClickToTitle.h"

C_GameOver::C_GameOver() { texture.Load("data/texture/cooltext370137486432058.png"); }

void C_GameOver::Update() {
    C_ClickToTitle();
    alpha = std::min(alpha + 0.01f, 1.0f);
    transform = Matrix::CreateTranslation(0.0f, 180.0f, 0.0f);
}

void C_GameOver::Draw() const {
    FwSpriteShader& sprites = FwShaderManager::GetInstance().spriteShader;
    sprites.cbSprite.Work().g_mTransform = transform;
    sprites.DrawTex(&texture, 0, 0, 477, 99, FwRect{0, 0, 477, 99}, Color(1.0f, 1.0f, 1.0f, alpha));
}
