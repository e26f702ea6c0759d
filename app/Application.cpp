#include "app/Application.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <exception>
#include <fstream>
#include <string>
#include <string_view>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <nlohmann/json.hpp>

#include "app/FrameTiming.h"
#include "app/SceneRegistry.h"
#include "framework/audio/FwAudioManager.h"
#include "framework/audio/FwSoundEffect.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwSpriteBatch.h"
#include "framework/graphics/FwTexture.h"
#include "framework/model/FwModel.h"
#include "framework/platform/FwBrowser.h"
#include "framework/platform/FwClock.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwMessageBox.h"
#include "framework/platform/FwScreenshotFile.h"
#include "framework/platform/FwSettings.h"
#include "scenes/C_Scene.h"
#include "scenes/SceneManager.h"
#include "tools/viewer/ViewerScene.h"

Application& Application::GetInstance() {
    static Application instance;
    return instance;
}

bool Application::Init(int width, int height) {
    RegisterScenes();
    if (!window.Create(width, height, "Quarnel", "Window")) {
        FwMessageBox("ウィンドウ作成に失敗", "エラー", nullptr);
        return false;
    }
    std::string errorText;
    if (!FwDirect3D::GetInstance().Init(window.Hwnd(), options.backBufferWidth, options.backBufferHeight, false,
                                        errorText)) {
        FwMessageBox(errorText, "Direct3D初期化失敗", window.Hwnd());
        return false;
    }
    FwShaderManager::GetInstance().Init();
    if (!FwAudioManager::GetInstance().Init()) {
        FwMessageBox(errorText, "サウンド初期化失敗", window.Hwnd());
        return false;
    }
    return true;
}

int Application::Run() {
    // Without a display SDL would draw into memory and the game would run where nobody sees it.
    if (!FwHasDisplay()) {
        std::fprintf(stderr, "no display: set DISPLAY or WAYLAND_DISPLAY, or run from a desktop session\n");
        return 1;
    }
    if (!Init(1280, 720)) {
        return 1;
    }
    int exitCode = 0;
    try {
        RunLoop();
    } catch (const std::exception& error) {
        // Content the game cannot go on without (the title's fonts): stop in order and say why.
        FwMessageBox(error.what(), "エラー", window.Hwnd());
        exitCode = 1;
    }
    Release();
    return exitCode;
}

void Application::RunLoop() {
    measureStart = FwTimeGetTime();
    SceneManager& scenes = SceneManager::GetInstance();
    if (options.viewPath.empty()) {
        scenes.SetNextScene(scenes.Create("title"));
    } else {
        scenes.SetNextScene(std::make_unique<ViewerScene>(options.viewPath));
    }
#ifdef __EMSCRIPTEN__
    // The browser calls back at each animation frame; this does not return.
    emscripten_set_main_loop_arg([](void* application) { static_cast<Application*>(application)->BrowserFrame(); },
                                 this, 0, true);
#else
    FrameWait wait;
    const FrameWaitClock clock;
    for (uint32_t frame = 1;; ++frame) {
        const uint32_t frameStart = FwTimeGetTime();
        const uint64_t frameStartMicroseconds = clock.Now();
        if (!StepFrame(frame)) {
            break;
        }
        if (!options.unlimited && targetFps > 0) {
            // Whole milliseconds: 16 at 60, so an idle loop runs at 62.5 frames per second.
            const uint64_t budget = 1000 / static_cast<uint64_t>(targetFps);
            wait.Until(clock, frameStartMicroseconds + budget * 1000);
        }
        MeasureFrameRate(frameStart, measureStart, frameCount, measuredFps);
        if (frame == options.frames) {
            break;
        }
    }
#endif
}

bool Application::StepFrame(uint32_t frame) {
    window.ProcessMessages();
    if (window.Hwnd() == nullptr) {
        return false;
    }
    SceneManager& scenes = SceneManager::GetInstance();
#ifdef __EMSCRIPTEN__
    // A page cannot close its tab: Esc and the title's quit lead back to the title instead.
    if (FwInput::GetInstance().CloseRequested() && scenes.Current() != nullptr &&
        std::string_view(scenes.Current()->Name()) != "title") {
        scenes.SetNextScene(scenes.Create("title"));
    }
#endif
    FwAudioManager::GetInstance().Update();
    scenes.Step();
    HandleDisplayKeys();
    TakeFrameOutputs(frame);
    FwDirect3D::GetInstance().Present();
    return true;
}

#ifdef __EMSCRIPTEN__
void Application::BrowserFrame() {
    // While the browser holds the WebGL context back the world waits, so nothing is lost.
    if (FwBrowserGraphicsLost()) {
        return;
    }
    // Animation frames come at the display's rate; the world steps at most at the frame budget,
    // a little early rather than a whole display frame late.
    const double now = emscripten_get_now();
    if (!options.unlimited && targetFps > 0) {
        const double budget = 1000.0 / targetFps;
        constexpr double kEarly = 2.0;
        if (now + kEarly < nextFrameDue) {
            return;
        }
        nextFrameDue = std::max(nextFrameDue + budget, now);
    }
    const uint32_t frame = ++browserFrame;
    const uint32_t frameStart = FwTimeGetTime();
    bool goOn = true;
    try {
        goOn = StepFrame(frame);
    } catch (const std::exception& error) {
        FwMessageBox(error.what(), "エラー", window.Hwnd());
        goOn = false;
    }
    MeasureFrameRate(frameStart, measureStart, frameCount, measuredFps);
    if (!goOn || frame == options.frames) {
        emscripten_cancel_main_loop();
        FwBrowserFinished();
    }
}
#endif

void Application::HandleDisplayKeys() {
    const FwInput& input = FwInput::GetInstance();
    if (input.WasKeyPressed(FwKey::F3)) {
        frameRateShown = !frameRateShown;
    }
    if (frameRateShown) {
        DrawFrameRate();
    }
    if (input.WasKeyPressed(FwKey::F12)) {
        std::vector<uint8_t> png;
        if (!FwDirect3D::GetInstance().EncodeScreenshot(png)) {
            std::fprintf(stderr, "cannot read the picture for a screenshot\n");
        } else if (const std::string path = FwWriteScreenshotFile(FwScreenshotDir(), png, std::time(nullptr));
                   !path.empty()) {
            std::printf("screenshot %s\n", path.c_str());
        }
    }
}

void Application::DrawFrameRate() {
    // Loaded the first time it is shown; without the font the corner stays empty.
    if (!frameRateFont.Loaded() && !frameRateFont.Load("Data/Font/SpriteFont_12.dat")) {
        frameRateShown = false;
        return;
    }
    const std::string text = std::to_string(measuredFps) + " fps";
    constexpr float kMargin = 8.0f;
    const float x = 640.0f - kMargin - FwMeasureString(frameRateFont, text);
    FwShaderManager::GetInstance().spriteShader.DrawFont(&frameRateFont, x, 360.0f - kMargin, text,
                                                         Color(1.0f, 1.0f, 0.3f, 1.0f));
}

void Application::Release() {
    frameRateFont.Release();
    // The last frame's mouse movement is written only now: a replay must see it too.
    FwInput::GetInstance().StopRecording();
    // Scenes hold textures, buffers and sounds, so they go while the device still exists.
    SceneManager::GetInstance().Release();
    // The shared content caches too; models hold textures, so they go first.
    FwModel::ReleaseCache();
    FwTexture::ReleaseCache();
    FwSoundEffect::ReleaseCache();
    FwShaderManager::GetInstance().Release();
    FwDirect3D::GetInstance().Release();
    FwAudioManager::GetInstance().Release();
    window.Destroy();
}

void Application::TakeFrameOutputs(uint32_t frame) const {
    for (const AppOptions::FrameFile& shot : options.screenshots) {
        if (shot.frame == frame && !FwDirect3D::GetInstance().SaveScreenshot(shot.path)) {
            std::fprintf(stderr, "cannot write screenshot %s\n", shot.path.c_str());
        }
    }
    for (const AppOptions::FrameFile& shot : options.windowShots) {
        if (shot.frame == frame) {
            FwDirect3D::GetInstance().RequestWindowShot(shot.path);
        }
    }
    for (const AppOptions::FrameFile& dump : options.dumps) {
        if (dump.frame != frame) {
            continue;
        }
        const SceneManager& scenes = SceneManager::GetInstance();
        nlohmann::json state = {
            {"frame", frame},
            {"measuredFps", measuredFps},
            {"clickLatch", scenes.clickLatch},
            {"sceneRequested", scenes.HasPendingScene()},
            {"frameRateShown", frameRateShown},
        };
        const FwInput& input = FwInput::GetInstance();
        int windowWidth = 0;
        int windowHeight = 0;
        SDL_GetWindowSize(window.Hwnd(), &windowWidth, &windowHeight);
        const FwViewRect view = FwLetterbox(windowWidth, windowHeight);
        state["window"] = {
            {"size", {windowWidth, windowHeight}},
            {"fullscreen", window.IsFullscreen()},
            {"picture", {view.x, view.y, view.width, view.height}},
        };
        const FwVirtualRumble& rumble = input.VirtualRumble();
        state["input"] = {
            {"gamepad", input.GamepadConnected()},
            {"mouseCaptured", input.MouseCaptured()},
            {"pointer", {input.PointerX(), input.PointerY()}},
            {"virtualRumble",
             {{"pulses", rumble.pulses},
              {"on", rumble.on},
              {"strength", rumble.strength},
              {"milliseconds", rumble.milliseconds}}},
        };
        const FwSettings& settings = FwGetSettings();
        for (const FwSettingInfo& info : FwSettingInfos()) {
            state["settings"][info.key] =
                info.number ? nlohmann::json(settings.*info.number) : nlohmann::json(settings.*info.flag);
        }
        // Bindings as the file writes them, and the names screens show under the player's layout.
        for (size_t i = 0; i < FwKeyBindingInfos().size(); ++i) {
            const FwKeyBindingInfo& info = FwKeyBindingInfos()[i];
            state["settings"][info.settingKey] = FwScancodeName(settings.keyBindings[i]);
            state["input"]["keyNames"][info.settingKey] = FwBoundKeyName(info.key);
        }
        // A frame has run, so there is always a current scene.
        const C_Scene& scene = *scenes.Current();
        state["scene"] = scene.Name();
        scene.DumpState(state);
        std::ofstream out(dump.path);
        out << state.dump(2) << '\n';
        if (!out) {
            std::fprintf(stderr, "cannot write state %s\n", dump.path.c_str());
        }
#ifdef __EMSCRIPTEN__
        FwBrowserPublishSnapshot(frame, state.dump(2));
#endif
    }
}
