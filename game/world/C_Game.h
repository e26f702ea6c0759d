#pragma once

#include <cstdint>
#include <memory>

#include "framework/graphics/FwRenderStates.h"
#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "game/world/C_LevelLayout.h"
#include "scenes/C_Scene.h"

class C_Camera;
class C_Elevator;
class C_GameClear;
class C_GameOver;
class C_GoalArea;
class C_HPGauge;
class C_Lamps;
class C_Player;
class C_PlayerCollision;
class C_Stage;

// One play-through: owns everything in the level, updates it in a fixed order, places the camera
// and draws it all in a fixed order of render-state passes. It ends with the ending (the player
// reaches the goal area in the elevator) or game over; either way a click returns to the title.
// Every object gets a pointer to the game and reaches the others through these members.
class C_Game : public C_Scene {
public:
    C_Game();
    ~C_Game() override;

    void Update() override;
    void Draw() override;
    void SetCamera() override;

    const char* Name() const override { return "game"; }
    void DumpState(nlohmann::json& out) const override;

    // Hears from `position`, facing the way the camera looks.
    void SetListener(const Vector3& position) const;

    std::unique_ptr<C_Player> player;
    std::unique_ptr<C_Stage> stage;
    std::unique_ptr<C_GoalArea> goalArea;
    std::unique_ptr<C_GameClear> gameClear;
    std::unique_ptr<C_GameOver> gameOver;
    std::unique_ptr<C_PlayerCollision> playerCollision;
    std::unique_ptr<C_HPGauge> hpGauge;
    std::unique_ptr<C_Elevator> elevator;
    std::unique_ptr<C_Camera> camera;
    std::unique_ptr<C_Lamps> lamps;
    FwTexture sightingTexture;
    // Set for good the first frame the player stands on the goal area.
    bool ending = false;
    FwTexture blackTexture;
    // The full-screen black overlay fades the level in over 100 frames.
    float blackAlpha = 1.0f;
    Vector3 endEyeTarget;
    Vector3 endFocusTarget;
    FwBlendStatePtr blendAdd;
    FwBlendStatePtr blendAlpha;
    FwRasterizerStatePtr rasterNoCull;
    FwRasterizerStatePtr rasterBackCull;
    // The level files as read; the objects placed from them are made from these records.
    C_LevelLayout levelLayout;

private:
    void DrawHud() const;

    // Updates since the scene started, for state snapshots.
    uint32_t updates = 0;
};
