#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include <nlohmann/json_fwd.hpp>

#include "framework/graphics/FwBuffer.h"
#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"

class C_Game;
class FwSoundEffect;
class FwSoundInstance;

// The beam of the right-arm cannon: a glowing ribbon whose tip races 1.5 units a frame, bounces
// off the stage (leaving burn marks) and off drums, and stops at its third bounce or at the first
// breaker it reaches. Once stopped, the ribbon draws itself into the stop point in ten frames.
class C_BeamShot {
public:
    static constexpr int kTrail = 10;

    C_BeamShot(C_Game* game, const Vector3& direction);

    // False once the ribbon has shrunk into the stop point.
    bool Update();
    void Draw() const;

    Vector3 Tip() const { return head.Translation(); }
    int32_t Bounces() const { return bounces; }
    bool Stopped() const { return stopped; }
    const Vector3& StopPoint() const { return stopPoint; }
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    void Collide();
    void Stop(const Vector3& point);
    void RebuildRibbon();

    C_Game* game;
    Color colour{1.0f, 1.0f, 1.0f, 1.0f};
    FwBuffer ribbon;
    FwTexture texture;
    // Past head frames, newest first.
    std::array<Matrix, kTrail> trail;
    // Position and heading of the tip.
    Matrix head;
    Vector3 start;
    Vector3 heading;
    Vector3 stopPoint;
    int32_t bounces = 0;
    float reach = 2.0f;
    bool stopped = false;
    std::shared_ptr<FwSoundEffect> hitSound;
    std::shared_ptr<FwSoundInstance> hitInstance;
    std::shared_ptr<FwSoundEffect> breakerSound;
};
