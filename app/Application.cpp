#include "app/Application.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "app/FrameTiming.h"
#include "framework/audio/FwAudioManager.h"
#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/platform/FwClock.h"
#include "framework/platform/FwMessageBox.h"
#include "framework/platform/FwSettings.h"
#include "scenes/C_Scene.h"
#include "scenes/SceneManager.h"
#include "scenes/TitleScene.h"
#include "tools/viewer/ViewerScene.h"

Application& Application::GetInstance() {
    static Application instance;
    return instance;
}

bool Application::Init(int width, int height) {
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
    uint32_t measureStart = FwTimeGetTime();
    SceneManager& scenes = SceneManager::GetInstance();
    if (options.viewPath.empty()) {
        scenes.SetNextScene(std::make_unique<TitleScene>());
    } else {
        scenes.SetNextScene(std::make_unique<ViewerScene>(options.viewPath));
    }

    uint32_t frameCount = 0;
    for (uint32_t frame = 1;; ++frame) {
        const uint32_t frameStart = FwTimeGetTime();
        window.ProcessMessages();
        if (window.Hwnd() == nullptr) {
            break;
        }
        FwAudioManager::GetInstance().Update();
        scenes.Step();
        TakeFrameOutputs(frame);
        FwDirect3D::GetInstance().Present();

        if (!options.unlimited) {
            const uint32_t budget = 1000 / static_cast<uint32_t>(targetFps);
            const uint32_t sleep = FrameSleepTime(frameStart, FwTimeGetTime(), budget);
            if (sleep > 0) {
                FwSleep(sleep);
            }
        }
        MeasureFrameRate(frameStart, measureStart, frameCount, measuredFps);
        if (frame == options.frames) {
            break;
        }
    }
}

void Application::Release() {
    // Scenes hold textures, buffers and sounds, so they go while the device still exists.
    SceneManager::GetInstance().Release();
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
        };
        const FwSettings& settings = FwGetSettings();
        for (const FwSettingInfo& info : FwSettingInfos()) {
            state["settings"][info.key] =
                info.number ? nlohmann::json(settings.*info.number) : nlohmann::json(settings.*info.flag);
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
    }
}
