#include "framework/platform/FwWindow.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <SDL.h>

#include "framework/platform/FwInput.h"
#include "framework/platform/FwSettings.h"

namespace {
constexpr int kWheelDelta = 120;  // one notch, as the game expects it
}

void FwRequestGLContext() {
#ifdef __EMSCRIPTEN__
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
#else
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
#endif
}

bool FwHasDisplay() {
#ifdef __EMSCRIPTEN__
    // A page is always shown in its browser's window.
    return true;
#else
    const auto set = [](const char* value) { return value != nullptr && value[0] != '\0'; };
    if (set(SDL_GetHint(SDL_HINT_VIDEODRIVER))) {
        return true;
    }
    // Without either variable SDL's probing only adds a warning of the Wayland library's own.
    if (!set(std::getenv("DISPLAY")) && !set(std::getenv("WAYLAND_DISPLAY"))) {
        return false;
    }
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
#endif
}

FwWindow::~FwWindow() { Destroy(); }

bool FwWindow::Create(int width, int height, const std::string& title, const std::string& /*className*/) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return false;
    }
    // The scenes apply their own rule to input while the window is inactive, so the controller's
    // state is kept current whatever has the focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0 && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "no game controllers: %s\n", SDL_GetError());
    }
    FwRequestGLContext();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The scene draws into its own back buffer and depth buffer; the window only receives a copy.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);

    // SDL sizes the client area, so no border correction is needed.
    const Uint32 fullscreen = FwGetSettings().fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
    hwnd = SDL_CreateWindow(title.c_str(), 0, 0, width, height,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | fullscreen);
    if (hwnd == nullptr) {
        return false;
    }
    return true;
}

bool FwWindow::ProcessMessages() {
    mouseWheel = 0;
    FwInput& input = FwInput::GetInstance();
    if (hwnd != nullptr) {
        int clientWidth = 0;
        int clientHeight = 0;
        SDL_GetWindowSize(hwnd, &clientWidth, &clientHeight);
        input.SetWindowSize(clientWidth, clientHeight);
    }
    input.BeginFrame();

    bool quit = false;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_QUIT) {
            quit = true;
        }
        input.HandleEvent(event);
    }
    input.PollGamepad();
    if (input.FullscreenToggleRequested()) {
        FwGetSettings().fullscreen = !FwGetSettings().fullscreen;
    }
    FollowFullscreenSetting();
    if (input.RequestedWidth() != 0 && !IsFullscreen()) {
        SDL_SetWindowSize(hwnd, input.RequestedWidth(), input.RequestedHeight());
    }
    if (input.WheelNotches() != 0) {
        mouseWheel = input.WheelNotches() * kWheelDelta;
    }
#ifndef __EMSCRIPTEN__
    // A browser tab is closed by the browser: there the application takes the request back to the title.
    if (input.CloseRequested()) {
        Close();
    }
#endif
    return !quit;
}

void FwWindow::FollowFullscreenSetting() {
    bool& fullscreen = FwGetSettings().fullscreen;
    if (hwnd == nullptr || fullscreen == IsFullscreen()) {
        return;
    }
    if (SDL_SetWindowFullscreen(hwnd, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        std::fprintf(stderr, "cannot change to %s: %s\n", fullscreen ? "fullscreen" : "a window", SDL_GetError());
        // The setting says what the window is, so a refused change is not retried every frame.
        fullscreen = IsFullscreen();
    }
}

bool FwWindow::IsFullscreen() const {
    return hwnd != nullptr &&
           (SDL_GetWindowFlags(hwnd) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
}

void FwWindow::Close() {
    if (hwnd != nullptr) {
        SDL_HideWindow(hwnd);
        closed = hwnd;
        hwnd = nullptr;
    }
}

void FwWindow::Destroy() {
    Close();
    if (closed != nullptr) {
        SDL_DestroyWindow(closed);
        closed = nullptr;
    }
}
