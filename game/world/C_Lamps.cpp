#include "game/world/C_Lamps.h"

#include <nlohmann/json.hpp>

#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwDrawModel.h"
#include "game/world/C_Elevator.h"
#include "game/world/C_Game.h"

namespace {

constexpr float kFramesPerStep = 120.0f;

}  // namespace

C_Lamps::C_Lamps(C_Game* game) : game(game) {
    lampModel.Load("Data/Lamp/Lamp.gltf");
    for (int i = 0; i < kLampCount; ++i) {
        lampWorlds[i] = Matrix::CreateTranslation(-226.5f, 11.0f, 3.55f - 2.5f * static_cast<float>(i));
    }
    litLampModel.Load("Data/Lamp/OrangeLamp.gltf");
}

void C_Lamps::Update() {
    if (!game->elevator->DoorsClosed()) {
        return;
    }
    countdown -= 1.0f;
    if (countdown <= 0.0f) {
        if (litIndex > 0) {
            --litIndex;
        }
        countdown = kFramesPerStep;
    }
}

void C_Lamps::Draw() const {
    FwStandardShader& shader = FwShaderManager::GetInstance().standardShader;
    for (int i = 0; i < kLampCount; ++i) {
        shader.world = lampWorlds[i];
        DrawModel(i == litIndex ? litLampModel : lampModel);
    }
}

void C_Lamps::Snapshot(nlohmann::json& out) const { out = {{"litIndex", litIndex}, {"countdown", countdown}}; }
