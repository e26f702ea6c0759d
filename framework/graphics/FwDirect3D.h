#pragma once

// The graphics device: an OpenGL 3.3 core context on the game window, the offscreen back buffer
// and depth buffer the scenes draw into (copied to the window by Present), the states every
// draw starts from, factories for further states, a pool of dynamic vertex buffers for vertices
// drawn straight from memory, and a 1x1 white texture.
//
// Depth runs from 0 at the near plane to 1 at the far plane, as the left-handed projections
// produce it, and front faces are clockwise on screen.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <SDL.h>

#include "framework/graphics/FwBuffer.h"
#include "framework/graphics/FwDeviceContext.h"
#include "framework/graphics/FwRenderStates.h"
#include "framework/graphics/FwTexture.h"
#include "framework/math/SimpleMath.h"

class FwDirect3D {
public:
    static constexpr int kTempVertexBufferCount = 10;

    static FwDirect3D& GetInstance();

    // Makes the GL context on the window. On failure errorText holds the message to show and
    // everything made so far is released.
    bool Init(SDL_Window* window, int width, int height, bool debug, std::string& errorText);
    void Release();

    // Copies the back buffer to the window, scaled to the largest rectangle of the picture's shape
    // with black bars beside it (FwLetterbox), and swaps without waiting for the vertical blank.
    void Present();
    // The next Present also writes the window's picture, bars included, as a PNG to `pngPath`.
    void RequestWindowShot(const std::string& pngPath) { windowShotPath = pngPath; }
    // The game scene's 3D passes draw at this share of the back buffer's width and height
    // (kMinRenderScale to 1; the application's render-scale setting picks it).
    static constexpr float kMinRenderScale = 0.5f;
    void SetRenderScale(float scale);
    float RenderScale() const { return renderScale; }
    // The cheaper look, for frames that miss their budget at kMinRenderScale: the lit program
    // lights the scaled 3D passes per vertex instead of per pixel (DrawingScaled3D). Other scenes
    // and frames at full size keep the full look.
    void SetCheaperLook(bool on) { cheaperLook = on; }
    bool CheaperLook() const { return cheaperLook; }
    bool DrawingScaled3D() const { return scaledBound; }
    // A scene's drawing starts in the back buffer, also when the last frame drew into the window
    // and was not presented (a frame drawn again, a test's frames).
    void BeginFrame();
    // Below scale 1, binds a colour and depth target of round(scale * Width()) x round(scale *
    // Height()) with a viewport over all of it; EndScaled3D draws it up into the back buffer with
    // bilinear filtering and binds the back buffer again. At scale 1 both do nothing: the passes
    // draw straight into the back buffer, as every other scene does.
    // When the window's drawable is the back buffer's size, a scaled frame's back buffer is the
    // window itself: its 2D passes need no depth, and Present then only swaps, which saves a
    // full-size copy a frame (a millisecond and more without a GPU). The pixels are the same,
    // but for a 2D edge lying exactly on a pixel centre: the window's rows run top-down, and such
    // an edge rounds the other way.
    void BeginScaled3D();
    void EndScaled3D();
    // A picture that stays the same from frame to frame need not be drawn again: KeepPicture
    // copies the back buffer's colour as it stands into a target of the same size and format, and
    // ShowKeptPicture copies it back, a plain copy of a fraction of a millisecond where drawing it
    // costs several without a GPU. ShowKeptPicture is false when there is none to show (none kept
    // since the last DropKeptPicture, or the browser took the context meanwhile): draw it then.
    bool KeepPicture();
    bool ShowKeptPicture();
    void DropKeptPicture();
#ifdef __EMSCRIPTEN__
    // The browser gave back the context it had taken: every GPU object is made again under its
    // name (FwGLObject::RemakeAll) and the bound states are set once more.
    void RemakeObjects();
#endif
    // Waits until everything drawn so far is done, for timing the drawing.
    void Finish() const;
    // Clear the bound target: the back buffer, or the scaled 3D target between the two above.
    void ClearBackBuffer(const Color& color);
    void ClearDepthStencil(float depth, uint8_t stencil);
    // The back buffer as RGBA, top row first.
    bool ReadBackBuffer(std::vector<uint8_t>& rgba) const;
    // The back buffer as a PNG file's bytes, alpha forced to 255.
    bool EncodeScreenshot(std::vector<uint8_t>& png) const;
    bool SaveScreenshot(const std::string& pngPath) const;

    int Width() const { return width; }
    int Height() const { return height; }
    FwDeviceContext& Context() { return context; }
    const std::shared_ptr<FwTexture>& BackBuffer() const { return backBuffer; }
    const std::shared_ptr<FwTexture>& DepthBuffer() const { return depthBuffer; }
    const std::shared_ptr<FwTexture>& WhiteTexture() const { return whiteTexture; }
    const FwBuffer& TempVertexBuffer(int index) const { return tempVB.at(static_cast<size_t>(index)); }
    const FwBuffer& SpareVertexBuffer() const { return spareVB; }

    // The same description gives the same state object, made on the first call and kept until
    // Release, so a draw may ask for its states every frame. Opaque, Alpha and Add; any other
    // blend mode gives no state.
    FwBlendStatePtr CreateBlendState(FwBlendMode mode) const;
    FwDepthStencilStatePtr CreateDepthStencilState(bool depthEnable, bool depthWrite) const;
    FwRasterizerStatePtr CreateRasterizerState(FwCullMode cull, FwFillMode fill, bool depthClip, bool scissor) const;
    FwSamplerStatePtr CreateSamplerState(FwFilter filter, uint32_t maxAnisotropy, FwAddressMode address,
                                         bool comparison) const;
    // How many state objects the factories have made since Init.
    size_t StateCount() const;

    // Draws vertices that lie in memory through the buffer pool, with the bound layout and program.
    void DrawVertices(FwTopology topology, uint32_t count, const void* vertices, uint32_t stride);

private:
    FwDirect3D() = default;
    ~FwDirect3D();

    bool CreateContext(SDL_Window* targetWindow, bool debug);
    // A colour and a depth texture of that size attached to `target`, left bound; the failure
    // message of the step that failed, or null.
    // `depth` may be null for a colour-only target.
    const char* CreateTarget(const FwGLObject& target, int targetWidth, int targetHeight,
                             std::shared_ptr<FwTexture>& color, std::shared_ptr<FwTexture>* depth) const;
    // Copies all of the colour of `from` into `to`, both the back buffer's size and format.
    void CopyColor(GLuint from, GLuint to) const;
    bool AttachToFrameBuffer(GLenum attachment, GLuint view) const;
    void ReleaseScaledTarget();
    void BindStartStates();
    static void ReadPixels(int readWidth, int readHeight, std::vector<uint8_t>& rgba);

    SDL_GLContext glContext = nullptr;
    FwDeviceContext context;
    SDL_Window* window = nullptr;
    FwGLObject frameBuffer;
    std::shared_ptr<FwTexture> backBuffer;
    std::shared_ptr<FwTexture> depthBuffer;
    float renderScale = 1.0f;
    bool cheaperLook = false;
    FwGLObject scaledFrameBuffer;
    std::shared_ptr<FwTexture> scaledColor;
    std::shared_ptr<FwTexture> scaledDepth;
    bool scaledBound = false;
    bool windowTarget = false;  // this frame's back buffer is the window's (see BeginScaled3D)
    FwGLObject keptFrameBuffer;
    std::shared_ptr<FwTexture> keptColor;
    bool pictureKept = false;
    GLuint BackBufferName() const { return windowTarget ? 0 : frameBuffer.Name(); }
    FwViewport savedViewport;
    std::array<FwBuffer, kTempVertexBufferCount> tempVB;
    FwBuffer spareVB;
    std::shared_ptr<FwTexture> whiteTexture;
    int width = 0;
    int height = 0;
    bool anisotropySupported = false;
    std::string windowShotPath;
    mutable std::map<FwBlendMode, FwBlendStatePtr> blendStates;
    mutable std::map<std::tuple<bool, bool>, FwDepthStencilStatePtr> depthStencilStates;
    mutable std::map<std::tuple<FwCullMode, FwFillMode, bool, bool>, FwRasterizerStatePtr> rasterizerStates;
    mutable std::map<std::tuple<FwFilter, uint32_t, FwAddressMode, bool>, FwSamplerStatePtr> samplerStates;
};
