#pragma once

#include <cstdint>
#include <memory>

#include <nlohmann/json_fwd.hpp>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"

class C_Game;
class FwSoundEffect;
class FwSoundInstance;

// An electrical breaker box on a wall. Three hits from the player's weapons break it: it swaps to
// its broken model, three explosions go off around it, it smokes for the rest of the game, and
// the installation stands wired to it lose their curtains.
class C_Breaker {
public:
    C_Breaker(C_Game* game, const Vector3& position, float angle);

    void Update();
    void Draw() const;

    const FwModel& Model() const { return model; }
    const Matrix& World() const { return world; }
    Vector3 Position() const { return placement.Translation(); }
    bool Intact() const { return intact; }
    float SmokeTimer() const { return smokeTimer; }
    int32_t HitPoints() const { return hitPoints; }
    bool HitFlash() const { return hitFlash; }

    // Set by a player bullet or beam; a flag, not a counter, so hits in one frame count once.
    bool shot = false;
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    void Break();

    C_Game* game;
    FwModel model;
    FwModel brokenModel;
    Matrix world;
    Matrix placement;
    bool intact = true;
    // Frames until the next smoke puff while broken.
    float smokeTimer = 0.0f;
    int32_t hitPoints = 3;
    // True for the frame in which a hit was counted: the box is drawn white.
    bool hitFlash = false;
    std::shared_ptr<FwSoundEffect> explosionSound;
    std::shared_ptr<FwSoundInstance> explosionInstance;
};
