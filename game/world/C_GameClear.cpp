#include "game/world/C_GameClear.h"

#include <algorithm>

#include "framework/graphics/FwShaderManager.h"
#include "game/world/C_ClickToTitle.h"
#include "game/world/C_Elevator.h"
#include "game/world/C_Game.h"

C_GameClear::C_GameClear(C_Game* game) : game(game) { texture.Load("data/texture/cooltext366966352938747.png"); }

void C_GameClear::Update() {
    alpha = std::min(alpha + 0.01f, 1.0f);
    if (game->elevator->DoorsClosed()) {
        C_ClickToTitle();
    }
}

void C_GameClear::Draw() const {
    FwSpriteShader& sprites = FwShaderManager::GetInstance().spriteShader;
    sprites.cbSprite.Work().g_mTransform = world;
    sprites.DrawTex(&texture, 0, 0, 662, 147, FwRect{0, 0, 662, 147}, Color(1.0f, 1.0f, 1.0f, alpha));
}
