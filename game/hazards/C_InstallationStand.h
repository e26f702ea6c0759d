#pragma once

#include <array>
#include <memory>

#include <nlohmann/json_fwd.hpp>

#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"
#include "game/effects/C_EffectQuad.h"

class C_Breaker;
class C_Game;

// A post with five laser emitters stacked 1.5 apart. Their flickering beams run straight ahead to
// the stage and form a curtain that holds robots 3 units away until the breaker wired to the
// stand is broken; then the beams go dark and the curtain is open for good.
class C_InstallationStand {
public:
    static constexpr int kEmitters = 5;

    C_InstallationStand(C_Game* game, C_Breaker* breaker, const Vector3& position, float angle);

    // Flickers and turns the beams toward the camera.
    void Update();
    void Draw() const;
    void DrawEmitters() const;
    // Draws nothing once the breaker is broken, and the curtain then opens.
    void DrawLasers();
    // An actor at `position` facing unit `direction` whose facing ray meets the curtain within 3
    // units of its plane gets `push`, which moves it back to 3 units from the plane.
    bool BarrierTest(const Vector3& position, const Vector3& direction, Vector3& push) const;

    const C_Breaker* Breaker() const { return breaker; }
    bool BarrierUp() const { return barrierUp; }
    float HalfWidth() const { return halfWidth; }
    float BeamLength() const { return beamLength; }
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    C_Game* game;
    C_Breaker* breaker;
    FwModel emitterModel;
    std::array<Matrix, kEmitters> emitterMatrices;
    std::array<C_EffectQuad, kEmitters> laserQuads;
    FwTexture laserTexture;
    std::array<Matrix, kEmitters> laserMatrices;
    bool barrierUp = true;
    float halfWidth = 0.5f;
    bool pulsePhase = true;
    FwModel standModel;
    Matrix standWorld;
    std::array<Vector3, 4> barrierCorners;
    // Row 0 is the curtain's normal.
    Matrix barrierFrame;
    // Measured once at construction: moving objects never cut a beam short.
    float beamLength = 0.0f;
};
