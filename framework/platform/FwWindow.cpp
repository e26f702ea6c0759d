#include "framework/platform/FwWindow.h"

#include <SDL.h>

#include "framework/platform/FwInput.h"

namespace {
constexpr int kWheelDelta = 120;  // one notch, as the game expects it
}

FwWindow::~FwWindow() { Destroy(); }

bool FwWindow::Create(int width, int height, const std::string& title, const std::string& /*className*/) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The scene draws into its own back buffer and depth buffer; the window only receives a copy.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);

    // SDL sizes the client area, so no border correction is needed; the window is not resizable.
    hwnd = SDL_CreateWindow(title.c_str(), 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (hwnd == nullptr) {
        return false;
    }
    return true;
}

bool FwWindow::ProcessMessages() {
    mouseWheel = 0;
    FwInput& input = FwInput::GetInstance();
    input.BeginFrame();

    bool quit = false;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_QUIT) {
            quit = true;
        }
        input.HandleEvent(event);
    }
    if (input.WheelNotches() != 0) {
        mouseWheel = input.WheelNotches() * kWheelDelta;
    }
    if (input.CloseRequested()) {
        Close();
    }
    return !quit;
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
