#include "framework/graphics/FwDirect3D.h"

#ifndef __EMSCRIPTEN__
#include <dlfcn.h>
#include <link.h>
#endif
#include <malloc.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string_view>

#include <stb_image_write.h>

#include "framework/graphics/FwGL.h"
#include "framework/platform/FwInput.h"
#include "framework/platform/FwWindow.h"

namespace {

constexpr uint32_t kFirstTempVertexBufferSize = 80;

// Start-up failures, in the order of the steps that can produce them.
constexpr const char* kFactoryFailed = "ファクトリー作成失敗";
constexpr const char* kDeviceFailed = "Direct3D11デバイス作成失敗";
constexpr const char* kSwapChainFailed = "スワップチェイン作成失敗";
constexpr const char* kBackBufferGetFailed = "バックバッファ取得失敗";
constexpr const char* kBackBufferFailed = "バックバッファ作成失敗";
constexpr const char* kDepthBufferFailed = "Zバッファ作成失敗";

struct BlendFactors {
    GLenum src;
    GLenum dest;
    GLenum srcAlpha;
    GLenum destAlpha;
};

// Indexed by FwBlendMode: Opaque, Alpha, Add. Every operation adds.
constexpr BlendFactors kBlendFactors[] = {
    {GL_ONE, GL_ZERO, GL_ONE, GL_ZERO},
    {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA},
    {GL_SRC_ALPHA, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA},
};

// The state kept under `key`, made by `make` on the first call. A failure is not kept, so a later
// call tries again.
template <typename Map, typename Make>
typename Map::mapped_type Cached(Map& states, const typename Map::key_type& key, Make make) {
    auto found = states.find(key);
    if (found == states.end()) {
        typename Map::mapped_type state = make();
        if (!state) {
            return nullptr;
        }
        found = states.emplace(key, std::move(state)).first;
    }
    return found->second;
}

// Filtering, wrapping and comparison of a sampler object; `anisotropy` is 0 where the driver has
// no anisotropic filtering.
void SetSamplerParameters(GLuint sampler, FwFilter filter, FwAddressMode address, bool comparison,
                          uint32_t anisotropy) {
    const GLint wrap = address == FwAddressMode::Clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, wrap);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, wrap);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, wrap);
    const bool point = filter == FwFilter::Point && !comparison;
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, point ? GL_NEAREST_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, point ? GL_NEAREST : GL_LINEAR);
    if (comparison) {
        glSamplerParameteri(sampler, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
        glSamplerParameteri(sampler, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    }
    if (anisotropy > 1 && !comparison) {
        glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY_EXT, static_cast<float>(anisotropy));
    }
    glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, 0.0f);
    glSamplerParameterf(sampler, GL_TEXTURE_MAX_LOD, FLT_MAX);
}

#ifndef __EMSCRIPTEN__
void GLAPIENTRY ReportDebugMessage(GLenum /*source*/, GLenum type, GLuint /*id*/, GLenum severity, GLsizei /*length*/,
                                   const GLchar* message, const void* /*user*/) {
    if (type == GL_DEBUG_TYPE_ERROR || severity == GL_DEBUG_SEVERITY_HIGH) {
        std::fprintf(stderr, "GL: %s\n", message);
    }
}

// Sanitizer builds only. Destroying the window (EGL) or closing the video subsystem (GLX) makes
// Mesa dlclose its DRI driver; the blocks the driver's static data still points at then look
// leaked to LeakSanitizer at exit, allocated in a module it can no longer name. Pinned, the
// driver stays loaded until exit, so its data still counts and its own frames keep their name.
void KeepGraphicsDriverLoaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (std::string_view(info->dlpi_name).ends_with("_dri.so")) {
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}
#endif

// A software driver (llvmpipe) builds each frame's commands in memory it frees once the frame is
// drawn. glibc moves its thresholds for returning freed memory to the system as large blocks come
// and go, so the process's size wandered by 10 MB over a long run; fixed ones hold it flat. Memory
// a frame frees below the threshold goes back to the system and is faulted in again the next frame:
// views that bin many triangles free 8 MB and more a frame, and at 8 MB those frames took twice as
// long (1,400 page faults each); at 32 MB no frame of a play-through faults.
void KeepAllocatorThresholdsFixed() {
#ifdef __GLIBC__
    constexpr int kThresholdBytes = 32 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kThresholdBytes);
    mallopt(M_TRIM_THRESHOLD, kThresholdBytes);
#endif
}

}  // namespace

FwDirect3D& FwDirect3D::GetInstance() {
    static FwDirect3D instance;
    return instance;
}

FwDirect3D::~FwDirect3D() {
    // At process exit the window system may already be gone; then there is nothing left to free.
    if (glContext != nullptr && SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        Release();
    }
}

bool FwDirect3D::Init(SDL_Window* targetWindow, int backBufferWidth, int backBufferHeight, bool debug,
                      std::string& errorText) {
    Release();
    const auto fail = [&](const char* message) {
        errorText = message;
        Release();
        return false;
    };
    if (targetWindow == nullptr || (SDL_GetWindowFlags(targetWindow) & SDL_WINDOW_OPENGL) == 0 ||
        backBufferWidth <= 0 || backBufferHeight <= 0) {
        return fail(kFactoryFailed);
    }
    KeepAllocatorThresholdsFixed();
    if (!CreateContext(targetWindow, debug)) {
        return fail(kDeviceFailed);
    }
    window = targetWindow;
    width = backBufferWidth;
    height = backBufferHeight;
    SDL_GL_SetSwapInterval(0);
    frameBuffer = FwGLObject::Generate(FwGLKind::Framebuffer);
    if (!frameBuffer) {
        return fail(kSwapChainFailed);
    }
    if (const char* failed = CreateTarget(frameBuffer, width, height, backBuffer, &depthBuffer)) {
        return fail(failed);
    }
    if (!context.Init(height)) {
        return fail(kDeviceFailed);
    }
    BindStartStates();

    const uint32_t whiteTexel = 0xFFFFFFFF;
    whiteTexture = std::make_shared<FwTexture>();
    whiteTexture->Create(1, 1, FwFormat::R8G8B8A8_UNORM, 1, &whiteTexel);
    for (int i = 0; i < kTempVertexBufferCount; ++i) {
        tempVB[static_cast<size_t>(i)].Create(FwBind::kVertexBuffer, kFirstTempVertexBufferSize << i, FwUsage::Dynamic);
    }
    return true;
}

bool FwDirect3D::CreateContext(SDL_Window* targetWindow, bool debug) {
    FwRequestGLContext();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, debug ? SDL_GL_CONTEXT_DEBUG_FLAG : 0);
    glContext = SDL_GL_CreateContext(targetWindow);
    if (glContext == nullptr || SDL_GL_MakeCurrent(targetWindow, glContext) != 0) {
        return false;
    }
#ifdef __EMSCRIPTEN__
    // WebGL 2 has no clip control: the programs map depth themselves (FwShaderProgram).
    FwGLObject::BeginContext();
    static_cast<void>(debug);
    anisotropySupported = SDL_GL_ExtensionSupported("GL_EXT_texture_filter_anisotropic") == SDL_TRUE;
    return true;
#else
    if (QUARNEL_SANITIZE) {
        KeepGraphicsDriverLoaded();
    }
    FwGLObject::BeginContext();
    const int version = epoxy_gl_version();
    // Zero-to-one depth is what lets the left-handed projections work unchanged.
    if (version < 33 || (version < 45 && !epoxy_has_gl_extension("GL_ARB_clip_control"))) {
        return false;
    }
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    // A software rasterizer takes anisotropic filtering literally, several taps per fetch, and the
    // stage then costs two to three times as much to draw; there the samplers stay trilinear.
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const bool software = renderer != nullptr && (std::strstr(renderer, "llvmpipe") != nullptr ||
                                                  std::strstr(renderer, "softpipe") != nullptr);
    anisotropySupported = !software && (version >= 46 || epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") ||
                                        epoxy_has_gl_extension("GL_ARB_texture_filter_anisotropic"));
    if (debug && (version >= 43 || epoxy_has_gl_extension("GL_KHR_debug"))) {
        glEnable(GL_DEBUG_OUTPUT);
        glDebugMessageCallback(ReportDebugMessage, nullptr);
    }
    return true;
#endif
}

const char* FwDirect3D::CreateTarget(const FwGLObject& target, int targetWidth, int targetHeight,
                                     std::shared_ptr<FwTexture>& color, std::shared_ptr<FwTexture>* depth) const {
    glBindFramebuffer(GL_FRAMEBUFFER, target.Name());
    FwTextureDesc colorDesc;
    colorDesc.width = static_cast<uint32_t>(targetWidth);
    colorDesc.height = static_cast<uint32_t>(targetHeight);
    colorDesc.format = FwFormat::R8G8B8A8_UNORM;
    colorDesc.bindFlags = FwBind::kRenderTarget | FwBind::kShaderResource;
    color = std::make_shared<FwTexture>();
    if (!color->Create(colorDesc)) {
        return kBackBufferGetFailed;
    }
    if (!AttachToFrameBuffer(GL_COLOR_ATTACHMENT0, color->RenderTargetView())) {
        return kBackBufferFailed;
    }
    if (depth != nullptr) {
        FwTextureDesc depthDesc = colorDesc;
        depthDesc.format = FwFormat::R32_TYPELESS;
        depthDesc.bindFlags = FwBind::kShaderResource | FwBind::kDepthStencil;
        *depth = std::make_shared<FwTexture>();
        if (!(*depth)->Create(depthDesc) || !AttachToFrameBuffer(GL_DEPTH_ATTACHMENT, (*depth)->DepthStencilView())) {
            return kDepthBufferFailed;
        }
    }
#ifdef __EMSCRIPTEN__
    const GLuint depthView = depth != nullptr ? (*depth)->DepthStencilView() : 0;
    target.KeepRecipe([colorView = color->RenderTargetView(), depthView](GLuint name) {
        glBindFramebuffer(GL_FRAMEBUFFER, name);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorView, 0);
        if (depthView != 0) {
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthView, 0);
        }
    });
#endif
    return nullptr;
}

bool FwDirect3D::AttachToFrameBuffer(GLenum attachment, GLuint view) const {
    glFramebufferTexture2D(GL_FRAMEBUFFER, attachment, GL_TEXTURE_2D, view, 0);
    return view != 0 && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void FwDirect3D::BindStartStates() {
    FwViewport viewport;
    viewport.width = static_cast<float>(width);
    viewport.height = static_cast<float>(height);
    context.SetViewport(viewport);
    context.SetBlendState(CreateBlendState(FwBlendMode::Alpha), Color(0.0f, 0.0f, 0.0f, 0.0f), 0xFFFFFFFF);
    context.SetSampler(0, CreateSamplerState(FwFilter::Anisotropic, 4, FwAddressMode::Wrap, false));
    context.SetSampler(1, CreateSamplerState(FwFilter::Anisotropic, 4, FwAddressMode::Clamp, false));
    context.SetRasterizerState(CreateRasterizerState(FwCullMode::Back, FwFillMode::Solid, true, false));
    context.SetDepthStencilState(CreateDepthStencilState(true, true), 0);
}

void FwDirect3D::Release() {
    for (FwBuffer& buffer : tempVB) {
        buffer.Release();
    }
    spareVB.Release();
    backBuffer.reset();
    depthBuffer.reset();
    ReleaseScaledTarget();
    DropKeptPicture();
    renderScale = 1.0f;
    cheaperLook = false;
    whiteTexture.reset();
    frameBuffer.Reset();
    context.Release();
    blendStates.clear();
    depthStencilStates.clear();
    rasterizerStates.clear();
    samplerStates.clear();
    if (glContext != nullptr) {
        SDL_GL_DeleteContext(glContext);
        glContext = nullptr;
    }
    FwGLObject::EndContext();
    window = nullptr;
    width = 0;
    height = 0;
}

void FwDirect3D::Present() {
    if (glContext == nullptr) {
        return;
    }
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    const FwViewRect view = FwLetterbox(drawableWidth, drawableHeight);
    context.ApplyScissor(false);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (!windowTarget) {
        if (view.width != drawableWidth || view.height != drawableHeight) {
            const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
            glClearBufferfv(GL_COLOR, 0, black);
        }
        const GLenum filter = view.width == width && view.height == height ? GL_NEAREST : GL_LINEAR;
        // GL counts rows from the bottom; the bars are the same size at both ends, so y is unchanged.
        glBlitFramebuffer(0, 0, width, height, view.x, view.y, view.x + view.width, view.y + view.height,
                          GL_COLOR_BUFFER_BIT, filter);
    }
    windowTarget = false;
    if (!windowShotPath.empty()) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        std::vector<uint8_t> rgba;
        ReadPixels(drawableWidth, drawableHeight, rgba);
        if (stbi_write_png(windowShotPath.c_str(), drawableWidth, drawableHeight, 4, rgba.data(), drawableWidth * 4) ==
            0) {
            std::fprintf(stderr, "cannot write window picture %s\n", windowShotPath.c_str());
        }
        windowShotPath.clear();
    }
    SDL_GL_SwapWindow(window);
    glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer.Name());
    context.ApplyScissor(true);
}

#ifdef __EMSCRIPTEN__
void FwDirect3D::RemakeObjects() {
    if (glContext == nullptr) {
        return;
    }
    FwGLObject::RemakeAll();
    // The kept picture's texture is made again empty.
    pictureKept = false;
    context.Reapply();
    glBindFramebuffer(GL_FRAMEBUFFER, scaledBound ? scaledFrameBuffer.Name() : BackBufferName());
}
#endif

void FwDirect3D::Finish() const {
    if (glContext != nullptr) {
        glFinish();
    }
}

void FwDirect3D::SetRenderScale(float scale) { renderScale = std::clamp(scale, kMinRenderScale, 1.0f); }

void FwDirect3D::BeginFrame() {
    if (windowTarget) {
        windowTarget = false;
        glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer.Name());
    }
}

void FwDirect3D::BeginScaled3D() {
    if (glContext == nullptr || renderScale >= 1.0f) {
        return;
    }
    const int scaledWidth = static_cast<int>(std::lround(renderScale * static_cast<float>(width)));
    const int scaledHeight = static_cast<int>(std::lround(renderScale * static_cast<float>(height)));
    if (!scaledColor || static_cast<int>(scaledColor->Width()) != scaledWidth ||
        static_cast<int>(scaledColor->Height()) != scaledHeight) {
        ReleaseScaledTarget();
        scaledFrameBuffer = FwGLObject::Generate(FwGLKind::Framebuffer);
        if (!scaledFrameBuffer ||
            CreateTarget(scaledFrameBuffer, scaledWidth, scaledHeight, scaledColor, &scaledDepth) != nullptr) {
            // Without it the 3D passes draw at full size, as they would at scale 1.
            ReleaseScaledTarget();
            glBindFramebuffer(GL_FRAMEBUFFER, frameBuffer.Name());
            return;
        }
    }
    int drawableWidth = 0;
    int drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    windowTarget = drawableWidth == width && drawableHeight == height;
    glBindFramebuffer(GL_FRAMEBUFFER, scaledFrameBuffer.Name());
    savedViewport = context.Viewport();
    FwViewport viewport;
    viewport.width = static_cast<float>(scaledWidth);
    viewport.height = static_cast<float>(scaledHeight);
    context.SetTargetHeight(scaledHeight);
    context.SetViewport(viewport);
    scaledBound = true;
}

void FwDirect3D::EndScaled3D() {
    if (!scaledBound) {
        return;
    }
    scaledBound = false;
    context.ApplyScissor(false);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, scaledFrameBuffer.Name());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, BackBufferName());
    glBlitFramebuffer(0, 0, static_cast<GLint>(scaledColor->Width()), static_cast<GLint>(scaledColor->Height()), 0, 0,
                      width, height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, BackBufferName());
    context.ApplyScissor(true);
    context.SetTargetHeight(height);
    context.SetViewport(savedViewport);
}

bool FwDirect3D::KeepPicture() {
    if (glContext == nullptr || scaledBound) {
        return false;
    }
    if (!keptFrameBuffer) {
        keptFrameBuffer = FwGLObject::Generate(FwGLKind::Framebuffer);
        if (!keptFrameBuffer || CreateTarget(keptFrameBuffer, width, height, keptColor, nullptr) != nullptr) {
            DropKeptPicture();
            glBindFramebuffer(GL_FRAMEBUFFER, BackBufferName());
            return false;
        }
    }
    CopyColor(BackBufferName(), keptFrameBuffer.Name());
    pictureKept = true;
    return true;
}

bool FwDirect3D::ShowKeptPicture() {
    if (!pictureKept || scaledBound) {
        return false;
    }
    CopyColor(keptFrameBuffer.Name(), BackBufferName());
    return true;
}

void FwDirect3D::DropKeptPicture() {
    keptColor.reset();
    keptFrameBuffer.Reset();
    pictureKept = false;
}

void FwDirect3D::CopyColor(GLuint from, GLuint to) const {
    // Same size and format: the driver copies memory instead of drawing.
    context.ApplyScissor(false);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, BackBufferName());
    context.ApplyScissor(true);
}

void FwDirect3D::ReleaseScaledTarget() {
    scaledColor.reset();
    scaledDepth.reset();
    scaledFrameBuffer.Reset();
    scaledBound = false;
}

void FwDirect3D::ClearBackBuffer(const Color& color) {
    if (glContext != nullptr) {
        context.ClearColor(color);
    }
}

void FwDirect3D::ClearDepthStencil(float depth, uint8_t /*stencil*/) {
    // The depth buffer has no stencil bits.
    if (glContext != nullptr) {
        context.ClearDepth(depth);
    }
}

bool FwDirect3D::ReadBackBuffer(std::vector<uint8_t>& rgba) const {
    if (glContext == nullptr) {
        return false;
    }
    ReadPixels(width, height, rgba);
    return true;
}

// The bound read frame buffer's pixels, top row first.
void FwDirect3D::ReadPixels(int readWidth, int readHeight, std::vector<uint8_t>& rgba) {
    const size_t rowBytes = static_cast<size_t>(readWidth) * 4;
    std::vector<uint8_t> bottomUp(rowBytes * static_cast<size_t>(readHeight));
    glReadPixels(0, 0, readWidth, readHeight, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    rgba.resize(bottomUp.size());
    for (int row = 0; row < readHeight; ++row) {
        std::memcpy(&rgba[static_cast<size_t>(row) * rowBytes],
                    &bottomUp[static_cast<size_t>(readHeight - 1 - row) * rowBytes], rowBytes);
    }
}

bool FwDirect3D::EncodeScreenshot(std::vector<uint8_t>& png) const {
    std::vector<uint8_t> rgba;
    if (!ReadBackBuffer(rgba)) {
        return false;
    }
    for (size_t i = 3; i < rgba.size(); i += 4) {
        rgba[i] = 255;
    }
    png.clear();
    const auto append = [](void* context, void* data, int size) {
        auto* bytes = static_cast<std::vector<uint8_t>*>(context);
        const auto* first = static_cast<const uint8_t*>(data);
        bytes->insert(bytes->end(), first, first + size);
    };
    return stbi_write_png_to_func(append, &png, width, height, 4, rgba.data(), width * 4) != 0;
}

bool FwDirect3D::SaveScreenshot(const std::string& pngPath) const {
    std::vector<uint8_t> png;
    if (!EncodeScreenshot(png)) {
        return false;
    }
    std::FILE* file = std::fopen(pngPath.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}

FwBlendStatePtr FwDirect3D::CreateBlendState(FwBlendMode mode) const {
    return Cached(blendStates, mode, [mode]() -> FwBlendStatePtr {
        const auto index = static_cast<size_t>(mode);
        if (index >= std::size(kBlendFactors)) {
            return nullptr;
        }
        const BlendFactors& factors = kBlendFactors[index];
        auto state = std::make_shared<FwBlendState>();
        state->blendEnable = true;
        state->srcBlend = factors.src;
        state->destBlend = factors.dest;
        state->srcBlendAlpha = factors.srcAlpha;
        state->destBlendAlpha = factors.destAlpha;
        return state;
    });
}

FwDepthStencilStatePtr FwDirect3D::CreateDepthStencilState(bool depthEnable, bool depthWrite) const {
    return Cached(depthStencilStates, std::make_tuple(depthEnable, depthWrite),
                  [depthEnable, depthWrite]() -> FwDepthStencilStatePtr {
                      auto state = std::make_shared<FwDepthStencilState>();
                      state->depthEnable = depthEnable;
                      state->depthWrite = depthWrite;
                      state->depthFunc = GL_LEQUAL;
                      return state;
                  });
}

FwRasterizerStatePtr FwDirect3D::CreateRasterizerState(FwCullMode cull, FwFillMode fill, bool depthClip,
                                                       bool scissor) const {
    return Cached(rasterizerStates, std::make_tuple(cull, fill, depthClip, scissor),
                  [cull, fill, depthClip, scissor]() -> FwRasterizerStatePtr {
                      auto state = std::make_shared<FwRasterizerState>();
                      state->cull = cull;
                      state->fill = fill;
                      state->frontCounterClockwise = false;
                      state->depthClip = depthClip;
                      state->scissor = scissor;
                      return state;
                  });
}

FwSamplerStatePtr FwDirect3D::CreateSamplerState(FwFilter filter, uint32_t maxAnisotropy, FwAddressMode address,
                                                 bool comparison) const {
    return Cached(samplerStates, std::make_tuple(filter, maxAnisotropy, address, comparison),
                  [this, filter, maxAnisotropy, address, comparison]() -> FwSamplerStatePtr {
                      auto state = std::make_shared<FwSamplerState>();
                      state->filter = filter;
                      state->address = address;
                      state->maxAnisotropy = filter == FwFilter::Anisotropic ? maxAnisotropy : 0;
                      state->comparison = comparison;
                      state->sampler = FwGLObject::Generate(FwGLKind::Sampler);
                      if (!state->sampler) {
                          return nullptr;
                      }
                      const uint32_t anisotropy = anisotropySupported ? state->maxAnisotropy : 0;
                      SetSamplerParameters(state->sampler.Name(), filter, address, comparison, anisotropy);
#ifdef __EMSCRIPTEN__
                      state->sampler.KeepRecipe([filter, address, comparison, anisotropy](GLuint name) {
                          SetSamplerParameters(name, filter, address, comparison, anisotropy);
                      });
#endif
                      return state;
                  });
}

size_t FwDirect3D::StateCount() const {
    return blendStates.size() + depthStencilStates.size() + rasterizerStates.size() + samplerStates.size();
}

void FwDirect3D::DrawVertices(FwTopology topology, uint32_t count, const void* vertices, uint32_t stride) {
    context.SetTopology(topology);
    const uint32_t byteSize = count * stride;
    FwBuffer* buffer = nullptr;
    for (FwBuffer& candidate : tempVB) {
        if (candidate.Size() > byteSize) {
            buffer = &candidate;
            break;
        }
    }
    if (buffer == nullptr) {
        if (spareVB.Size() < byteSize) {
            spareVB.Create(FwBind::kVertexBuffer, byteSize, FwUsage::Dynamic);
        }
        buffer = &spareVB;
    }
    buffer->WriteData(vertices, byteSize);
    context.SetVertexBuffer(buffer, stride, 0);
    context.Draw(count, 0);
}
