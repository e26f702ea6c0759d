#pragma once

// Every model of the game, designed in code. Each returns the finished mesh in the frame the
// game draws it in (origin at the part's pivot, +z forward, world units).

#include "tools/content/MeshBuilder.h"

// The level: rooms, corridors and the elevator hall, floor at model height -18.5.
MeshBuilder StageModel();
MeshBuilder ElevatorDoorModel(bool right);
MeshBuilder LampModel(bool lit);
MeshBuilder InstallationStandModel();  // one laser emitter
MeshBuilder StandPostModel();          // the post that carries five emitters
MeshBuilder BreakerModel(bool broken);
MeshBuilder DrumModel();

MeshBuilder PlayerLegModel();
MeshBuilder PlayerSpineModel();
MeshBuilder PlayerChestModel();
MeshBuilder PlayerHeadModel();
MeshBuilder PlayerLeftArmModel();
MeshBuilder PlayerHandArmModel();
MeshBuilder PlayerGunArmModel();
MeshBuilder PlayerCollisionModel();
MeshBuilder PlayerBulletModel();

MeshBuilder EnemyHullModel();
MeshBuilder EnemyTreadModel();
MeshBuilder EnemyChestModel();
MeshBuilder EnemyHeadModel();
MeshBuilder EnemyEyeModel();
MeshBuilder EnemyEyeLightModel();
MeshBuilder EnemyLegModel();
MeshBuilder EnemySpineModel();
MeshBuilder EnemyBulletModel();
