#include "tests/support/HiddenDevice.h"

#include <cstdlib>

#include <SDL.h>

#include "framework/FwServices.h"

SDL_Window* OpenHiddenDevice(int width, int height, std::string& error, bool debug) {
    if (std::getenv("DISPLAY") == nullptr) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_Window* window = SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    if (!FwStartServices(window, width, height, false, debug, error)) {
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    return window;
}

void CloseHiddenDevice(SDL_Window* window) {
    FwStopServices();
    if (window != nullptr) {
        SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}
