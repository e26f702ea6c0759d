#include "game/world/C_Game.h"

#include <algorithm>
#include <cmath>

#include <nlohmann/json.hpp>

#include "framework/audio/FwAudioManager.h"
#include "framework/audio/FwSoundCache.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwSpriteBatch.h"
#include "framework/math/FwRandom.h"
#include "framework/model/FwDrawModel.h"
#include "framework/model/FwModel.h"
#include "framework/platform/FwClock.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwScreen.h"
#include "framework/platform/FwSettings.h"
#include "game/effects/C_BurnMark.h"
#include "game/effects/C_GameOver.h"
#include "game/effects/C_GunMuzzleFlash.h"
#include "game/effects/C_HPGauge.h"
#include "game/effects/C_HitEffect.h"
#include "game/effects/C_HitSpark.h"
#include "game/effects/C_RightMuzzleFlash.h"
#include "game/enemy/C_ChargeRing.h"
#include "game/enemy/C_Enemy.h"
#include "game/enemy/C_EnemyBullet.h"
#include "game/hazards/C_Breaker.h"
#include "game/hazards/C_Drum.h"
#include "game/hazards/C_EnemyDebris.h"
#include "game/hazards/C_Explosion.h"
#include "game/hazards/C_InstallationStand.h"
#include "game/hazards/C_SmokePuff.h"
#include "game/player/C_BeamImpact.h"
#include "game/player/C_BeamShot.h"
#include "game/player/C_Camera.h"
#include "game/player/C_Player.h"
#include "game/player/C_PlayerBullet.h"
#include "game/player/C_PlayerCollision.h"
#include "game/player/C_WeaponItem.h"
#include "game/world/C_Elevator.h"
#include "game/world/C_GameClear.h"
#include "game/world/C_GoalArea.h"
#include "game/world/C_Lamps.h"
#include "game/world/C_Stage.h"
#include "game/world/Snapshot.h"

namespace {

constexpr float kFadePerFrame = 0.01f;
// The ending camera glides this far a frame and stops within kEndingCameraStop of its goal.
constexpr float kEndingCameraStep = 0.1f;
constexpr float kEndingCameraStop = 0.5f;

void StepToward(Vector3& point, const Vector3& goal) {
    if (Vector3::Distance(point, goal) >= kEndingCameraStop) {
        point += (goal - point).Normalized() * kEndingCameraStep;
    }
}

// Updates every element once; an element whose update returns false is destroyed and removed.
// Elements append only to other lists while they update, never to their own.
template <typename T, typename... Args>
void UpdateList(std::vector<std::unique_ptr<T>>& list, Args&&... args) {
    std::erase_if(list, [&](const std::unique_ptr<T>& element) { return !element->Update(args...); });
}

template <typename T>
void DrawList(const std::vector<std::unique_ptr<T>>& list) {
    for (const auto& element : list) {
        element->Draw();
    }
}

}  // namespace

void PlaySoundOnce(const std::shared_ptr<FwSoundEffect>& sound) {
    if (const std::shared_ptr<FwSoundInstance> instance = sound ? sound->CreateInstance(false) : nullptr) {
        instance->Play(false, true);
    }
}

std::shared_ptr<FwSoundInstance> Load3DSound(const std::string& path, float distanceScale,
                                             std::shared_ptr<FwSoundEffect>& effect) {
    effect = std::make_shared<FwSoundEffect>();
    effect->Load(path);
    std::shared_ptr<FwSoundInstance> instance = effect->CreateInstance(true);
    if (instance) {
        instance->SetCurveDistanceScaler(distanceScale);
    }
    return instance;
}

void PushOutXZ(Vector3& position, const Vector3& center, float reach) {
    const Vector3 away = position - center;
    // Most pairs are far apart: skip the square root when the squared distance is clearly beyond
    // reach (the margin covers rounding, so the answer is the one the distance itself gives).
    if (away.LengthSquared() > reach * reach * 1.0001f) {
        return;
    }
    const float distance = away.Length();
    if (distance < reach) {
        const Vector3 push = away.Normalized() * (reach - distance);
        position.x += push.x;
        position.z += push.z;
    }
}

namespace {

// What the objects made during play load (shots, rings, flashes, sparks, smoke, debris, the robots'
// state sounds). Loading each once with the level puts it in the shared caches, so the frame of
// the first shot or the first explosion does not stall on a file; the objects still load their
// own, from the caches.
void PreloadPlayContent() {
    for (const char* path :
         {"Data/Bullet/PlayerBullet.gltf", "Data/Bullet/bullet.gltf", "Data/Enemy/caterpillar.gltf",
          "Data/Enemy/Chest.gltf", "Data/Enemy/head.gltf", "Data/Enemy/Leg.gltf", "Data/Enemy/Spine.gltf"}) {
        FwModel().Load(path);
    }
    for (const char* path :
         {"Data/Texture/096a53cb.jpg", "Data/Texture/HitEffect.png", "data/texture/burnMarks.png",
          "Data/Texture/MuzzleFlash.png", "Data/Texture/LeftMuzzleFlash.png", "Data/Texture/Star.png",
          "data/texture/Smoke.png", "Data/Texture/Ring.png", "Data/Texture/light.png", "Data/Texture/laser.png"}) {
        FwTexture().Load(path);
    }
    for (const char* path : {"data/sound/shot.wav", "data/sound/BeamHit.wav", "data/sound/damage.wav",
                             "data/sound/tama2.wav", "data/sound/charge.wav", "data/sound/caterpillar.wav",
                             "data/sound/explosion.wav", "data/sound/smallexplosion.wav", "data/sound/knockDown.wav"}) {
        std::make_shared<FwSoundEffect>()->Load(path);
    }
    FwSoundCache::GetInstance().GetSound("data/sound/noise.wav");
}

}  // namespace

C_Game::C_Game() {
    FwSrand(FwRandomSeed());
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    blendAdd = d3d.CreateBlendState(FwBlendMode::Add);
    blendAlpha = d3d.CreateBlendState(FwBlendMode::Alpha);

    FwConstantBuffer<cbLight>& light = FwShaderManager::GetInstance().cbLight;
    light.Work().g_DL_Dir = Vector3(1.0f, -1.0f, 0.0f).Normalized();
    light.Work().g_AmbientLight = Vector3(0.5f, 0.5f, 0.5f);
    light.Write();

    FwInput::GetInstance().ShowCursor(false);
    stage = std::make_unique<C_Stage>(this);
    levelLayout.Load();
    for (const Vector3& position : levelLayout.enemies) {
        enemies.push_back(std::make_unique<C_Enemy>(this, position));
    }
    for (const Vector3& position : levelLayout.drums) {
        drums.push_back(std::make_unique<C_Drum>(position));
    }
    for (const C_BreakerRecord& record : levelLayout.breakers) {
        breakers.push_back(std::make_unique<C_Breaker>(this, record.position, record.angle));
    }
    // The level reader has left out stands whose breaker index names no breaker.
    for (const C_StandRecord& record : levelLayout.stands) {
        stands.push_back(std::make_unique<C_InstallationStand>(this, breakers[record.breakerIndex].get(),
                                                               record.position, record.angle));
    }
    goalArea = std::make_unique<C_GoalArea>();
    player = std::make_unique<C_Player>(this);
    player->position = levelLayout.startPosition;
    weaponItem = std::make_unique<C_WeaponItem>();
    playerCollision = std::make_unique<C_PlayerCollision>(this);
    elevator = std::make_unique<C_Elevator>(this);
    gameClear = std::make_unique<C_GameClear>(this);
    gameOver = std::make_unique<C_GameOver>();
    hpGauge = std::make_unique<C_HPGauge>(this);
    camera = std::make_unique<C_Camera>(this);
    endEyeTarget = Vector3(-190.0f, 5.5f, -3.9f);
    endFocusTarget = Vector3(-190.0f, 5.5f, 3.9f);
    lamps = std::make_unique<C_Lamps>(this);
    sightingTexture.Load("Data/Texture/Sighting.png");
    blackTexture.Load("data/texture/black.png");
    PreloadPlayContent();
    rasterNoCull = d3d.CreateRasterizerState(FwCullMode::None, FwFillMode::Solid, true, false);
    rasterBackCull = d3d.CreateRasterizerState(FwCullMode::Back, FwFillMode::Solid, true, false);
    // Without the font the paused picture is only dimmed.
    pauseFont.Load("Data/Font/SpriteFont_12.dat");
}

C_Game::~C_Game() {
    // The title after the game has sound and a cursor; the members release themselves.
    FwAudioManager::GetInstance().Pause(false);
    FwInput::GetInstance().ShowCursor(true);
}

void C_Game::AddBurnMark(const Vector3& normal, const Vector3& hitPoint) {
    if (burnMarks.size() >= kMaxBurnMarks) {
        burnMarks.erase(burnMarks.begin());
    }
    burnMarks.push_back(std::make_unique<C_BurnMark>(normal, hitPoint));
}

void C_Game::Update() {
    UpdatePause();
    if (paused) {
        return;
    }
    ++updates;
    blackAlpha -= kFadePerFrame;
    if (blackAlpha < 0.0f) {
        blackAlpha = 0.0f;
    }
    player->Update();
    playerCollision->Update();
    hpGauge->Update();
    UpdateList(playerBullets);
    UpdateList(beamShots);
    UpdateList(enemies, enemyBullets, explosions);
    SeparateEnemies();
    UpdateList(enemyBullets);
    UpdateList(explosions);
    UpdateList(chargeRings);
    UpdateList(enemyDebris);
    for (const auto& breaker : breakers) {
        breaker->Update();
    }
    goalArea->Update();
    UpdateList(armFlashes);
    UpdateList(gunFlashes, *this);
    weaponItem->Update();
    if (goalArea->Contains(player->position)) {
        ending = true;
        gameClear->Update();
    }
    elevator->Update();
    if (player->hitPoints <= 0.0f) {
        gameOver->Update();
    }
    UpdateList(breakerSmokes);
    UpdateList(beamLasers);
    UpdateList(hitEffects);
    for (const auto& stand : stands) {
        stand->Update();
    }
    lamps->Update();
    UpdateList(playerHitEffects);
    SetListener(player->chestWorld.Translation());
}

void C_Game::UpdatePause() {
    FwInput& input = FwInput::GetInstance();
    if (input.IsWindowActive() && input.WasKeyPressed(FwKey::P)) {
        SetPaused(!paused);
    } else if (!paused && !input.IsWindowActive() && FwGetSettings().pauseOnFocusLoss) {
        SetPaused(true);
    }
    // Mouse movement while paused would otherwise turn the robot all at once on resuming.
    if (paused) {
        input.ReturnCursorHome();
    }
}

void C_Game::SetPaused(bool pause) {
    paused = pause;
    FwAudioManager::GetInstance().Pause(pause);
    // The cursor is the player's while the game is held.
    FwInput::GetInstance().ShowCursor(pause);
}

// Every ordered pair, so both of two overlapping enemies move; later pairs see the moved positions.
// The positions are gathered first: the pairs grow with the square of the robots, and walking
// them in one array is what keeps a crowded level cheap.
void C_Game::SeparateEnemies() {
    std::vector<Vector3> positions;
    std::vector<float> radii;
    positions.reserve(enemies.size());
    radii.reserve(enemies.size());
    for (const auto& enemy : enemies) {
        positions.push_back(enemy->Position());
        radii.push_back(enemy->radius);
    }
    for (size_t i = 0; i < enemies.size(); ++i) {
        for (size_t j = 0; j < enemies.size(); ++j) {
            if (i != j) {
                PushOutXZ(positions[i], positions[j], radii[i] + radii[j]);
            }
        }
        enemies[i]->world.SetTranslation(positions[i]);
    }
}

void C_Game::SetListener(const Vector3& position) {
    FwAudioManager& audio = FwAudioManager::GetInstance();
    const Matrix& view = FwShaderManager::GetInstance().cbCamera.Get().g_mV;
    audio.listener.position = position;
    audio.listener.front = view.Invert().Facing();
    audio.listener.top = view.Up();
    audio.ApplyListener();
}

void C_Game::SetCamera() {
    // The camera constants of the last played frame stay, so the paused picture does not move.
    if (paused) {
        return;
    }
    Matrix view;
    if (!ending) {
        camera->Update();
        view = Matrix::CreateLookAtLH(camera->position, camera->target, camera->up);
    } else {
        // A level that starts on the goal area ends before the camera has ever placed itself.
        if (camera->up == Vector3::Zero) {
            camera->Update();
        }
        // One step an update, however often its frame is drawn (a new scene's first frame is drawn
        // again to time it).
        if (endCameraStepAt != updates) {
            StepToward(camera->position, endEyeTarget);
            StepToward(camera->target, endFocusTarget);
            endCameraStepAt = updates;
        }
        // The target is taken as a direction here: the camera looks roughly along -x.
        view = Matrix::CreateLookToLH(camera->position, camera->target.Normalized(), camera->up);
    }
    FwConstantBuffer<cbCamera>& constants = FwShaderManager::GetInstance().cbCamera;
    constants.Work().g_mV = view;
    constants.Work().g_mP = Matrix::CreatePerspectiveFieldOfViewLH(FwGetSettings().fieldOfView * Math::kDegToRad,
                                                                   kScreenAspect, 0.01f, 1000.0f);
    constants.Work().g_CamPos = view.Invert().Translation();
    constants.Write();
}

void C_Game::Draw() {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    FwDeviceContext& context = d3d.Context();
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    const Color noBlendFactor(0.0f, 0.0f, 0.0f, 0.0f);

    shaders.standardShader.SetToDevice();
    stage->Draw();
    // Robots and props in rooms out of sight cost vertex work and binning and no pixel.
    SetDrawAreas(&stage->Areas());
    elevator->Draw();
    lamps->Draw();
    // The treads and arms are open shells: both sides must show.
    context.SetRasterizerState(rasterNoCull);
    player->Draw();
    context.SetRasterizerState(rasterBackCull);
    playerCollision->Draw();
    weaponItem->Draw();
    DrawList(enemies);
    DrawList(playerBullets);
    DrawList(enemyBullets);
    DrawList(drums);
    DrawList(enemyDebris);
    DrawList(stands);
    for (const auto& stand : stands) {
        stand->DrawEmitters();
    }
    DrawList(breakers);

    // Glowing parts of the actors add light.
    context.SetBlendState(blendAdd, noBlendFactor, 0xFFFFFFFF);
    for (const auto& enemy : enemies) {
        enemy->DrawEyeLight();
    }
    SetDrawAreas(nullptr);
    // Quads and billboards with the effect program.
    context.SetBlendState(blendAlpha, noBlendFactor, 0xFFFFFFFF);
    shaders.effectShader.SetToDevice();
    goalArea->Draw();
    // Additive effects, seen from both sides.
    context.SetBlendState(blendAdd, noBlendFactor, 0xFFFFFFFF);
    context.SetRasterizerState(rasterNoCull);
    for (const auto& stand : stands) {
        stand->DrawLasers();
    }
    DrawList(burnMarks);
    DrawList(beamShots);
    DrawList(armFlashes);
    DrawList(gunFlashes);
    DrawList(hitEffects);
    // Effects that show through walls.
    context.SetDepthStencilState(d3d.CreateDepthStencilState(false, true), 0);
    DrawList(playerHitEffects);
    DrawList(chargeRings);
    context.SetRasterizerState(rasterBackCull);
    DrawList(explosions);
    DrawList(beamLasers);
    // Depth-tested effects again.
    context.SetDepthStencilState(d3d.CreateDepthStencilState(true, true), 0);
    DrawList(breakerSmokes);
    // Below full size the fade darkens the 3D picture before its way up, where it covers a quarter
    // of the pixels or fewer, and the HUD as it is drawn: the picture a layer over all of it gives,
    // for a fraction of a layer that costs more than the world's own pixels without a GPU.
    const bool fadeUnderHud = blackAlpha > 0.0f && d3d.RenderScale() < 1.0f;
    context.SetBlendState(blendAlpha, noBlendFactor, 0xFFFFFFFF);
    if (fadeUnderHud) {
        DrawFade();
    }
    d3d.EndScaled3D();

    DrawHud(fadeUnderHud);
    shaders.standardShader.SetToDevice();
}

void C_Game::DrawHud(bool faded) {
    FwSpriteShader& sprites = FwShaderManager::GetInstance().spriteShader;
    sprites.Begin(false, true);
    sprites.SetDimming(faded ? blackAlpha : 0.0f);
    if (ending) {
        gameClear->Draw();
    }
    gameOver->Draw();
    hpGauge->Draw();
    sprites.cbSprite.Work().g_mTransform = Matrix::Identity;
    if (player->alive && !ending) {
        sprites.DrawTex(&sightingTexture, 0, 0, 80, 81, FwRect{0, 0, 80, 81}, Color(1.0f, 1.0f, 1.0f, 1.0f));
    }
    sprites.SetDimming(0.0f);
    // A clear fade changes no pixel, and a full-screen layer is a quarter of a frame without a GPU.
    if (blackAlpha > 0.0f && !faded) {
        DrawFade();
    }
    if (paused) {
        DrawPaused();
    }
    sprites.End();
}

void C_Game::DrawFade() {
    FwSpriteShader& sprites = FwShaderManager::GetInstance().spriteShader;
    sprites.cbSprite.Work().g_mTransform = Matrix::Identity;
    sprites.DrawTex(&blackTexture, 0, 0, kScreenWidth, kScreenHeight, FwRect{0, 0, kScreenWidth, kScreenHeight},
                    Color(1.0f, 1.0f, 1.0f, blackAlpha));
}

void C_Game::DrawPaused() {
    constexpr float kDim = 0.6f;
    FwSpriteShader& sprites = FwShaderManager::GetInstance().spriteShader;
    sprites.DrawTex(&blackTexture, 0, 0, kScreenWidth, kScreenHeight, FwRect{0, 0, kScreenWidth, kScreenHeight},
                    Color(1.0f, 1.0f, 1.0f, kDim));
    const std::string text = "PAUSED";
    // Above the sighting mark, which stays where the aim is.
    constexpr float kTextTop = 80.0f;
    const float x = -FwMeasureString(pauseFont, text) / 2.0f;
    sprites.DrawFont(&pauseFont, x, kTextTop, text, Color(1.0f, 1.0f, 1.0f, 1.0f));
}

void C_Game::DumpState(nlohmann::json& out) const {
    out["paused"] = paused;
    out["soundPaused"] = FwAudioManager::GetInstance().Paused();
    out["updates"] = updates;
    out["ending"] = ending;
    out["blackAlpha"] = blackAlpha;
    player->Snapshot(out["player"]);
    weaponItem->Snapshot(out["weaponItem"]);
    camera->Snapshot(out["camera"]);
    // The field of view is read back from the projection the frame drew with, in degrees.
    const float focalY = FwShaderManager::GetInstance().cbCamera.Work().g_mP.m[1][1];
    out["camera"]["fieldOfView"] = 2.0f * std::atan(1.0f / focalY) / Math::kDegToRad;
    stage->Snapshot(out["stage"]);
    elevator->Snapshot(out["elevator"]);
    lamps->Snapshot(out["lamps"]);
    out["hud"] = {{"gameClearAlpha", gameClear->Alpha()}, {"gameOverAlpha", gameOver->Alpha()}};
    // Read from the level files.
    levelLayout.Snapshot(out["level"]);
    out["enemies"] = ListJson(enemies);
    out["chargeRings"] = ListJson(chargeRings);
    out["enemyBullets"] = ListJson(enemyBullets);
    out["drums"] = ListJson(drums);
    out["breakers"] = ListJson(breakers);
    out["stands"] = ListJson(stands);
    out["playerBullets"] = ListJson(playerBullets);
    out["beamShots"] = ListJson(beamShots);
    out["lists"] = {{"enemies", enemies.size()}, {"enemyBullets", enemyBullets.size()},
                    {"playerBullets", playerBullets.size()}, {"drums", drums.size()},
                    {"beamShots", beamShots.size()}, {"armFlashes", armFlashes.size()},
                    {"explosions", explosions.size()}, {"breakerSmokes", breakerSmokes.size()},
                    {"enemyDebris", enemyDebris.size()}, {"stands", stands.size()}, {"breakers", breakers.size()},
                    {"burnMarks", burnMarks.size()}, {"gunFlashes", gunFlashes.size()},
                    {"chargeRings", chargeRings.size()}, {"hitEffects", hitEffects.size()},
                    {"beamLasers", beamLasers.size()}, {"playerHitEffects", playerHitEffects.size()}};
}
