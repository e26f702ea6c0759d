#pragma once

#include <array>
#include <memory>

#include <nlohmann/json_fwd.hpp>

#include "framework/graphics/FwRenderStatesFwd.h"
#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"
#include "game/enemy/State.h"

class C_Game;

// One of the models a shot is tested against, with its world matrix.
struct C_EnemyPart {
    const FwModel& model;
    const Matrix& world;
};

// The tank-like enemy robot. Its behaviour is its current state's; the robot itself only keeps
// clear of drums, walls and raised curtains and places its parts. The states, the player's shots
// and the charge ring read and write its fields directly.
class C_Enemy {
public:
    C_Enemy(C_Game* game, const Vector3& position);
    ~C_Enemy();

    // False once the robot has been knocked down and its death timer has run out.
    bool Update(C_EnemyBulletList& enemyBullets, C_ExplosionList& explosions);
    void Draw() const;
    // The translucent light: back faces culled first, then front faces.
    void DrawEyeLight() const;
    // A hit by a player bullet or the beam.
    void Hit();
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

    Vector3 Position() const { return world.Translation(); }
    // The parts in the order the aim and the gun test them.
    std::array<C_EnemyPart, 3> BodyHeadChest() const {
        return {{{bodyModel, world}, {headModel, headWorld}, {chestModel, chestWorld}}};
    }
    // The parts in the order the beam tests them.
    std::array<C_EnemyPart, 3> BodyChestHead() const {
        return {{{bodyModel, world}, {chestModel, chestWorld}, {headModel, headWorld}}};
    }

    C_Game* game;
    std::unique_ptr<State> state;
    FwModel bodyModel;
    // Row 2 is the forward direction, row 3 the position.
    Matrix world;
    // Eye and eye light fade out after death.
    float eyeAlpha = 1.0f;
    FwModel treadModel;
    Matrix treadWorld;
    Matrix treadLocal = Matrix::CreateTranslation(0.2f, -4.5f, 0.0f);
    Vector2 treadTextureOffset;
    FwModel chestModel;
    Matrix chestWorld;
    Matrix chestLocal;
    FwModel headModel;
    Matrix headWorld;
    Matrix headLocal = Matrix::CreateTranslation(0.0f, 1.8f, 0.0f);
    FwModel eyeModel;
    Matrix eyeWorld;
    Matrix eyeLocal = Matrix::CreateTranslation(0.0f, 0.0f, 0.2f);
    FwModel eyeLightModel;
    Matrix eyeLightWorld;
    Matrix eyeLightLocal = Matrix::CreateTranslation(0.0f, 0.0f, 1.9f);
    bool eyeLightOn = false;
    float radius = 3.0f;
    float hitPoints = 3.0f;
    FwRasterizerStatePtr noCullState;
    FwRasterizerStatePtr backCullState;
    FwRasterizerStatePtr frontCullState;
    // Degrees tipped over once knocked down, up to 25.
    float knockdownTilt = 0.0f;
    // Frames left once knocked down.
    float deathTimer = 140.0f;
    // Set by the charge ring when it has shrunk away.
    bool fireRequest = false;
    bool shotByPlayer = false;

private:
    void KeepClear();
    void PlaceParts();
};
