#include "game/world/C_Stage.h"

#include <algorithm>

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

}  // namespace

C_Stage::C_Stage(C_Game* game) : game(game) {
    model.Load("Data/Stage/Stage.gltf");
    reflectionInstance = Load3DSound("data/sound/reflection.wav", 1.0f, reflectionSound);
    for (const FwModelNode& node : model.Nodes()) {
        if (!node.Mesh) {
            continue;
        }
        const Matrix placement = node.Transform * world;
        for (const Vector3& corner : node.Mesh->Positions()) {
            const Vector3 p = Vector3::Transform(corner, placement);
            boundsMin = Vector3(std::min(boundsMin.x, p.x), std::min(boundsMin.y, p.y), std::min(boundsMin.z, p.z));
            boundsMax = Vector3(std::max(boundsMax.x, p.x), std::max(boundsMax.y, p.y), std::max(boundsMax.z, p.z));
        }
    }
}

bool C_Stage::Contains(const Vector3& point) const {
    return point.x >= boundsMin.x && point.x <= boundsMax.x && point.y >= boundsMin.y && point.y <= boundsMax.y &&
           point.z >= boundsMin.z && point.z <= boundsMax.z;
}

void C_Stage::Draw() const {
    FwShaderManager::GetInstance().standardShader.world = world;
    DrawModel(model);
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
