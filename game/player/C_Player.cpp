#include "game/player/C_Player.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include <nlohmann/json.hpp>

#include "framework/audio/FwSoundCache.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwCollision.h"
#include "framework/model/FwDrawModel.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwSettings.h"
#include "game/effects/C_GunMuzzleFlash.h"
#include "game/effects/C_RightMuzzleFlash.h"
#include "game/enemy/C_Enemy.h"
#include "game/hazards/C_Breaker.h"
#include "game/hazards/C_Drum.h"
#include "game/hazards/C_InstallationStand.h"
#include "game/player/C_BeamShot.h"
#include "game/player/C_Camera.h"
#include "game/player/C_PlayerBullet.h"
#include "game/player/C_WeaponItem.h"
#include "game/world/C_Game.h"
#include "game/world/C_Stage.h"
#include "game/world/Snapshot.h"

namespace {

constexpr float kWalkSpeed = 0.5f;
constexpr float kTreadTurnPerFrame = 15.0f;
constexpr float kTreadScrollPerFrame = 0.01f;
constexpr float kDegreesPerPixel = 0.25f;
// 1 looks down when the mouse moves down; inverted, -1 looks up.
int VerticalLookFactor() { return FwGetSettings().invertY ? -1 : 1; }
constexpr float kMinPitch = -30.0f;
constexpr float kMaxPitch = 75.0f;
// The foot point stays this far from a wall's plane.
constexpr float kWallDistance = 2.0f;
constexpr float kSlumpPerFrame = 0.1f;
constexpr float kMaxDeathTilt = 35.0f;
// A hit is a short knock on the gamepad; the beam a longer, stronger shove.
constexpr float kHitRumbleStrength = 0.6f;
constexpr uint32_t kHitRumbleMilliseconds = 150;
constexpr float kBeamRumbleStrength = 1.0f;
constexpr uint32_t kBeamRumbleMilliseconds = 500;
constexpr float kMaxHeadTilt = 25.0f;
constexpr float kEndingStopDistance = 0.5f;
constexpr float kFacingCameraAngle = 15.0f;
constexpr float kEndingTurnPerFrame = 1.0f;
// Either weapon fires at most once every kFireInterval frames.
constexpr int32_t kFireInterval = 20;
// The muzzles lie this far along each arm's z axis.
constexpr float kMuzzleDistance = 4.5f;

Matrix RotationX(float degrees) { return Matrix::CreateRotationX(degrees * Math::kDegToRad); }

Matrix RotationY(float degrees) { return Matrix::CreateRotationY(degrees * Math::kDegToRad); }

// Angle between two unit vectors, in degrees.
float AngleBetween(const Vector3& a, const Vector3& b) {
    return Math::Acos(std::clamp(a.Dot(b), -1.0f, 1.0f)) / Math::kDegToRad;
}

}  // namespace

C_Player::C_Player(C_Game* game) : game(game) {
    FwSoundCache& sounds = FwSoundCache::GetInstance();
    rightShotSound = sounds.GetSound("data/sound/tama1.wav");
    leftShotSound = sounds.GetSound("data/sound/shot1.wav");
    treadSoundEffect = sounds.GetSound("data/sound/caterpillar.wav");
    pickUpSound = sounds.GetSound("data/sound/item.wav");
    treadSound = treadSoundEffect->CreateInstance(true);
    if (treadSound) {
        treadSound->SetCurveDistanceScaler(0.4f);
    }
    chestModel.Load("Data/Player/Chest/chest.gltf");
    headModel.Load("Data/Player/Head/head.gltf");
    leftArmModel.Load("Data/Player/LeftArm/armleft.gltf");
    handArmModel.Load("Data/Player/Rightarm/HandArmright.gltf");
    gunArmModel.Load("Data/Player/Rightarm/armright.gltf");
    spineModel.Load("Data/Player/Spine/spine.gltf");
    legModel.Load("Data/Player/Leg/leg.gltf");
    FwInput::GetInstance().ReturnCursorHome();
}

void C_Player::Update() {
    Pose();
    if (game->ending) {
        EndingWalk();
    }
    if (!FwInput::GetInstance().IsWindowActive() || game->ending || !alive) {
        return;
    }
    LeftArmFire();
    if (hasGunArm) {
        RightArmFire();
    }
    fireCoolDown = std::max(fireCoolDown - 1, 0);
    ReadInput();
    Look();
    if (moving) {
        // The tread sound restarts every moving frame, so only its first few milliseconds are
        // heard while the robot drives; the tail plays out when it stops.
        if (treadSound) {
            treadSound->Play3D(legWorld.Translation(), false, true);
        }
        // Opposite keys cancel: nothing more happens this frame.
        if (moveDirection == Vector3::Zero) {
            return;
        }
        const Vector3 direction = moveDirection.Normalized();
        TurnLegsToward(direction);
        position += direction * kWalkSpeed;
        treadScroll.x -= kTreadScrollPerFrame;
        PushOutOfWalls(direction);
        PushOutOfBarriers(direction);
    }
    PickUp();
    for (const auto& enemy : game->enemies) {
        PushOutXZ(position, enemy->Position(), enemy->radius + radius);
    }
    for (const auto& drum : game->drums) {
        PushOutXZ(position, drum->Position(), drum->Radius() + radius);
    }
    if (treadSound) {
        treadSound->SetPos(legWorld.Translation());
    }
}

// The matrices are built before the robot moves, so a frame shows the pose of the position before.
void C_Player::Pose() {
    legWorld = RotationY(legYaw) * Matrix::CreateTranslation(position);
    leftArmPitch = RotationX(pitch);
    rightArmPitch = leftArmPitch;
    if (!alive) {
        deathTilt = std::min(deathTilt + kSlumpPerFrame, kMaxDeathTilt);
        headTiltAngle = std::min(headTiltAngle + kSlumpPerFrame, kMaxHeadTilt);
        leftArmPitch = RotationX(deathTilt);
        rightArmPitch = leftArmPitch;
        headTilt = RotationX(headTiltAngle);
    }
    upperYaw = RotationY(yaw);
    positionMatrix = Matrix::CreateTranslation(legWorld.Translation());
    headWorld = headTilt * headOffset * upperYaw * positionMatrix;
    spineWorld = spineOffset * upperYaw * positionMatrix;
    chestWorld = chestOffset * upperYaw * positionMatrix;
    leftArmWorld = leftArmPitch * leftArmOffset * upperYaw * positionMatrix;
    rightArmWorld = rightArmPitch * rightArmOffset * upperYaw * positionMatrix;
}

// Walks to the back of the cabin, then turns the upper body toward the camera.
void C_Player::EndingWalk() {
    const Vector3 toTarget = endingTarget - position;
    if (toTarget.Length() > kEndingStopDistance) {
        position += toTarget.Normalized() * kWalkSpeed;
    }
    const Vector3 toCamera = (game->camera->position - position).Normalized();
    const Vector3 facing = chestWorld.Facing().Normalized();
    float angle = AngleBetween(facing, toCamera);
    if (angle < kFacingCameraAngle) {
        arrived = true;
        return;
    }
    if (facing.Cross(toCamera).Normalized().y < 0.0f) {
        angle = -angle;
    }
    yaw += std::clamp(angle, -kEndingTurnPerFrame, kEndingTurnPerFrame);
}

// W, S, A and D each add a unit step in the aim's frame; opposite keys cancel.
void C_Player::ReadInput() {
    const FwInput& input = FwInput::GetInstance();
    const float radians = yaw * Math::kDegToRad;
    const Vector3 forward(Math::Sin(radians), 0.0f, Math::Cos(radians));
    const Vector3 right(Math::Cos(radians), 0.0f, -Math::Sin(radians));
    moveDirection = Vector3::Zero;
    moving = false;
    const struct {
        FwKey key;
        Vector3 step;
    } keys[] = {{FwKey::W, forward}, {FwKey::S, -forward}, {FwKey::A, -right}, {FwKey::D, right}};
    for (const auto& entry : keys) {
        if (input.IsKeyDown(entry.key)) {
            moveDirection += entry.step;
            moving = true;
        }
    }
}

// At sensitivity 1 one pixel of mouse movement is a quarter degree; the cursor goes back home
// every frame.
void C_Player::Look() {
    FwInput& input = FwInput::GetInstance();
    int dx = 0;
    int dy = 0;
    input.GetCursorOffset(dx, dy);
    const float degreesPerPixel = kDegreesPerPixel * FwGetSettings().mouseSensitivity;
    yaw += static_cast<float>(dx) * degreesPerPixel;
    pitch += static_cast<float>(dy) * degreesPerPixel * static_cast<float>(VerticalLookFactor());
    pitch = std::clamp(pitch, kMinPitch, kMaxPitch);
    input.ReturnCursorHome();
}

// The treads swing toward the walking direction by at most 15 degrees a frame; walking straight
// back they swing the negative way.
void C_Player::TurnLegsToward(const Vector3& direction) {
    const float radians = legYaw * Math::kDegToRad;
    legForward = Vector3(Math::Sin(radians), 0.0f, Math::Cos(radians)).Normalized();
    const float turn = std::min(AngleBetween(legForward, direction), kTreadTurnPerFrame);
    if (legForward.Cross(direction).Normalized().y > 0.9f) {
        legYaw += turn;
    } else {
        legYaw -= turn;
    }
}

// Keeps the foot point kWallDistance from the plane of the wall ahead, measured along its normal.
void C_Player::PushOutOfWalls(const Vector3& direction) {
    const C_Stage& stage = *game->stage;
    Vector3 contact;
    Vector3 push;
    if (FwWallPushOut(stage.Model(), stage.World(), position, direction, kWallDistance, contact, push)) {
        position += push;
    }
}

// A raised curtain holds the robot 3 units from its plane.
void C_Player::PushOutOfBarriers(const Vector3& direction) {
    for (const auto& stand : game->stands) {
        Vector3 push;
        if (stand->BarrierUp() && stand->BarrierTest(position, direction, push)) {
            position += push;
        }
    }
}

void C_Player::PickUp() {
    C_WeaponItem* item = game->weaponItem.get();
    if (hasGunArm || item == nullptr || Vector3::Distance(position, item->Position()) > radius + item->Radius()) {
        return;
    }
    hasGunArm = true;
    item->taken = true;
    PlaySoundOnce(pickUpSound);
}

// The gun fires while the left button is held, once the cool-down has run out.
void C_Player::LeftArmFire() {
    if (!FwInput::GetInstance().IsKeyDown(FwKey::MouseLeft) || fireCoolDown != 0) {
        return;
    }
    PlaySoundOnce(leftShotSound);
    const Vector3 direction = AimFrom(leftArmWorld, leftMuzzle);
    game->playerBullets.push_back(std::make_unique<C_PlayerBullet>(game, direction));
    game->gunFlashes.push_back(std::make_unique<C_GunMuzzleFlash>());
    fireCoolDown = kFireInterval;
}

// The left gun sets the cool-down first, so with both buttons held only it fires.
void C_Player::RightArmFire() {
    if (!FwInput::GetInstance().IsKeyDown(FwKey::MouseRight) || fireCoolDown != 0) {
        return;
    }
    PlaySoundOnce(rightShotSound);
    const Vector3 direction = AimFrom(rightArmWorld, rightMuzzle);
    game->beamShots.push_back(std::make_unique<C_BeamShot>(game, direction));
    FwInput::GetInstance().Rumble(kBeamRumbleStrength, kBeamRumbleMilliseconds);
    game->armFlashes.push_back(std::make_unique<C_RightMuzzleFlash>(game));
    fireCoolDown = kFireInterval;
}

Vector3 C_Player::AimFrom(const Matrix& arm, Matrix& muzzle) {
    armScratch = arm;
    muzzle = Matrix::CreateTranslation(0.0f, 0.0f, kMuzzleDistance) * armScratch;
    return AimDirectionFrom(muzzle.Translation());
}

Vector3 C_Player::AimDirectionFrom(const Vector3& muzzle) const {
    const C_Camera& camera = *game->camera;
    const Vector3 origin = camera.position;
    const Vector3 forward = camera.Forward();
    float nearest = FLT_MAX;
    const auto test = [&](const FwModel& model, const Matrix& world) {
        float distance = 0.0f;
        Vector3 normal;
        if (RayToModel(model, world, origin, forward, distance, normal) && distance < nearest) {
            nearest = distance;
        }
    };
    test(game->stage->Model(), game->stage->World());
    for (const auto& enemy : game->enemies) {
        for (const C_EnemyPart& part : enemy->BodyHeadChest()) {
            test(part.model, part.world);
        }
    }
    for (const auto& drum : game->drums) {
        test(drum->Model(), drum->World());
    }
    for (const auto& breaker : game->breakers) {
        test(breaker->Model(), breaker->World());
    }
    // Where the camera ray meets nothing the aim point would lie at the float limit, out of reach
    // of any direction: fire along the camera ray instead.
    if (nearest == FLT_MAX) {
        return forward;
    }
    return (origin + forward * nearest - muzzle).Normalized();
}

void C_Player::Draw() const {
    FwStandardShader& shader = FwShaderManager::GetInstance().standardShader;
    shader.cbObject.Work().g_UVOffset = treadScroll;
    const struct {
        const FwModel& model;
        const Matrix& world;
    } parts[] = {{chestModel, chestWorld},     {headModel, headWorld},
                 {spineModel, spineWorld},     {legModel, legWorld},
                 {leftArmModel, leftArmWorld}, {hasGunArm ? gunArmModel : handArmModel, rightArmWorld}};
    for (const auto& part : parts) {
        shader.world = part.world;
        DrawModel(part.model);
    }
    shader.cbObject.Work().g_UVOffset = Vector2(0.0f, 0.0f);
}

void C_Player::Damage(float amount) {
    FwInput::GetInstance().Rumble(kHitRumbleStrength, kHitRumbleMilliseconds);
    hitPoints += amount;
    if (hitPoints <= 0.0f) {
        hitPoints = 0.0f;
        alive = false;
    }
}

void C_Player::Snapshot(nlohmann::json& out) const {
    out = {
        {"position", ToJson(position)}, {"legYaw", legYaw},       {"yaw", yaw},         {"pitch", pitch},
        {"hitPoints", hitPoints},       {"alive", alive},         {"arrived", arrived}, {"moving", moving},
        {"cooldown", fireCoolDown},     {"hasGunArm", hasGunArm},
    };
}
