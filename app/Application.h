#pragma once

#include <cstdint>

#include "app/AppOptions.h"
#include "framework/platform/FwWindow.h"

// The process: the window, the services and the one frame loop.
class Application {
public:
    static Application& GetInstance();

    bool Init(int width, int height);
    // Returns the process exit code.
    int Run();

    FwWindow window;
    int32_t measuredFps = 0;
    int32_t targetFps = 60;

    AppOptions options;

private:
    Application() = default;

    void RunLoop();
    void TakeFrameOutputs(uint32_t frame) const;
    void Release();
};
