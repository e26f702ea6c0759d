#include "game/effects/C_HPGauge.h"

#include "framework/graphics/FwShaderManager.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"

C_HPGauge::C_HPGauge(C_Game* game) : game(game) {
    barTexture.Load("data/texture/HPGauge02_green.png");
    frameTexture.Load("data/texture/HPGauge02_bg_03.png");
}

void C_HPGauge::Update() {
    const C_Player& player = *game->player;
    const float ratio = player.hitPoints / player.maxHitPoints;
    barTransform = Matrix::CreateScale(Vector3(ratio, 1.0f, 1.0f)) * Matrix::CreateTranslation(-524.0f, 298.0f, 0.0f);
}

void C_HPGauge::Draw() const {
    FwSpriteShader& sprites = FwShaderManager::GetInstance().spriteShader;
    const Color white(1.0f, 1.0f, 1.0f, 1.0f);
    sprites.cbSprite.Work().g_mTransform = barTransform;
    sprites.DrawTex(&barTexture, 0, 0, 248, 12, FwRect{0, 0, 248, 12}, white, barOrigin);
    sprites.cbSprite.Work().g_mTransform = frameTransform;
    sprites.DrawTex(&frameTexture, 0, 0, 256, 20, FwRect{0, 0, 256, 20}, white);
}
