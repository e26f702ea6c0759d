#pragma once

// A 2D texture (or array or cube of them): an image file, a texture made from a description, or an
// adopted texture, with the views its bind flags allow. Texel row 0 is the top of the picture, so
// texture coordinate (0, 0) is the top-left corner of an image file.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "framework/graphics/FwBuffer.h"
#include "framework/graphics/FwGLObject.h"

enum class FwFormat {
    Unknown,
    R8G8B8A8_UNORM,
    R8_UNORM,
    R32G32B32A32_FLOAT,
    // Depth formats: sampled as their red channel, attached as depth.
    R32_TYPELESS,
    R24G8_TYPELESS,
    R16_TYPELESS,
};

struct FwTextureDesc {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t mipLevels = 1;  // 0 means the full chain
    uint32_t arraySize = 1;
    FwFormat format = FwFormat::Unknown;
    uint32_t bindFlags = FwBind::kShaderResource;
    bool cube = false;  // with an array size of 6
};

// Pixels of a decoded image file, row 0 at the top: 8-bit images as RGBA8, HDR images as RGBA32F.
struct FwImage {
    struct PixelsFree {
        void operator()(void* pixels) const;
    };
    uint32_t width = 0;
    uint32_t height = 0;
    FwFormat format = FwFormat::Unknown;
    std::unique_ptr<void, PixelsFree> pixels;
};

// Images whose header claims more than this on either side are refused before any pixel is
// decoded: far beyond what the game draws, and 256 MB of RGBA already.
constexpr uint32_t kMaxImageDimension = 8192;
// No format compresses better than this (deflate stays under 1032:1 on bytes, 8 pixels a byte at
// 1 bit); a header claiming more pixels than its file could encode is refused too, instead of
// being filled with zeros at the cost of the memory and time it names.
constexpr uint64_t kMaxPixelsPerFileByte = 16384;
// Radiance runs hold at most 127 samples of one channel in two bytes, four channels a pixel: under
// 16 pixels a byte. stb_image fills what a short file lacks with zeros, slowly, in floats.
constexpr uint64_t kMaxRadiancePixelsPerFileByte = 32;
// The formats without a deflate, LZW, Huffman or long-run coding (BMP, PSD, PNM, TGA) store
// pixels raw or in runs of at most 128 behind a header byte: 64 pixels a byte at the most.
constexpr uint64_t kMaxPackedPixelsPerFileByte = 64;

// Whether the bytes of an image file may be handed to stb_image: a format it knows, within the
// limits above, and none of the constructions it mishandles. False with the reason in `error`.
bool FwCheckImage(std::span<const uint8_t> bytes, std::string& error);
// Decodes the bytes of an image file (PNG, JPEG, BMP, GIF, TGA, HDR and the other formats
// stb_image knows) once FwCheckImage allows it. False with the reason in `error`.
bool FwDecodeImage(std::span<const uint8_t> bytes, FwImage& image, std::string& error);

class FwTexture {
public:
    FwTexture() = default;
    FwTexture(const FwTexture&) = delete;
    FwTexture& operator=(const FwTexture&) = delete;
    FwTexture(FwTexture&&) = default;
    FwTexture& operator=(FwTexture&&) = default;

    // Reads PNG, JPEG, BMP, GIF, TGA, HDR and the other formats stb_image knows; the path is
    // resolved against the content root. An empty path fails without touching the file system.
    // Textures only sampled share one GPU texture per file (see FwFileCache); render and depth
    // targets are always made anew.
    bool Load(const std::string& path, bool renderTarget = false, bool depthStencil = false,
              bool generateMipmaps = false);
    // initialData, when given, holds mip level 0 of every slice, rows packed without padding.
    bool Create(const FwTextureDesc& description, const void* initialData = nullptr);
    bool Create(uint32_t width, uint32_t height, FwFormat format, uint32_t arraySize,
                const void* initialData = nullptr);
    // Takes ownership of a texture made elsewhere with the given description.
    bool CreateFromTexture(FwGLObject&& existing, const FwTextureDesc& description);
    void Release();
    // Forgets the shared file textures; called before the device goes.
    static void ReleaseCache();
    // How many files the shared cache holds.
    static size_t CacheSize();

    // The views are the texture's name where its bind flags allow that use, else 0.
    GLuint ShaderResourceView() const { return srv; }
    GLuint RenderTargetView() const { return rtv; }
    GLuint DepthStencilView() const { return dsv; }
    GLenum Target() const { return target; }
    const FwTextureDesc& Desc() const { return desc; }
    uint32_t Width() const { return desc.width; }
    uint32_t Height() const { return desc.height; }
    const std::string& Path() const { return filepath; }
    // Every texel of an 8-bit texture made from pixels has full alpha: at full alpha elsewhere,
    // alpha blending it changes nothing, so it may be drawn without blending.
    bool Opaque() const { return opaque; }

private:
    bool LoadFile(const std::string& path, uint32_t bindFlags, bool generateMipmaps);
    bool CreateViews();

    std::shared_ptr<const FwGLObject> texture;  // shared by the loads of one file
    GLenum target = kFwTexture2D;
    GLuint srv = 0;
    GLuint rtv = 0;
    GLuint dsv = 0;
    FwTextureDesc desc;
    std::string filepath;
    bool opaque = false;
};
