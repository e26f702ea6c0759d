#include "framework/platform/FwMessageBox.h"

#include <cstdio>

#include <SDL.h>

namespace {
bool boxesEnabled = true;
}

void FwMessageBox(const std::string& text, const std::string& caption, SDL_Window* owner) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    if (boxesEnabled) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), owner);
    }
}

void FwEnableMessageBoxes(bool enabled) { boxesEnabled = enabled; }
