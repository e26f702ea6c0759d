#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/FwRenderStatesFwd.h"
#include "framework/graphics/FwSpriteFont.h"
#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "game/world/C_LevelLayout.h"
#include "scenes/C_Scene.h"

class C_BeamImpact;
class C_BeamShot;
class C_Breaker;
class C_BurnMark;
class C_ChargeRing;
class C_Camera;
class C_Drum;
class C_Elevator;
class C_Enemy;
class C_EnemyBullet;
class C_EnemyDebris;
class C_Explosion;
class C_GameClear;
class C_GameOver;
class C_GoalArea;
class C_GunMuzzleFlash;
class C_HPGauge;
class C_HitEffect;
class C_HitSpark;
class C_InstallationStand;
class C_Lamps;
class C_Player;
class C_PlayerBullet;
class C_PlayerCollision;
class C_RightMuzzleFlash;
class C_SmokePuff;
class C_Stage;
class C_WeaponItem;
class FwSoundEffect;
class FwSoundInstance;

// Plays `sound` once from its start as a plain (not 3D) sound, heard to its end.
void PlaySoundOnce(const std::shared_ptr<FwSoundEffect>& sound);
// Loads `path` into `effect`, a copy of the sound of its own, and returns its one 3D voice, heard
// over `distanceScale`; null when there is no sound.
std::shared_ptr<FwSoundInstance> Load3DSound(const std::string& path, float distanceScale,
                                             std::shared_ptr<FwSoundEffect>& effect);
// Moves `position` in x and z only, straight away from `center`, until it is `reach` away from it
// measured in 3D; nothing moves at `reach` or beyond, or with the two points on one vertical.
void PushOutXZ(Vector3& position, const Vector3& center, float reach);

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
    bool DrawsScaled3D() const override { return true; }

    const char* Name() const override { return "game"; }
    void DumpState(nlohmann::json& out) const override;

    // Hears from `position`, facing the way the camera looks.
    void SetListener(const Vector3& position);
    // Burn marks are kept for the rest of the game, at most kMaxBurnMarks of them: past that the
    // oldest goes, so a long game cannot grow without bound.
    void AddBurnMark(const Vector3& normal, const Vector3& hitPoint);
    static constexpr size_t kMaxBurnMarks = 300;

    std::unique_ptr<C_Player> player;
    std::unique_ptr<C_Stage> stage;
    std::unique_ptr<C_GoalArea> goalArea;
    std::unique_ptr<C_GameClear> gameClear;
    std::unique_ptr<C_GameOver> gameOver;
    std::unique_ptr<C_PlayerCollision> playerCollision;
    std::unique_ptr<C_WeaponItem> weaponItem;
    std::unique_ptr<C_HPGauge> hpGauge;
    std::unique_ptr<C_Elevator> elevator;
    std::unique_ptr<C_Camera> camera;
    std::unique_ptr<C_Lamps> lamps;
    // Objects of the level and short-lived shots and effects.
    std::vector<std::unique_ptr<C_Enemy>> enemies;
    std::vector<std::unique_ptr<C_EnemyBullet>> enemyBullets;
    std::vector<std::unique_ptr<C_PlayerBullet>> playerBullets;
    std::vector<std::unique_ptr<C_Drum>> drums;
    std::vector<std::unique_ptr<C_BeamShot>> beamShots;
    std::vector<std::unique_ptr<C_RightMuzzleFlash>> armFlashes;
    std::vector<std::unique_ptr<C_Explosion>> explosions;
    std::vector<std::unique_ptr<C_SmokePuff>> breakerSmokes;
    std::vector<std::unique_ptr<C_EnemyDebris>> enemyDebris;
    std::vector<std::unique_ptr<C_InstallationStand>> stands;
    std::vector<std::unique_ptr<C_Breaker>> breakers;
    std::vector<std::unique_ptr<C_BurnMark>> burnMarks;
    // The player's gun flashes and the enemies'.
    std::vector<std::unique_ptr<C_GunMuzzleFlash>> gunFlashes;
    std::vector<std::unique_ptr<C_ChargeRing>> chargeRings;
    std::vector<std::unique_ptr<C_HitEffect>> hitEffects;
    // Flashes where beam shots strike enemies.
    std::vector<std::unique_ptr<C_BeamImpact>> beamLasers;
    // Where enemy bullets hit the player.
    std::vector<std::unique_ptr<C_HitSpark>> playerHitEffects;
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
    // P (or losing the focus, when the player asked for that) holds the whole play-through: no
    // update, no sound, the picture dimmed under "PAUSED".
    bool paused = false;

private:
    void UpdatePause();
    void SetPaused(bool pause);
    void SeparateEnemies();
    // `faded`: the fade is in the picture already (Draw).
    void DrawHud(bool faded);
    void DrawFade();
    void DrawPaused();

    FwSpriteFont pauseFont;

    // Updates since the scene started, for state snapshots.
    uint32_t updates = 0;
    uint32_t endCameraStepAt = 0;  // the update whose frame last stepped the ending camera
};
