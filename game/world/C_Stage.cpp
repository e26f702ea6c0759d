#include "game/world/C_Stage.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "framework/audio/FwAudioManager.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwCollision.h"
#include "framework/model/FwDrawModel.h"
#include "framework/model/FwMesh.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"

namespace {

// Walls farther away than this are not touched yet.
constexpr float kHitRange = 2.0f;

// The box that `placement` makes of the cube from -1 to 1.
FwAreaVisibility::Box PlacedBox(const Matrix& placement) {
    FwAreaVisibility::Box box;
    for (int i = 0; i < 8; ++i) {
        box.Grow(Vector3::Transform(Vector3((i & 1) ? 1 : -1, (i & 2) ? 1 : -1, (i & 4) ? 1 : -1), placement));
    }
    return box;
}

}  // namespace

C_Stage::C_Stage(C_Game* game) : game(game) {
    model.Load("Data/Stage/Stage.gltf");
    reflectionInstance = Load3DSound("data/sound/reflection.wav", 1.0f, reflectionSound);
    std::vector<FwAreaVisibility::Box> rooms;
    for (const FwModelNode& node : model.Nodes()) {
        if (!node.Mesh) {
            if (node.Name == "Area") {
                rooms.push_back(PlacedBox(node.Transform * world));
            }
            continue;
        }
        const Matrix placement = node.Transform * world;
        for (const Vector3& corner : node.Mesh->Positions()) {
            bounds.Grow(Vector3::Transform(corner, placement));
        }
    }
    areas.SetAreas(rooms);
}

bool C_Stage::Contains(const Vector3& point) const {
    return bounds.Contains(point);
}

void C_Stage::Draw() {
    const ::cbCamera& camera = FwShaderManager::GetInstance().cbCamera.Get();
    areas.Update(camera.g_CamPos, camera.g_mV * camera.g_mP);
    FwShaderManager::GetInstance().standardShader.world = world;
    DrawModel(model);
}

void C_Stage::Snapshot(nlohmann::json& out) const {
    out = {{"areas", areas.AreaCount()}, {"areasInSight", areas.AreasInSight()}};
}

bool C_Stage::HitTest(const Vector3& origin, const Vector3& direction, float& distance, Vector3& hitPoint,
                      Vector3& normal) const {
    if (!RayToModel(model, world, origin, direction, distance, normal)) {
        return false;
    }
    hitPoint = origin + direction * distance;
    return distance <= kHitRange;
}

bool C_Stage::ReflectTest(const Vector3& origin, const Vector3& direction, float& distance, Vector3& normal,
                          Vector3& hitPoint, Vector3& reflected) {
    if (!HitTest(origin, direction, distance, hitPoint, normal)) {
        return false;
    }
    if (reflectionInstance) {
        reflectionInstance->Play3D(hitPoint, false, true);
        // The listener may not have moved yet this frame: hear the bounce from where the robot is.
        game->SetListener(game->player->position);
        reflectionInstance->SetPos(hitPoint);
    }
    reflected = direction - normal * (2.0f * direction.Dot(normal));
    return true;
}
