#pragma once

#include <memory>
#include <string>

#include "framework/graphics/FwSpriteFont.h"
#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"
#include "framework/model/FwModel.h"
#include "scenes/C_Scene.h"
#include "scenes/OptionsScreen.h"

class FwSoundEffect;
class FwSoundInstance;

// The first screen: a posed robot, source text typing itself out, the title fading in, and a
// pulsing prompt. Enter or a click fades to black and starts a play-through; O opens the options
// screen over it, and the title stands still until that is left.
class TitleScene : public C_Scene {
public:
    // Throws std::runtime_error naming the file when a sprite font cannot be read: the screen
    // cannot be shown without its text.
    TitleScene();
    ~TitleScene() override;

    void Update() override;
    void Draw() override;

    const char* Name() const override { return "title"; }
    void DumpState(nlohmann::json& out) const override;

    // The decoration text: 24 lines of program source.
    static const char* const kSourceText;

private:
    // One effect with its one instance; either may be missing, and then nothing is heard.
    struct Sound {
        std::shared_ptr<FwSoundEffect> effect;
        std::shared_ptr<FwSoundInstance> instance;

        void Load(const char* path);
        void Play();
        void Pause();
        void SetVolume(float volume);
        bool IsPlaying() const;
    };

    void TypeText();
    void Draw2D();

    FwTexture titleTexture;
    Matrix titleTransform = Matrix::CreateTranslation(0.0f, 200.0f, 0.0f);
    float titleAlpha = 0.0f;
    FwTexture clickTexture;
    Matrix clickTransform = Matrix::CreateTranslation(0.0f, -225.0f, 0.0f);
    float clickAlpha = 0.0f;
    bool clickFading = false;
    FwTexture blackTexture;
    float blackAlpha = 0.0f;
    Matrix headRotation = Matrix::CreateRotationY(2.1816616f);
    Matrix headScale = Matrix::CreateScale(3.5f);
    FwModel chestModel;
    Matrix chestWorld;
    Matrix chestOffset = Matrix::CreateTranslation(0.0f, -1.18f, 0.0f);
    FwModel headModel;
    Matrix headWorld;
    Matrix headPosition = Matrix::CreateTranslation(-5.0f, -0.5f, 0.0f);
    FwModel armModel;
    Matrix armWorld;
    Matrix armOffset = Matrix::CreateTranslation(-2.1f, 0.0f, 0.1f);
    std::unique_ptr<FwSpriteFont> smallFont;
    std::unique_ptr<FwSpriteFont> largeFont;
    std::string typedText;
    const char* sourceText = kSourceText;
    int typedCount = 0;
    int sourceLength;
    Sound keyboardSound;
    Sound enterSound;
    bool titleStarted = false;
    Sound titleSound;
    Sound clickSound;
    std::unique_ptr<OptionsScreen> options;
    bool optionsKeyWasDown = false;
};
