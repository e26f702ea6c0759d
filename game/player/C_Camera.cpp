#include "game/player/C_Camera.h"

#include <nlohmann/json.hpp>

#include "framework/model/FwCollision.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "game/world/C_Stage.h"
#include "game/world/Snapshot.h"

namespace {

const Vector3 kShoulderPivot(6.0f, 2.0f, 0.0f);
constexpr float kBackDistance = 13.0f;
// Where a wall is in the way, stop short of it by this share of the distance.
constexpr float kWallMargin = 0.8f;

}  // namespace

C_Camera::C_Camera(C_Game* game) : game(game) {}

Matrix C_Camera::AimRotation() const {
    const C_Player& player = *game->player;
    return Matrix::CreateRotationX(player.pitch * Math::kDegToRad) *
           Matrix::CreateRotationY(player.yaw * Math::kDegToRad);
}

Vector3 C_Camera::Forward() const { return AimRotation().Facing(); }

void C_Camera::Update() {
    const Matrix rotation = AimRotation();
    const Matrix& chest = game->player->chestWorld;
    const C_Stage& stage = *game->stage;

    Vector3 pivot = Vector3::Transform(kShoulderPivot, chest);
    const Vector3 chestPosition = chest.Translation();
    float hit = 0.0f;
    Vector3 normal;
    if (RayToModel(stage.Model(), stage.World(), chestPosition, (pivot - chestPosition).Normalized(), hit, normal) &&
        hit < Vector3::Distance(chestPosition, pivot)) {
        pivot = Vector3::Transform(Vector3(kWallMargin * hit, 2.0f, 0.0f), chest);
    }

    position = pivot + Vector3::TransformNormal(Vector3(0.0f, 0.0f, -kBackDistance), rotation);
    up = Vector3(0.0f, 1.0f, 0.0f);
    target = pivot;

    if (RayToModel(stage.Model(), stage.World(), pivot, (position - pivot).Normalized(), hit, normal) &&
        hit <= Vector3::Distance(pivot, position)) {
        position = pivot + Vector3::TransformNormal(Vector3(0.0f, 0.0f, -kWallMargin * hit), rotation);
    }
}

void C_Camera::Snapshot(nlohmann::json& out) const {
    out = {{"position", ToJson(position)}, {"target", ToJson(target)}};
}
