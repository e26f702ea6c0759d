#include "framework/platform/FwBrowser.h"

#ifdef __EMSCRIPTEN__

#include <emscripten.h>

namespace {

// clang-format off
EM_JS(void, PublishSnapshot, (uint32_t frame, const char* json), {
    const text = UTF8ToString(json);
    console.log(text);
    const pre = document.createElement("pre");
    pre.id = "snapshot-" + frame;
    pre.textContent = text;
    (document.getElementById("snapshots") || document.body).appendChild(pre);
});

EM_JS(void, SetPointerLockWanted, (int wanted), { Module.pointerLockWanted = wanted !== 0; });

// The context is lost before the page hears of it: a frame in between must not step the world.
EM_JS(int, GraphicsLost, (), { return Module.graphicsLost || (Module.ctx && Module.ctx.isContextLost()) ? 1 : 0; });

EM_JS(uint32_t, GraphicsRestores, (), { return Module.graphicsRestores || 0; });
// clang-format on

}  // namespace

void FwBrowserPublishSnapshot(uint32_t frame, const std::string& json) { PublishSnapshot(frame, json.c_str()); }

void FwBrowserFinished() { emscripten_run_script("document.title = 'done';"); }

void FwBrowserKeepSettings() {
    emscripten_run_script("FS.syncfs(false, (error) => { if (error) console.warn('settings not kept: ' + error); });");
}

void FwBrowserWantPointerLock(bool wanted) { SetPointerLockWanted(wanted ? 1 : 0); }

bool FwBrowserGraphicsLost() { return GraphicsLost() != 0; }

uint32_t FwBrowserGraphicsRestores() { return GraphicsRestores(); }

#endif
