#pragma once

#include <cstdint>

#include "app/AppOptions.h"
#include "app/RenderScaleControl.h"
#include "framework/graphics/FwSpriteFont.h"
#include "framework/platform/FwWindow.h"

class C_Scene;

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

    // The scene's step for this frame. A new scene that draws 3D at render-scale `auto` has its
    // first frame drawn again at full size and at the smallest scale, timed, and then at the scale
    // where its frames fit (RenderScaleControl::Start): a slow machine's first seconds of a level
    // then run at speed. The world does not change; the extra drawing is part of the switch.
    void StepScene();
    // What the frame that just ended took without the limiter's wait: sets the scale of the next
    // frame's 3D picture from the render-scale setting.
    void AdaptRenderScale(uint64_t workMicroseconds);

private:
    Application() = default;

    void RunLoop();
    // One frame of input, the scene's step, drawing and the frame's outputs; false once the
    // window is gone.
    bool StepFrame(uint32_t frame);
#ifdef __EMSCRIPTEN__
    void BrowserFrame();
    uint32_t browserFrame = 0;
    double nextFrameDue = 0.0;      // milliseconds on the page's clock
    uint32_t graphicsRestores = 0;  // times the page saw the WebGL context come back
#endif
    void ProbeRenderScale(C_Scene& scene);
    // F3 and F12, after the scene has drawn.
    void HandleDisplayKeys();
    void DrawFrameRate();
    void TakeFrameOutputs(uint32_t frame) const;
    void Release();

    uint32_t measureStart = 0;
    uint32_t frameCount = 0;

    // F3: the measured frame rate in the top-right corner.
    bool frameRateShown = false;
    FwSpriteFont frameRateFont;
    RenderScaleControl renderScaleControl;
};
