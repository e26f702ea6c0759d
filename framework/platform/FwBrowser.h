#pragma once

// What the game tells the page it runs in (app/web/index.html); the browser build only.

#include <cstdint>
#include <string>

#ifdef __EMSCRIPTEN__
// A --dump-state snapshot: written to the console and into <pre id="snapshot-FRAME">.
void FwBrowserPublishSnapshot(uint32_t frame, const std::string& json);
// The run reached --frames: the page's title becomes "done".
void FwBrowserFinished();
// Writes the settings folder through to the browser's storage.
void FwBrowserKeepSettings();
// Whether a click on the page should lock the pointer to it (the game aims with the mouse).
void FwBrowserWantPointerLock(bool wanted);
// The browser has taken the WebGL context away and not given it back yet.
bool FwBrowserGraphicsLost();
// Counts the times the context came back; the renderer remakes its objects when it changes.
uint32_t FwBrowserGraphicsRestores();
#endif
