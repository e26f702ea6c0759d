#include "scenes/TitleScene.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "framework/audio/FwSoundEffect.h"
#include "framework/audio/FwSoundInstance.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwDrawModel.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwScreen.h"
#include "scenes/SceneManager.h"

namespace {

constexpr int kCharactersPerFrame = 4;

std::unique_ptr<FwSpriteFont> LoadFont(const char* path) {
    auto font = std::make_unique<FwSpriteFont>();
    if (!font->Load(path)) {
        throw std::runtime_error(std::string("cannot read the sprite font \"") + path + "\"");
    }
    return font;
}

}  // namespace

const char* const TitleScene::kSourceText =
    "bool SkipOnError(istream& istr)\n"
    "if (istr.fail()) {\n"
    "  if (istr.eof()) {\n"
    "exit(EXIT_FAILURE);\n"
    "}\n"
    " char ch;\n"
    " istr.clear();\n"
    " istr >> ch;\n"
    " return true;\n"
    "}else{\n"
    " return false;\n"
    "   }\n"
    "}\n"
    "using UnityEngine;\n"
    "using System.Collections;\n"
    "public class Bullet : MonoBehaviour {\n"
    "float bulletSpeed = 2;\n"
    "void Start() {\n"
    "Destroy(this.gameObject, 5);\n"
    "}\n"
    "void Update() {\n"
    "transform.Translate(0, 0, bulletSpeed);\n"
    "}\n"
    "}";

void TitleScene::Sound::Load(const char* path) {
    effect = std::make_shared<FwSoundEffect>();
    effect->Load(path);
    instance = effect->CreateInstance(false);
}

void TitleScene::Sound::Play() {
    if (instance) {
        instance->Play(false, false);
    }
}

void TitleScene::Sound::Pause() {
    if (instance) {
        instance->Pause();
    }
}

void TitleScene::Sound::SetVolume(float volume) {
    if (instance) {
        instance->SetVolume(volume);
    }
}

bool TitleScene::Sound::IsPlaying() const { return instance && instance->GetState() == FwSoundState::Playing; }

TitleScene::TitleScene() : sourceLength(static_cast<int>(std::strlen(kSourceText)) + 1) {
    typedText.reserve(sourceLength + 1);

    auto& light = FwShaderManager::GetInstance().cbLight;
    light.Work().g_DL_Dir = Vector3(1.0f, -1.0f, 0.0f).Normalized();
    light.Work().g_AmbientLight = Vector3(0.5f, 0.5f, 0.5f);
    light.Write();

    titleTexture.Load("data/texture/Title.png");
    clickTexture.Load("data/texture/click.png");
    blackTexture.Load("data/texture/black.png");
    chestModel.Load("Data/Player/Chest/chest.gltf");
    headModel.Load("Data/Player/Head/head.gltf");
    headWorld = headScale * headRotation * headPosition;
    armModel.Load("Data/Player/LeftArm/armleft.gltf");
    smallFont = LoadFont("Data/Font/SpriteFont_8.dat");
    largeFont = LoadFont("Data/Font/SpriteFont_12.dat");

    keyboardSound.Load("data/sound/Keyboard.wav");
    enterSound.Load("data/sound/enter.wav");
    titleSound.Load("data/sound/title.wav");
    clickSound.Load("data/sound/click.wav");
    keyboardSound.Play();
    keyboardSound.SetVolume(0.4f);
    enterSound.SetVolume(0.4f);
    titleSound.SetVolume(0.3f);
    clickSound.SetVolume(0.5f);
}

TitleScene::~TitleScene() { FwDirect3D::GetInstance().DropKeptPicture(); }

void TitleScene::Update() {
    chestWorld = chestOffset * headWorld;
    armWorld = armOffset * chestWorld;

    if (!FwInput::GetInstance().IsWindowActive()) {
        return;
    }
    if (options) {
        if (!options->Update()) {
            options.reset();
        }
        return;
    }
    SceneManager& scenes = SceneManager::GetInstance();
    const FwInput& input = FwInput::GetInstance();
    if (typedCount == sourceLength) {
        keyboardSound.Pause();
        if (!titleStarted) {
            enterSound.Play();
            titleSound.Play();
            titleStarted = true;
        } else {
            titleAlpha += 0.005f;
        }
        if (titleAlpha <= 1.0f) {
            return;
        }
        if (clickFading) {
            clickAlpha -= 0.01f;
            if (clickAlpha <= 0.5f) {
                clickFading = false;
            }
        } else {
            clickAlpha += 0.03f;
            if (clickAlpha >= 1.0f) {
                clickFading = true;
            }
        }
        if (input.IsKeyDown(FwKey::Return) && scenes.clickLatch == 0) {
            scenes.clickLatch = 1;
            clickSound.Play();
        }
        if (input.IsKeyDown(FwKey::MouseLeft) && scenes.clickLatch == 0) {
            scenes.clickLatch = 1;
            clickSound.Play();
        }
        if (scenes.clickLatch == 1) {
            blackAlpha = std::min(blackAlpha + 0.01f, 1.0f);
        }
        // A fresh press only, so that O still held after leaving the screen does not reopen it.
        const bool optionsKey = input.IsKeyDown(FwKey::O);
        if (optionsKey && !optionsKeyWasDown && scenes.clickLatch == 0) {
            options = std::make_unique<OptionsScreen>(*smallFont, *largeFont, blackTexture);
        }
        optionsKeyWasDown = optionsKey;
    }
    if (blackAlpha >= 1.0f) {
        scenes.SetNextScene(scenes.Create("game"));
        scenes.clickLatch = 0;
    }
}

void TitleScene::Draw() {
    // The models stand still under a fixed camera and light, and fill most of the screen: drawn
    // once and kept, they cost a copy a frame instead of half a frame without a GPU.
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    if (!d3d.ShowKeptPicture()) {
        FwStandardShader& standard = FwShaderManager::GetInstance().standardShader;
        standard.SetToDevice();
        standard.world = chestWorld;
        DrawModel(chestModel);
        standard.world = headWorld;
        DrawModel(headModel);
        standard.world = armWorld;
        DrawModel(armModel);
        d3d.KeepPicture();
    }

    TypeText();
    Draw2D();
    if (options) {
        options->Draw();
    }
}

// The text on screen lags one step behind the count, and typing goes on whether or not the
// window is active.
void TitleScene::TypeText() {
    typedText.assign(sourceText, std::min<size_t>(typedCount, std::strlen(sourceText)));
    typedCount = std::min(typedCount + kCharactersPerFrame, sourceLength);
}

void TitleScene::Draw2D() {
    FwSpriteShader& sprite = FwShaderManager::GetInstance().spriteShader;
    sprite.Begin(false, true);
    sprite.DrawText(smallFont.get(), 10.0f, 150.0f, typedText, Color(0.0f, 1.0f, 0.5f, 1.0f));
    sprite.End();
    sprite.Begin(false, true);
    sprite.DrawText(largeFont.get(), 570.0f, -338.0f, "Ver.1.00", Color(1.0f, 1.0f, 1.0f, 1.0f));
    sprite.End();

    const auto drawCentred = [&sprite](const FwTexture& texture, int width, int height, const Matrix& transform,
                                       float alpha) {
        // Unseen pictures cost their pixels all the same without a GPU.
        if (alpha <= 0.0f) {
            return;
        }
        sprite.cbSprite.Work().g_mTransform = transform;
        sprite.DrawTex(&texture, 0, 0, width, height, FwRect{0, 0, width, height}, Color(1.0f, 1.0f, 1.0f, alpha));
    };
    drawCentred(titleTexture, 1038, 166, titleTransform, titleAlpha);
    drawCentred(clickTexture, 210, 98, clickTransform, clickAlpha);
    drawCentred(blackTexture, kScreenWidth, kScreenHeight, Matrix::Identity, blackAlpha);
}

void TitleScene::DumpState(nlohmann::json& out) const {
    out["title"] = {
        {"typedCount", typedCount},
        {"titleStarted", titleStarted},
        {"titleAlpha", titleAlpha},
        {"clickAlpha", clickAlpha},
        {"clickFading", clickFading},
        {"blackAlpha", blackAlpha},
        {"keyboardSoundPlaying", keyboardSound.IsPlaying()},
        {"options", nullptr},
    };
    if (options) {
        options->DumpState(out["title"]["options"]);
    }
}
