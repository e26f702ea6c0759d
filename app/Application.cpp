#include "app/Application.h"

#include <algorithm>
#include <cmath>
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
#include "framework/FwServices.h"
#include "framework/audio/FwAudioManager.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwSpriteBatch.h"
#include "framework/platform/FwBrowser.h"
#include "framework/platform/FwClock.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwMessageBox.h"
#include "framework/platform/FwScreen.h"
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
    if (!FwStartServices(window.Hwnd(), options.backBufferWidth, options.backBufferHeight, true, false, errorText)) {
        FwMessageBox(errorText, "Direct3D初期化失敗", window.Hwnd());
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
    if (!Init(kScreenWidth, kScreenHeight)) {
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
    const FrameWaitClock clock;
    const uint64_t start = clock.Now();
    window.ProcessMessages();
    if (window.Hwnd() == nullptr) {
        return false;
    }
#ifdef __EMSCRIPTEN__
    // A page cannot close its tab: Esc and the title's quit lead back to the title instead.
    SceneManager& scenes = SceneManager::GetInstance();
    if (FwInput::GetInstance().CloseRequested() && scenes.Current() != nullptr &&
        std::string_view(scenes.Current()->Name()) != "title") {
        scenes.SetNextScene(scenes.Create("title"));
    }
#endif
    FwAudioManager::GetInstance().Update();
    StepScene();
    HandleDisplayKeys();
    TakeFrameOutputs(frame);
    if (frame >= options.slowFrames.first && frame <= options.slowFrames.last) {
        // Stands for drawing that costs this much at full size: its pixels go with the square.
        const float scale = FwDirect3D::GetInstance().RenderScale();
        FwSleepMicroseconds(static_cast<uint64_t>(options.slowFrames.milliseconds * 1000.0f * scale * scale));
    }
    FwDirect3D::GetInstance().Present();
    AdaptRenderScale(clock.Now() - start);
    return true;
}

#ifdef __EMSCRIPTEN__
void Application::BrowserFrame() {
    // While the browser holds the WebGL context back the world waits, so nothing is lost.
    if (FwBrowserGraphicsLost()) {
        return;
    }
    if (const uint32_t restores = FwBrowserGraphicsRestores(); restores != graphicsRestores) {
        graphicsRestores = restores;
        FwDirect3D::GetInstance().RemakeObjects();
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

void Application::StepScene() {
    SceneManager& scenes = SceneManager::GetInstance();
    if (scenes.Step() && scenes.Current()->DrawsScaled3D() && FwGetSettings().renderScale == 0.0f) {
        ProbeRenderScale(*scenes.Current());
    }
}

void Application::ProbeRenderScale(C_Scene& scene) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    const FrameWaitClock clock;
    const auto timeDraw = [&](float scale) {
        d3d.SetRenderScale(scale);
        const uint64_t start = clock.Now();
        scene.DrawFrame();
        d3d.Finish();
        return clock.Now() - start;
    };
    // The frame has drawn at the scale it came in with; the small target is made and its programs
    // run once before it is timed.
    timeDraw(FwDirect3D::kMinRenderScale);
    const uint64_t full = timeDraw(1.0f);
    const uint64_t presentStart = clock.Now();
    d3d.Present();
    d3d.Finish();
    const uint64_t present = clock.Now() - presentStart;
    const uint64_t smallest = timeDraw(FwDirect3D::kMinRenderScale);
    d3d.SetCheaperLook(false);
    timeDraw(renderScaleControl.Start(full + present, smallest + present));
}

void Application::AdaptRenderScale(uint64_t workMicroseconds) {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    d3d.SetRenderScale(renderScaleControl.Next(FwGetSettings().renderScale, workMicroseconds));
    d3d.SetCheaperLook(renderScaleControl.CheaperLook());
}

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
    const FwDirect3D& d3d = FwDirect3D::GetInstance();
    const auto percent = std::lround(d3d.RenderScale() * 100.0f);
    const std::string text = std::to_string(measuredFps) + " fps  3D " + std::to_string(percent) + "%" +
                             (d3d.CheaperLook() ? " lit per vertex" : "");
    constexpr float kMargin = 8.0f;
    const float x = kScreenWidth / 2.0f - kMargin - FwMeasureString(frameRateFont, text);
    FwShaderManager::GetInstance().spriteShader.DrawFont(&frameRateFont, x, kScreenHeight / 2.0f - kMargin, text,
                                                         Color(1.0f, 1.0f, 0.3f, 1.0f));
}

void Application::Release() {
    frameRateFont.Release();
    // The last frame's mouse movement is written only now: a replay must see it too.
    FwInput::GetInstance().StopRecording();
    // Scenes hold textures, buffers and sounds, so they go while the device still exists.
    SceneManager::GetInstance().Release();
    FwStopServices();
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
            {"renderScale", FwDirect3D::GetInstance().RenderScale()},
            {"cheaperLook", FwDirect3D::GetInstance().CheaperLook()},
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
            state["settings"][info.key] = info.flag               ? nlohmann::json(settings.*info.flag)
                                          : info.IsWord(settings) ? nlohmann::json(info.word)
                                                                  : nlohmann::json(settings.*info.number);
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
