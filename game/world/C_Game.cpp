#include "game/world/C_Game.h"

#include <cstdlib>

#include <nlohmann/json.hpp>

#include "framework/audio/FwAudioManager.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/platform/FwClock.h"
#include "framework/platform/FwInput.h"
#include "game/effects/C_GameOver.h"
#include "game/effects/C_HPGauge.h"
#include "game/player/C_Camera.h"
#include "game/player/C_Player.h"
#include "game/player/C_PlayerCollision.h"
#include "game/world/C_Elevator.h"
#include "game/world/C_GameClear.h"
#include "game/world/C_GoalArea.h"
#include "game/world/C_Lamps.h"
#include "game/world/C_Stage.h"

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

nlohmann::json ToJson(const Vector3& v) { return nlohmann::json::array({v.x, v.y, v.z}); }

}  // namespace

C_Game::C_Game() {
    std::srand(FwRandomSeed());
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
    goalArea = std::make_unique<C_GoalArea>();
    player = std::make_unique<C_Player>(this);
    player->position = levelLayout.startPosition;
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
    rasterNoCull = d3d.CreateRasterizerState(FwCullMode::None, FwFillMode::Solid, true, false);
    rasterBackCull = d3d.CreateRasterizerState(FwCullMode::Back, FwFillMode::Solid, true, false);
}

C_Game::~C_Game() {
    FwInput::GetInstance().ShowCursor(true);
    blendAdd.reset();
    blendAlpha.reset();
    rasterNoCull.reset();
    rasterBackCull.reset();
    player.reset();
    playerCollision.reset();
    stage.reset();
    hpGauge.reset();
    goalArea.reset();
    gameClear.reset();
    gameOver.reset();
    elevator.reset();
    camera.reset();
    lamps.reset();
    sightingTexture.Release();
    blackTexture.Release();
}

void C_Game::Update() {
    ++updates;
    blackAlpha -= kFadePerFrame;
    if (blackAlpha < 0.0f) {
        blackAlpha = 0.0f;
    }
    player->Update();
    playerCollision->Update();
    hpGauge->Update();
    goalArea->Update();
    if (goalArea->Contains(player->position)) {
        ending = true;
        gameClear->Update();
    }
    elevator->Update();
    if (player->hitPoints <= 0.0f) {
        gameOver->Update();
    }
    lamps->Update();
    SetListener(player->chestWorld.Translation());
}

void C_Game::SetListener(const Vector3& position) const {
    FwAudioManager& audio = FwAudioManager::GetInstance();
    const Matrix& view = FwShaderManager::GetInstance().cbCamera.Get().g_mV;
    audio.listener.position = position;
    audio.listener.front = view.Invert().Facing();
    audio.listener.top = view.Up();
    audio.ApplyListener();
}

void C_Game::SetCamera() {
    Matrix view;
    if (!ending) {
        camera->Update();
        view = Matrix::CreateLookAtLH(camera->position, camera->target, camera->up);
    } else {
        // A level that starts on the goal area ends before the camera has ever placed itself.
        if (camera->up == Vector3::Zero) {
            camera->Update();
        }
        StepToward(camera->position, endEyeTarget);
        StepToward(camera->target, endFocusTarget);
        // The target is taken as a direction here: the camera looks roughly along -x.
        view = Matrix::CreateLookToLH(camera->position, camera->target.Normalized(), camera->up);
    }
    FwConstantBuffer<cbCamera>& constants = FwShaderManager::GetInstance().cbCamera;
    constants.Work().g_mV = view;
    constants.Work().g_mP = Matrix::CreatePerspectiveFieldOfViewLH(Math::kPi / 3.0f, 1280.0f / 720.0f, 0.01f, 1000.0f);
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
    elevator->Draw();
    lamps->Draw();
    // The treads and arms are open shells: both sides must show.
    context.SetRasterizerState(rasterNoCull);
    player->Draw();
    context.SetRasterizerState(rasterBackCull);
    playerCollision->Draw();

    // Glowing parts of the actors add light.
    context.SetBlendState(blendAdd, noBlendFactor, 0xFFFFFFFF);
    // Quads and billboards with the effect program.
    context.SetBlendState(blendAlpha, noBlendFactor, 0xFFFFFFFF);
    shaders.effectShader.SetToDevice();
    goalArea->Draw();
    // Additive effects, seen from both sides.
    context.SetBlendState(blendAdd, noBlendFactor, 0xFFFFFFFF);
    context.SetRasterizerState(rasterNoCull);
    // Effects that show through walls.
    context.SetDepthStencilState(d3d.CreateDepthStencilState(false, true), 0);
    context.SetRasterizerState(rasterBackCull);
    // Depth-tested effects again.
    context.SetDepthStencilState(d3d.CreateDepthStencilState(true, true), 0);

    context.SetBlendState(blendAlpha, noBlendFactor, 0xFFFFFFFF);
    DrawHud();
    shaders.standardShader.SetToDevice();
}

void C_Game::DrawHud() const {
    FwSpriteShader& sprites = FwShaderManager::GetInstance().spriteShader;
    sprites.Begin(false, true);
    if (ending) {
        gameClear->Draw();
    }
    gameOver->Draw();
    hpGauge->Draw();
    sprites.cbSprite.Work().g_mTransform = Matrix::Identity;
    if (player->alive && !ending) {
        sprites.DrawTex(&sightingTexture, 0, 0, 80, 81, FwRect{0, 0, 80, 81}, Color(1.0f, 1.0f, 1.0f, 1.0f));
    }
    sprites.DrawTex(&blackTexture, 0, 0, 1280, 720, FwRect{0, 0, 1280, 720}, Color(1.0f, 1.0f, 1.0f, blackAlpha));
    sprites.End();
}

void C_Game::DumpState(nlohmann::json& out) const {
    out["updates"] = updates;
    out["player"] = {
        {"position", ToJson(player->position)},
        {"legYaw", player->legYaw},
        {"yaw", player->yaw},
        {"pitch", player->pitch},
        {"hitPoints", player->hitPoints},
        {"alive", player->alive},
        {"arrived", player->arrived},
        {"moving", player->moving},
    };
    out["camera"] = {{"position", ToJson(camera->position)}, {"target", ToJson(camera->target)}};
    out["ending"] = ending;
    out["blackAlpha"] = blackAlpha;
    out["elevator"] = {
        {"rightDoor", ToJson(elevator->RightDoorPosition())},
        {"leftDoor", ToJson(elevator->LeftDoorPosition())},
        {"opening", elevator->Opening()},
        {"opened", elevator->Opened()},
        {"closed", elevator->Closed()},
        {"doorsClosed", elevator->DoorsClosed()},
        {"soundsPlayed", elevator->SoundsPlayed()},
    };
    out["lamps"] = {{"litIndex", lamps->LitIndex()}, {"countdown", lamps->Countdown()}};
    out["hud"] = {
        {"gameClearAlpha", gameClear->Alpha()},
        {"gameOverAlpha", gameOver->Alpha()},
    };
    // Read from the level files; their objects join the scene with their own classes.
    out["level"] = {
        {"start", ToJson(levelLayout.startPosition)}, {"enemies", levelLayout.enemies.size()},
        {"drums", levelLayout.drums.size()},          {"breakers", levelLayout.breakers.size()},
        {"stands", levelLayout.stands.size()},
    };
    out["lists"] = nlohmann::json::object();
}
