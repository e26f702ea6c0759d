#include "game/hazards/C_Drum.h"

#include <nlohmann/json.hpp>

#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwCollision.h"
#include "framework/model/FwDrawModel.h"
#include "game/world/Snapshot.h"

namespace {

constexpr float kReflectReach = 2.0f;

}  // namespace

C_Drum::C_Drum(const Vector3& position) : world(Matrix::CreateTranslation(position)) {
    model.Load("Data/Drum/Drum.gltf");
}

void C_Drum::Draw() const {
    FwShaderManager::GetInstance().standardShader.world = world;
    DrawModel(model);
}

bool C_Drum::ReflectTest(const Vector3& origin, const Vector3& direction, Vector3& hitPoint, Vector3& reflected) const {
    float distance = 0.0f;
    Vector3 normal;
    if (!FwRayToModelWithin(model, world, origin, direction, kReflectReach, distance, normal)) {
        return false;
    }
    hitPoint = origin + direction * distance;
    reflected = direction + normal * (2.0f * (-direction).Dot(normal));
    return true;
}

void C_Drum::Snapshot(nlohmann::json& out) const { out = {{"position", ToJson(Position())}}; }
