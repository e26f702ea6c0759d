#include "tools/content/ContentWriters.h"

#include "tools/content/GltfWriter.h"
#include "tools/content/ModelDesigns.h"

#include <filesystem>
#include <iostream>

namespace {

struct ModelFile {
    const char* folder;  // below Data; one spelling per folder, the game's others resolve to it
    const char* name;
    MeshBuilder (*design)();
};

MeshBuilder RightDoor() { return ElevatorDoorModel(true); }
MeshBuilder LeftDoor() { return ElevatorDoorModel(false); }
MeshBuilder UnlitLamp() { return LampModel(false); }
MeshBuilder LitLamp() { return LampModel(true); }
MeshBuilder IntactBreaker() { return BreakerModel(false); }
MeshBuilder BrokenBreaker() { return BreakerModel(true); }

const ModelFile kModels[] = {
    {"Stage", "Stage", StageModel},
    {"Stage", "InstallationStand", InstallationStandModel},
    {"Stage", "Stand", StandPostModel},
    {"Elevator", "ElevatorRightdoor", RightDoor},
    {"Elevator", "Elevatordoor", LeftDoor},
    {"Lamp", "Lamp", UnlitLamp},
    {"Lamp", "OrangeLamp", LitLamp},
    {"breaker", "breaker", IntactBreaker},
    {"breaker", "Breakbreaker", BrokenBreaker},
    {"Drum", "Drum", DrumModel},
    {"Player/Leg", "leg", PlayerLegModel},
    {"Player/Spine", "spine", PlayerSpineModel},
    {"Player/Chest", "chest", PlayerChestModel},
    {"Player/Head", "head", PlayerHeadModel},
    {"Player/LeftArm", "armleft", PlayerLeftArmModel},
    {"Player/Rightarm", "HandArmright", PlayerHandArmModel},
    {"Player/Rightarm", "armright", PlayerGunArmModel},
    {"CollisionModel", "PlayerCollision", PlayerCollisionModel},
    {"Bullet", "PlayerBullet", PlayerBulletModel},
    {"Bullet", "bullet", EnemyBulletModel},
    {"Enemy", "Enemy", EnemyHullModel},
    {"Enemy", "caterpillar", EnemyTreadModel},
    {"Enemy", "Chest", EnemyChestModel},
    {"Enemy", "head", EnemyHeadModel},
    {"Enemy", "eye", EnemyEyeModel},
    {"Enemy", "eyeLight", EnemyEyeLightModel},
    {"Enemy", "Leg", EnemyLegModel},
    {"Enemy", "Spine", EnemySpineModel},
};

}  // namespace

bool WriteModels(const std::string& root) {
    bool ok = true;
    for (const ModelFile& model : kModels) {
        const std::filesystem::path folder = std::filesystem::path(root) / "Data" / model.folder;
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            std::cerr << "quarnel_content: cannot create " << folder.string() << "\n";
            ok = false;
            continue;
        }
        ok = WriteGltf(model.design(), folder.string(), model.name) && ok;
    }
    return ok;
}
