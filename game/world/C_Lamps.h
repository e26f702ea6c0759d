#pragma once

#include <array>

#include <nlohmann/json_fwd.hpp>

#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"

class C_Game;

// The floor indicator above the elevator doors: five lamps, one lit. Once the doors have closed
// behind the player the lit lamp steps from the last lamp to the first, one every 120 frames.
class C_Lamps {
public:
    static constexpr int kLampCount = 5;

    explicit C_Lamps(C_Game* game);

    void Update();
    void Draw() const;

    int LitIndex() const { return litIndex; }
    float Countdown() const { return countdown; }
    // Its fields in state snapshots.
    void Snapshot(nlohmann::json& out) const;

private:
    C_Game* game;
    FwModel lampModel;
    std::array<Matrix, kLampCount> lampWorlds;
    FwModel litLampModel;
    int litIndex = kLampCount - 1;
    // One second from the doors shutting to the first step, so the ride visibly starts soon after
    // the up sound.
    float countdown = 60.0f;
};
