#include "game/world/C_Elevator.h"

#include <nlohmann/json.hpp>

#include "framework/audio/FwSoundCache.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwDrawModel.h"
#include "game/player/C_Player.h"
#include "game/world/C_Game.h"
#include "game/world/Snapshot.h"

namespace {

constexpr float kOpeningDistance = 15.0f;
constexpr float kDoorSpeed = 0.05f;
constexpr float kDoorStopDistance = 0.2f;

}  // namespace

C_Elevator::C_Elevator(C_Game* game) : game(game) {
    rightDoorModel.Load("data/Elevator/ElevatorRightdoor.gltf");
    leftDoorModel.Load("data/Elevator/Elevatordoor.gltf");
    doorSound = FwSoundCache::GetInstance().GetSound("data/sound/elevetordoor.wav");
    upSound = FwSoundCache::GetInstance().GetSound("data/sound/elevetorUp.wav");
}

void C_Elevator::Update() {
    const C_Player& player = *game->player;
    if (!player.arrived) {
        if (Vector3::Distance(rightDoorPosition, player.chestWorld.Translation()) <= kOpeningDistance) {
            opening = true;
        }
        if (opening) {
            StepDoor(rightDoorPosition, rightDoorOpenTarget, rightDoorSpeed);
            StepDoor(leftDoorPosition, leftDoorOpenTarget, leftDoorSpeed);
            opened = true;
        }
    } else {
        const bool rightShut = StepDoor(rightDoorPosition, rightDoorClosedTarget, rightDoorSpeed);
        const bool leftShut = StepDoor(leftDoorPosition, leftDoorClosedTarget, leftDoorSpeed);
        doorsClosed = rightShut && leftShut;
        closed = true;
    }
    if (closed && closeSoundPending) {
        PlayOnce(doorSound);
        closeSoundPending = false;
    }
    if (opened && openSoundPending) {
        PlayOnce(doorSound);
        openSoundPending = false;
    }
    // The doors are modelled facing +z; a quarter turn lines them up with the wall along z.
    rightDoorTranslation = Matrix::CreateTranslation(rightDoorPosition);
    rightDoorWorld = Matrix::CreateRotationY(Math::kPi / 2.0f) * rightDoorTranslation;
    leftDoorTranslation = Matrix::CreateTranslation(leftDoorPosition);
    leftDoorWorld = Matrix::CreateRotationY(Math::kPi / 2.0f) * leftDoorTranslation;
    if (doorsClosed && !upSoundPlayed) {
        upSoundPlayed = true;
        PlayOnce(upSound);
    }
}

void C_Elevator::Draw() const {
    FwStandardShader& shader = FwShaderManager::GetInstance().standardShader;
    shader.world = rightDoorWorld;
    DrawModel(rightDoorModel);
    shader.world = leftDoorWorld;
    DrawModel(leftDoorModel);
}

bool C_Elevator::StepDoor(Vector3& position, const Vector3& target, float& speed) {
    const float distance = Vector3::Distance(position, target);
    if (distance <= kDoorStopDistance || distance <= speed) {
        speed = 0.0f;
        return true;
    }
    speed = kDoorSpeed;
    position += (target - position).Normalized() * kDoorSpeed;
    return false;
}

// Each play is a voice of its own that the sound service keeps until it ends.
void C_Elevator::PlayOnce(const std::shared_ptr<FwSoundEffect>& sound) {
    ++soundsPlayed;
    if (const std::shared_ptr<FwSoundInstance> instance = sound->CreateInstance(false)) {
        instance->Play(false, true);
    }
}

void C_Elevator::Snapshot(nlohmann::json& out) const {
    out = {
        {"rightDoor", ToJson(rightDoorPosition)},
        {"leftDoor", ToJson(leftDoorPosition)},
        {"opening", opening},
        {"opened", opened},
        {"closed", closed},
        {"doorsClosed", doorsClosed},
        {"soundsPlayed", soundsPlayed},
    };
}
