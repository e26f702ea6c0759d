#include "game/enemy/C_Enemy.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwCollision.h"
#include "framework/model/FwDrawModel.h"
#include "game/enemy/C_WalkAroundState.h"
#include "game/hazards/C_Drum.h"
#include "game/hazards/C_InstallationStand.h"
#include "game/world/C_Game.h"
#include "game/world/C_Stage.h"
#include "game/world/Snapshot.h"

namespace {

constexpr float kWallDistance = 2.0f;
constexpr float kEyeFadePerFrame = 0.1f;

void AddXZ(Vector3& position, const Vector3& push) {
    position.x += push.x;
    position.z += push.z;
}

}  // namespace

C_Enemy::C_Enemy(C_Game* game, const Vector3& position)
    : game(game), state(std::make_unique<C_WalkAroundState>()), world(Matrix::CreateTranslation(position)) {
    bodyModel.Load("Data/Enemy/Enemy.gltf");
    treadModel.Load("Data/Enemy/caterpillar.gltf");
    chestModel.Load("Data/Enemy/Chest.gltf");
    headModel.Load("Data/Enemy/head.gltf");
    eyeModel.Load("Data/Enemy/eye.gltf");
    eyeLightModel.Load("Data/Enemy/eyeLight.gltf");
    const FwDirect3D& d3d = FwDirect3D::GetInstance();
    noCullState = d3d.CreateRasterizerState(FwCullMode::None, FwFillMode::Solid, true, false);
    backCullState = d3d.CreateRasterizerState(FwCullMode::Back, FwFillMode::Solid, true, false);
    frontCullState = d3d.CreateRasterizerState(FwCullMode::Front, FwFillMode::Solid, true, false);
}

C_Enemy::~C_Enemy() = default;

bool C_Enemy::Update(C_EnemyBulletList& enemyBullets, C_ExplosionList& explosions) {
    if (std::unique_ptr<State> next = state->Update(*game, *this, enemyBullets, explosions)) {
        state = std::move(next);
    }
    KeepClear();
    PlaceParts();
    if (hitPoints <= 0.0f) {
        eyeAlpha = std::max(eyeAlpha - kEyeFadePerFrame, 0.0f);
    }
    return deathTimer > 0.0f;
}

// Drums, then walls, then raised curtains; each sees the position the one before corrected.
void C_Enemy::KeepClear() {
    Vector3 position = Position();
    for (const auto& drum : game->drums) {
        PushOutXZ(position, drum->Position(), radius + drum->Radius());
    }
    const Vector3 forward = world.Facing();
    const C_Stage& stage = *game->stage;
    Vector3 contact;
    Vector3 push;
    if (FwWallPushOut(stage.Model(), stage.World(), position, forward, kWallDistance, contact, push)) {
        AddXZ(position, push);
    }
    for (const auto& stand : game->stands) {
        if (stand->BarrierUp() && stand->BarrierTest(position, forward, push)) {
            AddXZ(position, push);
        }
    }
    world.SetTranslation(position);
}

// The eye follows the head world of the update before; a knocked-down robot's state places its
// head and chest.
void C_Enemy::PlaceParts() {
    treadWorld = treadLocal * world;
    eyeLightWorld = eyeLightLocal * headWorld;
    eyeWorld = eyeLocal * headWorld;
    if (hitPoints > 0.0f) {
        headWorld = headLocal * world;
        chestWorld = chestLocal * world;
    }
}

void C_Enemy::Hit() {
    hitPoints = std::max(hitPoints - 1.0f, 0.0f);
    shotByPlayer = true;
}

void C_Enemy::Draw() const {
    FwStandardShader& shader = FwShaderManager::GetInstance().standardShader;
    shader.world = world;
    DrawModel(bodyModel);
    shader.world = headWorld;
    DrawModel(headModel);
    shader.world = chestWorld;
    DrawModel(chestModel);
    shader.world = eyeWorld;
    DrawModel(eyeModel, eyeAlpha);
    shader.cbObject.Work().g_UVOffset = treadTextureOffset;
    shader.world = treadWorld;
    DrawModel(treadModel);
    shader.cbObject.Work().g_UVOffset = Vector2(0.0f, 0.0f);
}

void C_Enemy::DrawEyeLight() const {
    if (!eyeLightOn) {
        return;
    }
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    FwShaderManager::GetInstance().standardShader.world = eyeLightWorld;
    context.SetRasterizerState(backCullState);
    DrawModel(eyeLightModel, eyeAlpha);
    context.SetRasterizerState(noCullState);
    context.SetRasterizerState(frontCullState);
    DrawModel(eyeLightModel, eyeAlpha);
    context.SetRasterizerState(noCullState);
}

void C_Enemy::Snapshot(nlohmann::json& out) const {
    out = {{"position", ToJson(Position())}, {"yaw", YawOf(world.Facing())},   {"hitPoints", hitPoints},
           {"state", state->Name()},         {"eyeLight", eyeLightOn},         {"eyeAlpha", eyeAlpha},
           {"deathTimer", deathTimer},       {"knockdownTilt", knockdownTilt}, {"fireRequest", fireRequest},
           {"shotByPlayer", shotByPlayer}};
}
