#include "game/player/C_PlayerCollision.h"

#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwDrawModel.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"

C_PlayerCollision::C_PlayerCollision(C_Game* game) : game(game) {
    model.Load("Data/CollisionModel/PlayerCollision.gltf");
}

void C_PlayerCollision::Update() { world = game->player->chestWorld; }

void C_PlayerCollision::Draw() const {
    FwShaderManager::GetInstance().standardShader.world = world;
    // Alpha 0: every pixel fails the alpha test, so it is drawn but never seen.
    DrawModel(model, 0.0f);
}
