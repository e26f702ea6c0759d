#pragma once

#include <memory>

#include <nlohmann/json_fwd.hpp>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"

class C_Game;
class FwSoundEffect;

// The two elevator doors at the end of the stage. They slide open along z once the player comes
// within 15 units and close again behind the player in the ending.
class C_Elevator {
public:
    explicit C_Elevator(C_Game* game);

    void Update();
    void Draw() const;

    bool DoorsClosed() const { return doorsClosed; }
    bool Opening() const { return opening; }
    bool Opened() const { return opened; }
    bool Closed() const { return closed; }
    const Vector3& RightDoorPosition() const { return rightDoorPosition; }
    const Vector3& LeftDoorPosition() const { return leftDoorPosition; }
    int SoundsPlayed() const { return soundsPlayed; }
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    // Moves a door 0.05 units toward its target; true, without moving, once it is within 0.2 (or
    // within the last step) of it. The door never snaps onto the target.
    static bool StepDoor(Vector3& position, const Vector3& target, float& speed);
    void PlayOnce(const std::shared_ptr<FwSoundEffect>& sound);

    C_Game* game;
    FwModel rightDoorModel;
    Matrix rightDoorWorld;
    Matrix rightDoorTranslation;
    FwModel leftDoorModel;
    Matrix leftDoorWorld;
    Matrix leftDoorTranslation;
    bool doorsClosed = false;
    Vector3 rightDoorPosition{-228.5f, 2.2f, 3.0f};
    Vector3 rightDoorOpenTarget{-228.5f, 2.2f, 12.5f};
    Vector3 rightDoorClosedTarget{-228.5f, 2.2f, 3.0f};
    float rightDoorSpeed = 0.0f;
    Vector3 leftDoorPosition{-228.5f, 2.2f, -4.5f};
    Vector3 leftDoorOpenTarget{-228.5f, 2.2f, -14.0f};
    Vector3 leftDoorClosedTarget{-228.5f, 2.2f, -4.5f};
    float leftDoorSpeed = 0.0f;
    bool opening = false;
    std::shared_ptr<FwSoundEffect> doorSound;
    bool openSoundPending = true;
    bool opened = false;
    bool closeSoundPending = true;
    bool closed = false;
    std::shared_ptr<FwSoundEffect> upSound;
    bool upSoundPlayed = false;
    // Door and up sounds started so far, for state snapshots.
    int soundsPlayed = 0;
};
