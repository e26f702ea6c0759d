#pragma once

#include <string>

struct SDL_Window;

// The services every scene uses, started in their order: the graphics device on `window`, drawing
// at `width` x `height`, the shader service, then (with `sound`) the sound service, which runs
// silently without a sound device. False with the reason in `error` when the device cannot start;
// nothing is left started then. `debug` reports GL errors on standard error.
bool FwStartServices(SDL_Window* window, int width, int height, bool sound, bool debug, std::string& error);

// Releases the shared content caches (models first: they hold textures), then the shader service,
// the device and sound. Whatever else holds device or sound objects (the scenes) must be gone.
void FwStopServices();
