#include "framework/graphics/FwTexture.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>
#include <vector>

#include <stb_image.h>

#include "framework/graphics/FwGL.h"
#include "framework/platform/FwFileCache.h"
#include "framework/platform/FwPath.h"

static_assert(kFwTexture2D == GL_TEXTURE_2D);

namespace {

// Textures are made on a unit that no program samples, so creating one never disturbs the
// textures bound for drawing.
constexpr GLuint kScratchUnit = 15;
constexpr uint32_t kMaxDimension = 16384;

struct FormatInfo {
    GLenum internalFormat;
    GLenum format;
    GLenum type;
    uint32_t bytesPerTexel;
    bool depth;
};

bool LookUpFormat(FwFormat format, FormatInfo& info) {
    switch (format) {
    case FwFormat::R8G8B8A8_UNORM:
        info = {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 4, false};
        return true;
    case FwFormat::R8_UNORM:
        info = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1, false};
        return true;
    case FwFormat::R32G32B32A32_FLOAT:
        info = {GL_RGBA32F, GL_RGBA, GL_FLOAT, 16, false};
        return true;
    case FwFormat::R32_TYPELESS:
        info = {GL_DEPTH_COMPONENT32F, GL_DEPTH_COMPONENT, GL_FLOAT, 4, true};
        return true;
    case FwFormat::R24G8_TYPELESS:
        info = {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 4, true};
        return true;
    case FwFormat::R16_TYPELESS:
        info = {GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, 2, true};
        return true;
    case FwFormat::Unknown:
        break;
    }
    return false;
}

uint32_t FullMipCount(uint32_t width, uint32_t height) {
    uint32_t count = 1;
    for (uint32_t size = width > height ? width : height; size > 1; size /= 2) {
        ++count;
    }
    return count;
}

GLenum TargetFor(const FwTextureDesc& desc) {
    if (desc.arraySize == 1) {
        return GL_TEXTURE_2D;
    }
    return desc.cube && desc.arraySize == 6 ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D_ARRAY;
}

void AllocateLevels(GLenum target, const FwTextureDesc& desc, const FormatInfo& info, const uint8_t* data) {
    const size_t sliceBytes = size_t{desc.width} * desc.height * info.bytesPerTexel;
    for (uint32_t level = 0; level < desc.mipLevels; ++level) {
        const GLsizei w = static_cast<GLsizei>(desc.width >> level > 0 ? desc.width >> level : 1);
        const GLsizei h = static_cast<GLsizei>(desc.height >> level > 0 ? desc.height >> level : 1);
        const uint8_t* levelData = level == 0 ? data : nullptr;
        const auto glLevel = static_cast<GLint>(level);
        const auto internal = static_cast<GLint>(info.internalFormat);
        if (target == GL_TEXTURE_2D) {
            glTexImage2D(target, glLevel, internal, w, h, 0, info.format, info.type, levelData);
        } else if (target == GL_TEXTURE_CUBE_MAP) {
            for (GLenum face = 0; face < 6; ++face) {
                glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, glLevel, internal, w, h, 0, info.format, info.type,
                             levelData != nullptr ? levelData + face * sliceBytes : nullptr);
            }
        } else {
            glTexImage3D(target, glLevel, internal, w, h, static_cast<GLsizei>(desc.arraySize), 0, info.format,
                         info.type, levelData);
        }
    }
}

// Gives the texture `name` its levels for a checked description; level 0 takes the data, and with
// generateMipmaps the chain below it is filled from it.
void FillTexture(GLuint name, const FwTextureDesc& desc, const FormatInfo& info, const void* data,
                 bool generateMipmaps) {
    const GLenum target = TargetFor(desc);
    glActiveTexture(GL_TEXTURE0 + kScratchUnit);
    glBindTexture(target, name);
    AllocateLevels(target, desc, info, static_cast<const uint8_t*>(data));
    if (generateMipmaps && data != nullptr) {
        glGenerateMipmap(target);
    }
    // Without a sampler object bound the texture's own parameters apply: linear and clamped,
    // the default sampler. The level range keeps a texture without a chain complete.
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(target, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glTexParameteri(target, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(desc.mipLevels - 1));
    glBindTexture(target, 0);
}

// Makes the GL texture for a description (mipLevels 0 becomes the full count); see FillTexture.
bool MakeTexture(FwTextureDesc& desc, const void* data, bool generateMipmaps, FwGLObject& texture) {
    FormatInfo info{};
    const uint32_t fullMips = FullMipCount(desc.width, desc.height);
    if (!LookUpFormat(desc.format, info) || desc.width == 0 || desc.height == 0 || desc.width > kMaxDimension ||
        desc.height > kMaxDimension || desc.arraySize == 0 || desc.mipLevels > fullMips) {
        return false;
    }
    if (desc.mipLevels == 0 || (generateMipmaps && desc.mipLevels == 1)) {
        desc.mipLevels = fullMips;
    }
    FwGLObject made = FwGLObject::Generate(FwGLKind::Texture);
    if (!made) {
        return false;
    }
    FwDrainGLErrors();
    FillTexture(made.Name(), desc, info, data, generateMipmaps);
    if (glGetError() != GL_NO_ERROR) {
        return false;
    }
    texture = std::move(made);
    return true;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

// RGBA8 texels whose alpha is all 255.
bool AllOpaque(const void* rgba, size_t texels) {
    const auto* bytes = static_cast<const uint8_t*>(rgba);
    for (size_t i = 0; i < texels; ++i) {
        if (bytes[i * 4 + 3] != 255) {
            return false;
        }
    }
    return true;
}

FwFileCache<FwTexture>& TextureCache() {
    static FwFileCache<FwTexture> cache;
    return cache;
}

// Decodes an image file into a new texture: 8-bit images as RGBA8, HDR images as RGBA32F.
bool LoadTextureFile(const std::string& path, uint32_t bindFlags, bool generateMipmaps, FwGLObject& texture,
                     FwTextureDesc& desc, bool& opaque, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadFile(FwResolvePath(path), bytes)) {
        error = "cannot open the file";
        return false;
    }
    FwImage image;
    if (!FwDecodeImage(bytes, image, error)) {
        return false;
    }
    desc = FwTextureDesc{};
    desc.width = image.width;
    desc.height = image.height;
    desc.format = image.format;
    desc.bindFlags = bindFlags;
    opaque =
        image.format == FwFormat::R8G8B8A8_UNORM && AllOpaque(image.pixels.get(), size_t(desc.width) * desc.height);
    if (!MakeTexture(desc, image.pixels.get(), generateMipmaps, texture)) {
        error = "the GL texture cannot be made";
        return false;
    }
#ifdef __EMSCRIPTEN__
    // The file is read again rather than its pixels kept twice in memory.
    texture.KeepRecipe([path, made = desc, generateMipmaps](GLuint name) {
        std::vector<uint8_t> again;
        FwImage pixels;
        std::string ignored;
        FormatInfo format{};
        if (ReadFile(FwResolvePath(path), again) && FwDecodeImage(again, pixels, ignored) &&
            LookUpFormat(made.format, format)) {
            FillTexture(name, made, format, pixels.pixels.get(), generateMipmaps);
        }
    });
#endif
    return true;
}

// stb_image 2.27 builds a JPEG Huffman table before checking that its code counts add up to at
// most 256, and writes past the table when they do not. Every byte pair that could start a table
// segment (FF C4) is checked the way stb_image would read the segment.
bool JpegHuffmanTablesFit(std::span<const uint8_t> bytes) {
    const auto at = [&](size_t i) -> uint32_t { return i < bytes.size() ? bytes[i] : 0; };
    for (size_t marker = 0; marker + 1 < bytes.size(); ++marker) {
        if (bytes[marker] != 0xFF || bytes[marker + 1] != 0xC4) {
            continue;
        }
        int64_t left = int64_t{at(marker + 2) << 8 | at(marker + 3)} - 2;
        for (size_t table = marker + 4; left > 0 && table < bytes.size();) {
            uint32_t codes = 0;
            for (size_t length = 1; length <= 16; ++length) {
                codes += at(table + length);
            }
            if (codes > 256) {
                return false;
            }
            table += 17 + codes;
            left -= 17 + codes;
        }
    }
    return true;
}

// stb_image 2.27 reads the width, height and largest value of a PNM header into an int without
// checking for overflow: the three numbers are read as it reads them and must fit in 9 digits.
bool PnmHeaderNumbersFit(std::span<const uint8_t> bytes) {
    size_t at = 2;
    for (int number = 0; number < 3; ++number) {
        while (at < bytes.size() && (std::isspace(bytes[at]) != 0 || bytes[at] == '#')) {
            if (bytes[at] == '#') {
                while (at < bytes.size() && bytes[at] != '\n' && bytes[at] != '\r') {
                    ++at;
                }
            } else {
                ++at;
            }
        }
        size_t digits = 0;
        for (; at < bytes.size() && std::isdigit(bytes[at]) != 0; ++at) {
            ++digits;
        }
        if (digits > 9) {
            return false;
        }
    }
    return true;
}

// How many pixels a byte of this file may hold, by its format's signature. TGA has none, and
// stb_image tries it last, so whatever is not named here is held to the packed formats' rule.
uint64_t MaxPixelsPerFileByte(std::span<const uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (stbi_is_hdr_from_memory(bytes.data(), static_cast<int>(bytes.size())) != 0) {
        return kMaxRadiancePixelsPerFileByte;
    }
    if (bytes[0] == 0xFF || text.starts_with("\x89PNG") || text.starts_with("GIF8") ||
        text.starts_with("\x53\x80\xF6\x34")) {
        return kMaxPixelsPerFileByte;
    }
    return kMaxPackedPixelsPerFileByte;
}

}  // namespace

void FwImage::PixelsFree::operator()(void* pixels) const { stbi_image_free(pixels); }

bool FwCheckImage(std::span<const uint8_t> bytes, std::string& error) {
    if (bytes.empty() || bytes.size() > size_t{INT32_MAX}) {
        error = bytes.empty() ? "the file is empty" : "the file is larger than 2 GB";
        return false;
    }
    // Before stb_image reads even the header: it builds the tables it finds on the way. It takes
    // any number of FF fill bytes before the start marker, so every file starting with FF counts.
    if (bytes[0] == 0xFF && !JpegHuffmanTablesFit(bytes)) {
        error = "a JPEG Huffman table has more than 256 codes";
        return false;
    }
    const bool pnm = bytes[0] == 'P' && bytes.size() >= 2 && (bytes[1] == '5' || bytes[1] == '6');
    if (pnm && !PnmHeaderNumbersFit(bytes)) {
        error = "a PNM header number has more than 9 digits";
        return false;
    }
    const auto length = static_cast<int>(bytes.size());
    int width = 0;
    int height = 0;
    int channels = 0;
    if (stbi_info_from_memory(bytes.data(), length, &width, &height, &channels) == 0 || width <= 0 || height <= 0) {
        error = "not an image this game reads";
        return false;
    }
    const std::string claim = "the image claims " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (static_cast<uint32_t>(width) > kMaxImageDimension || static_cast<uint32_t>(height) > kMaxImageDimension) {
        error = claim + ", more than 8192 x 8192";
        return false;
    }
    if (uint64_t(width) * uint64_t(height) > MaxPixelsPerFileByte(bytes) * bytes.size()) {
        error = claim + ", more than a file of " + std::to_string(bytes.size()) + " bytes can hold";
        return false;
    }
    // stb_image 2.27 converts the samples of a 16-bit PNM file to RGBA with its 8-bit routine and
    // then reads twice the buffer that made: such files are refused.
    if (pnm && stbi_is_16_bit_from_memory(bytes.data(), length) != 0) {
        error = "16-bit PNM images are not read";
        return false;
    }
    return true;
}

bool FwDecodeImage(std::span<const uint8_t> bytes, FwImage& image, std::string& error) {
    image = FwImage{};
    if (!FwCheckImage(bytes, error)) {
        return false;
    }
    const auto length = static_cast<int>(bytes.size());
    int width = 0;
    int height = 0;
    int channels = 0;
    if (stbi_is_hdr_from_memory(bytes.data(), length) != 0) {
        image.pixels.reset(stbi_loadf_from_memory(bytes.data(), length, &width, &height, &channels, 4));
        image.format = FwFormat::R32G32B32A32_FLOAT;
    } else {
        image.pixels.reset(stbi_load_from_memory(bytes.data(), length, &width, &height, &channels, 4));
        image.format = FwFormat::R8G8B8A8_UNORM;
    }
    if (!image.pixels) {
        const char* reason = stbi_failure_reason();
        error = std::string("the image data is damaged (") + (reason != nullptr ? reason : "no reason given") + ")";
        return false;
    }
    image.width = static_cast<uint32_t>(width);
    image.height = static_cast<uint32_t>(height);
    return true;
}

bool FwTexture::Load(const std::string& path, bool renderTarget, bool depthStencil, bool generateMipmaps) {
    Release();
    if (path.empty()) {
        return false;
    }
    uint32_t bindFlags = FwBind::kShaderResource;
    if (renderTarget) {
        bindFlags |= FwBind::kRenderTarget;
    }
    if (depthStencil) {
        bindFlags |= FwBind::kDepthStencil;
    }
    // Targets are drawn into, so each owner needs its own.
    if (renderTarget || depthStencil) {
        return LoadFile(path, bindFlags, generateMipmaps);
    }
    const std::string resolved = FwResolvePath(path);
    const std::shared_ptr<const FwTexture> shared =
        TextureCache().Get(generateMipmaps ? resolved + "|mipmaps" : resolved, resolved, FwGLObject::LiveGeneration(),
                           [&](const std::string& file) -> std::shared_ptr<const FwTexture> {
                               auto made = std::make_shared<FwTexture>();
                               return made->LoadFile(file, bindFlags, generateMipmaps) ? made : nullptr;
                           });
    if (!shared) {
        return false;
    }
    texture = shared->texture;
    target = shared->target;
    srv = shared->srv;
    rtv = shared->rtv;
    dsv = shared->dsv;
    desc = shared->desc;
    opaque = shared->opaque;
    filepath = path;
    return true;
}

void FwTexture::ReleaseCache() { TextureCache().Release(); }

size_t FwTexture::CacheSize() { return TextureCache().Size(); }

bool FwTexture::LoadFile(const std::string& path, uint32_t bindFlags, bool generateMipmaps) {
    FwGLObject loaded;
    FwTextureDesc loadedDesc;
    bool loadedOpaque = false;
    std::string error = "the GL texture cannot be made";
    if (!LoadTextureFile(path, bindFlags, generateMipmaps, loaded, loadedDesc, loadedOpaque, error) ||
        !CreateFromTexture(std::move(loaded), loadedDesc)) {
        std::fprintf(stderr, "cannot load texture %s: %s\n", path.c_str(), error.c_str());
        Release();
        return false;
    }
    filepath = path;
    opaque = loadedOpaque;
    return true;
}

bool FwTexture::Create(const FwTextureDesc& description, const void* initialData) {
    Release();
    FwTextureDesc made = description;
    FwGLObject created;
    if (!MakeTexture(made, initialData, false, created)) {
        return false;
    }
#ifdef __EMSCRIPTEN__
    // Made from memory (fonts, the white texel) or empty (targets): the pixels are kept.
    FormatInfo info{};
    LookUpFormat(made.format, info);
    const auto* first = static_cast<const uint8_t*>(initialData);
    const size_t bytes = size_t{made.width} * made.height * made.arraySize * info.bytesPerTexel;
    auto kept = std::make_shared<const std::vector<uint8_t>>(first, first != nullptr ? first + bytes : first);
    created.KeepRecipe([made, info, kept](GLuint name) {
        FillTexture(name, made, info, kept->empty() ? nullptr : kept->data(), false);
    });
#endif
    if (!CreateFromTexture(std::move(created), made)) {
        Release();
        return false;
    }
    opaque = initialData != nullptr && made.format == FwFormat::R8G8B8A8_UNORM && made.arraySize == 1 && !made.cube &&
             AllOpaque(initialData, size_t(made.width) * made.height);
    return true;
}

bool FwTexture::Create(uint32_t width, uint32_t height, FwFormat format, uint32_t arraySize, const void* initialData) {
    FwTextureDesc description;
    description.width = width;
    description.height = height;
    description.arraySize = arraySize;
    description.format = format;
    return Create(description, initialData);
}

bool FwTexture::CreateFromTexture(FwGLObject&& existing, const FwTextureDesc& description) {
    Release();
    texture = std::make_shared<const FwGLObject>(std::move(existing));
    desc = description;
    target = TargetFor(desc);
    if (!*texture || !CreateViews()) {
        Release();
        return false;
    }
    return true;
}

bool FwTexture::CreateViews() {
    FormatInfo info{};
    if (!LookUpFormat(desc.format, info)) {
        return false;
    }
    const bool renderTarget = (desc.bindFlags & FwBind::kRenderTarget) != 0;
    const bool depthStencil = (desc.bindFlags & FwBind::kDepthStencil) != 0;
    // A colour texture cannot be a depth attachment, nor a depth texture a colour one.
    if ((renderTarget && info.depth) || (depthStencil && !info.depth)) {
        return false;
    }
    srv = (desc.bindFlags & FwBind::kShaderResource) != 0 ? texture->Name() : 0;
    rtv = renderTarget ? texture->Name() : 0;
    dsv = depthStencil ? texture->Name() : 0;
    return true;
}

void FwTexture::Release() {
    texture.reset();
    target = GL_TEXTURE_2D;
    srv = 0;
    rtv = 0;
    dsv = 0;
    desc = FwTextureDesc{};
    filepath.clear();
    opaque = false;
}
