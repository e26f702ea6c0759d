#include "game/player/C_WeaponItem.h"

#include <algorithm>
#include <cmath>

#include <nlohmann/json.hpp>

#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwDrawModel.h"
#include "game/world/Snapshot.h"

namespace {

constexpr float kFadePerFrame = 0.1f;
constexpr float kBobHeight = -4.0f;

}  // namespace

C_WeaponItem::C_WeaponItem() { model.Load("Data/Player/Rightarm/armright.gltf"); }

void C_WeaponItem::Update() {
    if (taken) {
        alpha = std::max(alpha - kFadePerFrame, 0.0f);
    }
    Vector3 position = world.Translation();
    position.y = Math::Sin(bobAngle * Math::kDegToRad) + kBobHeight;
    world.SetTranslation(position);
    bobAngle += 1.0f;
}

void C_WeaponItem::Draw() const {
    FwShaderManager::GetInstance().standardShader.world = world;
    DrawModel(model, alpha);
}

void C_WeaponItem::Snapshot(nlohmann::json& out) const {
    out = {{"taken", taken}, {"alpha", alpha}, {"position", ToJson(Position())}};
}
