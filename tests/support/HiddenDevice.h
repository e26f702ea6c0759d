#pragma once

#include <string>

struct SDL_Window;

// A hidden window with the real graphics device and shader service, for suites that draw: SDL's
// offscreen driver when there is no display; `debug` reports GL errors on standard error. Null
// with the reason in `error` on failure.
SDL_Window* OpenHiddenDevice(int width, int height, std::string& error, bool debug = false);
// Stops the services (the content caches with them), then closes the window.
void CloseHiddenDevice(SDL_Window* window);
