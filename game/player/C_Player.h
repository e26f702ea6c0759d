#pragma once

#include <cstdint>
#include <memory>

#include <nlohmann/json_fwd.hpp>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"

class C_Game;
class FwSoundEffect;
class FwSoundInstance;

// The robot the user steers: treads that turn toward the walking direction, an upper body that
// turns with the mouse aim, the hit points the HUD shows, and the walk into the elevator at the
// end. Angles are degrees. The game and the objects that meet the robot read (and some move)
// its fields directly.
class C_Player {
public:
    explicit C_Player(C_Game* game);

    void Update();
    void Draw() const;
    // Negative amounts harm; hit points never fall below 0, and at 0 the robot is dead for good.
    void Damage(float amount);
    // Unit direction from `muzzle` to the point under the sighting mark: the nearest thing the
    // camera ray meets, or along the camera ray where it meets nothing.
    Vector3 AimDirectionFrom(const Vector3& muzzle) const;

    C_Game* game;
    FwModel chestModel;
    Matrix chestWorld;
    Matrix chestOffset = Matrix::CreateTranslation(0.0f, 3.3f, 0.0f);
    FwModel headModel;
    Matrix headWorld;
    Matrix headOffset = Matrix::CreateTranslation(0.0f, 4.5f, 0.0f);
    Matrix headTilt;
    float headTiltAngle = 0.0f;
    FwModel leftArmModel;
    Matrix leftArmWorld;
    Matrix leftArmOffset = Matrix::CreateTranslation(-2.1f, 3.3f, 0.0f);
    FwModel handArmModel;
    Matrix rightArmWorld;
    Matrix rightArmOffset = Matrix::CreateTranslation(1.9f, 3.5f, 0.0f);
    Matrix rightArmPitch;
    FwModel gunArmModel;
    FwModel legModel;
    Matrix legWorld;
    Matrix leftArmPitch;
    FwModel spineModel;
    Matrix spineWorld;
    Matrix spineOffset = Matrix::CreateTranslation(0.0f, 1.7f, 0.0f);
    Matrix positionMatrix;
    Matrix upperYaw;
    // Frames until the next shot; shared by both weapons.
    int32_t fireCoolDown = 0;
    // The foot point, in world units.
    Vector3 position;
    float legYaw = 0.0f;
    float radius = 3.0f;
    bool moving = false;
    bool alive = true;
    bool hasGunArm = false;
    // The ending walk has turned the body to face the camera.
    bool arrived = false;
    float hitPoints = 100.0f;
    float maxHitPoints = 100.0f;
    // Texture offset of the treads while drawing.
    Vector2 treadScroll;
    // Positive pitch looks down.
    float pitch = 0.0f;
    float yaw = 0.0f;
    // Arm droop after death.
    float deathTilt = 0.0f;
    Vector3 endingTarget{-240.0f, -7.5f, -0.9f};
    Vector3 legForward;
    Vector3 moveDirection;
    std::shared_ptr<FwSoundEffect> rightShotSound;
    std::shared_ptr<FwSoundEffect> leftShotSound;
    std::shared_ptr<FwSoundEffect> treadSoundEffect;
    std::shared_ptr<FwSoundEffect> pickUpSound;
    std::shared_ptr<FwSoundInstance> treadSound;
    // The gun muzzles, 4.5 along each arm, as of the last shot.
    Matrix leftMuzzle;
    Matrix rightMuzzle;
    // The firing arm's world matrix at the last shot.
    Matrix armScratch;
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    void Pose();
    void EndingWalk();
    void ReadInput();
    void Look();
    void TurnLegsToward(const Vector3& direction);
    void PushOutOfWalls(const Vector3& direction);
    void PushOutOfBarriers(const Vector3& direction);
    void PickUp();
    void LeftArmFire();
    void RightArmFire();
    // Places `muzzle` on `arm` and returns the aim direction from it.
    Vector3 AimFrom(const Matrix& arm, Matrix& muzzle);
};
