#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <stb_image_write.h>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwTexture.h"
#include "framework/platform/FwPath.h"
#include "tests/graphics/GraphicsFixture.h"
#include "tests/support/Scoped.h"

namespace {

namespace fs = std::filesystem;

// 8x4 RGBA: the top row red, the rest blue.
std::vector<uint8_t> TopRedPicture() {
    std::vector<uint8_t> rgba(8 * 4 * 4, 0);
    for (int i = 0; i < 8 * 4; ++i) {
        rgba[static_cast<size_t>(i) * 4 + (i < 8 ? 0 : 2)] = 255;
        rgba[static_cast<size_t>(i) * 4 + 3] = 255;
    }
    return rgba;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class TextureTest : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        directory = fs::path(::testing::TempDir()) / "texture-test";
        fs::create_directories(directory);
        const std::vector<uint8_t> rgba = TopRedPicture();
        stbi_write_png(File("pic.png").c_str(), 8, 4, 4, rgba.data(), 8 * 4);
        stbi_write_jpg(File("pic.jpg").c_str(), 8, 4, 4, rgba.data(), 95);
        stbi_write_tga(File("pic.tga").c_str(), 8, 4, 4, rgba.data());
        std::vector<float> hdr(8 * 4 * 3, 2.5f);
        stbi_write_hdr(File("pic.hdr").c_str(), 8, 4, 3, hdr.data());
    }
    void TearDown() override {
        fs::remove_all(directory);
        GraphicsTest::TearDown();
    }
    std::string File(const std::string& name) const { return (directory / name).string(); }

    fs::path directory;
};

TEST_F(TextureTest, LoadsEachImageFormatWithItsSize) {
    for (const char* name : {"pic.png", "pic.jpg", "pic.tga", "pic.hdr"}) {
        FwTexture texture;
        ASSERT_TRUE(texture.Load(File(name))) << name;
        EXPECT_EQ(texture.Width(), 8u) << name;
        EXPECT_EQ(texture.Height(), 4u) << name;
        EXPECT_EQ(texture.Path(), File(name));
        EXPECT_NE(texture.ShaderResourceView(), 0u);
        EXPECT_EQ(texture.RenderTargetView(), 0u);
        EXPECT_EQ(texture.Desc().mipLevels, 1u);
    }
    FwTexture hdr;
    ASSERT_TRUE(hdr.Load(File("pic.hdr")));
    EXPECT_EQ(hdr.Desc().format, FwFormat::R32G32B32A32_FLOAT);
}

TEST_F(TextureTest, ALoadedImageShowsItsTopRowAtTheTop) {
    FwTexture texture;
    ASSERT_TRUE(texture.Load(File("pic.png")));
    FwShaderManager::GetInstance().spriteShader.DrawTex(&texture, 0, 0, 80, 40, std::nullopt, Color(1, 1, 1, 1));
    const BackBufferImage image;
    EXPECT_TRUE(image.RegionIs(602, 341, 678, 349, {255, 0, 0, 255}));
    EXPECT_TRUE(image.RegionIs(602, 351, 678, 379, {0, 0, 255, 255}));
}

TEST_F(TextureTest, MipmapsAreBuiltOnlyWhenAsked) {
    FwTexture texture;
    ASSERT_TRUE(texture.Load(File("pic.png"), false, false, true));
    EXPECT_EQ(texture.Desc().mipLevels, 4u);  // 8x4, 4x2, 2x1, 1x1
    ASSERT_TRUE(texture.Load(File("pic.png"), true));
    EXPECT_EQ(texture.Desc().mipLevels, 1u);
    EXPECT_NE(texture.RenderTargetView(), 0u);
    // A colour picture cannot be a depth buffer.
    EXPECT_FALSE(texture.Load(File("pic.png"), false, true));
    EXPECT_EQ(texture.ShaderResourceView(), 0u);
}

// Opaque: every texel of an 8-bit picture has alpha 255, whether loaded or made from pixels.
TEST_F(TextureTest, OpaqueOnlyWhenEveryTexelHasFullAlpha) {
    FwTexture texture;
    ASSERT_TRUE(texture.Load(File("pic.png"), false, false, true));
    EXPECT_TRUE(texture.Opaque());
    ASSERT_TRUE(texture.Load(File("pic.hdr")));
    EXPECT_FALSE(texture.Opaque());
    std::vector<uint8_t> rgba = TopRedPicture();
    rgba[8 * 4 * 4 - 1] = 254;  // the last texel
    stbi_write_png(File("almost.png").c_str(), 8, 4, 4, rgba.data(), 8 * 4);
    ASSERT_TRUE(texture.Load(File("almost.png")));
    EXPECT_FALSE(texture.Opaque());
    ASSERT_TRUE(texture.Create(8, 4, FwFormat::R8G8B8A8_UNORM, 1, rgba.data()));
    EXPECT_FALSE(texture.Opaque());
    rgba.back() = 255;
    ASSERT_TRUE(texture.Create(8, 4, FwFormat::R8G8B8A8_UNORM, 1, rgba.data()));
    EXPECT_TRUE(texture.Opaque());
    // Undefined texels, and nothing after a release or a failed load.
    ASSERT_TRUE(texture.Create(8, 4, FwFormat::R8G8B8A8_UNORM, 1));
    EXPECT_FALSE(texture.Opaque());
    ASSERT_TRUE(texture.Create(8, 4, FwFormat::R8G8B8A8_UNORM, 1, rgba.data()));
    EXPECT_FALSE(texture.Load(File("missing.png")));
    EXPECT_FALSE(texture.Opaque());
}

TEST_F(TextureTest, ContentPathsResolveWhateverTheirLetterCase) {
    fs::create_directories(directory / "Data" / "Texture");
    fs::copy_file(File("pic.png"), directory / "Data" / "Texture" / "Title.png");
    const ScopedContentRoot root(directory.string());
    FwTexture texture;
    EXPECT_TRUE(texture.Load("data/texture/title.png"));
    EXPECT_EQ(texture.Path(), "data/texture/title.png");
}

TEST_F(TextureTest, FailedLoadsLeaveTheTextureEmpty) {
    FwTexture texture;
    ASSERT_TRUE(texture.Load(File("pic.png")));
    EXPECT_FALSE(texture.Load(""));
    EXPECT_EQ(texture.ShaderResourceView(), 0u);
    EXPECT_TRUE(texture.Path().empty());

    ASSERT_TRUE(texture.Load(File("pic.png")));
    EXPECT_FALSE(texture.Load(File("missing.png")));
    EXPECT_EQ(texture.ShaderResourceView(), 0u);
    EXPECT_EQ(texture.Width(), 0u);
    EXPECT_TRUE(texture.Path().empty());

    std::ofstream(File("text.png")) << "this is not a picture";
    EXPECT_FALSE(texture.Load(File("text.png")));
}

// Every prefix of a valid file, and a run of random byte changes: loading must fail cleanly or
// give a picture of the right size, never crash or read out of bounds.
TEST_F(TextureTest, TruncatedOrCorruptedImagesFailCleanly) {
    for (const char* name : {"pic.png", "pic.jpg"}) {
        const std::vector<uint8_t> original = ReadAll(File(name));
        ASSERT_FALSE(original.empty());
        const std::string damaged = File(std::string("damaged-") + name);
        FwTexture texture;
        for (size_t length = 0; length < original.size(); ++length) {
            std::ofstream(damaged, std::ios::binary)
                .write(reinterpret_cast<const char*>(original.data()), static_cast<std::streamsize>(length));
            if (texture.Load(damaged)) {
                EXPECT_EQ(texture.Width(), 8u) << name << " cut at " << length;
                EXPECT_EQ(texture.Height(), 4u) << name << " cut at " << length;
            }
        }
        std::mt19937 random(1234);
        for (int round = 0; round < 100; ++round) {
            std::vector<uint8_t> bytes = original;
            for (int flips = 0; flips < 4; ++flips) {
                bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
            }
            std::ofstream(damaged, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            if (texture.Load(damaged)) {
                EXPECT_LE(texture.Width(), 16384u);
            }
        }
    }
}

// 8192 pixels a side is the most an image file may have; one more is refused from the header,
// before any pixel is decoded, with one line on standard error. A model's material then falls back
// to the white texture as for any other unreadable file.
TEST_F(TextureTest, ImagesWiderOrTallerThan8192PixelsAreRefused) {
    const std::vector<uint8_t> row(8193 * 4, 200);
    stbi_write_png(File("wide8192.png").c_str(), 8192, 1, 4, row.data(), 8192 * 4);
    stbi_write_png(File("wide8193.png").c_str(), 8193, 1, 4, row.data(), 8193 * 4);
    stbi_write_png(File("tall8193.png").c_str(), 1, 8193, 4, row.data(), 4);
    FwImage image;
    std::string error;
    EXPECT_TRUE(FwDecodeImage(ReadAll(File("wide8192.png")), image, error)) << error;
    EXPECT_EQ(image.width, 8192u);
    for (const char* name : {"wide8193.png", "tall8193.png"}) {
        EXPECT_FALSE(FwDecodeImage(ReadAll(File(name)), image, error)) << name;
        EXPECT_FALSE(image.pixels) << name;
        EXPECT_NE(error.find("more than 8192 x 8192"), std::string::npos) << error;
    }

    FwTexture texture;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(texture.Load(File("wide8193.png")));
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(message, "cannot load texture " + File("wide8193.png") +
                           ": the image claims 8193 x 1 pixels, more than 8192 x 8192\n");
    EXPECT_EQ(texture.ShaderResourceView(), 0u);
    EXPECT_TRUE(texture.Load(File("wide8192.png")));
}

// stb_image would read past its buffer converting 16-bit PNM samples and overflow an int reading
// a long header number; 8-bit ones with sane headers are fine.
TEST(ImageDecoding, SixteenBitPnmIsRefusedAndEightBitRead) {
    const auto decode = [](const std::string& text, std::string& error) {
        FwImage image;
        const std::vector<uint8_t> bytes(text.begin(), text.end());
        return FwDecodeImage(bytes, image, error) && image.width == 2 && image.height == 1;
    };
    std::string error;
    EXPECT_TRUE(decode(std::string("P5\n2 1\n255\n\x10\x20", 13), error)) << error;
    EXPECT_FALSE(decode(std::string("P5\n2 1\n65535\n\x10\x20\x30\x40", 17), error));
    EXPECT_EQ(error, "16-bit PNM images are not read");
    EXPECT_FALSE(decode("P5\n# comment\n2 1111111111\n255\n", error));
    EXPECT_EQ(error, "a PNM header number has more than 9 digits");
}

// A short file claiming a large picture would be filled with zeros for seconds: each format may
// claim only as many pixels a byte as its coding can hold (Radiance 32, TGA 64).
TEST(ImageDecoding, ImagesClaimingMorePixelsThanTheirCodingHoldsAreRefused) {
    const auto decode = [](const std::string& header, size_t dataBytes, std::string& error) {
        std::string text = header;
        text.append(dataBytes, '\x80');
        FwImage image;
        return FwDecodeImage(std::vector<uint8_t>(text.begin(), text.end()), image, error);
    };
    const auto radiance = [](const std::string& size) {
        return "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n" + size + "\n";
    };
    // Run-length true colour, 16 bits a pixel, the given width and height.
    const auto tga = [](uint16_t width, uint16_t height) {
        return std::string{0,
                           0,
                           10,
                           0,
                           0,
                           0,
                           0,
                           0,
                           0,
                           0,
                           0,
                           0,
                           char(width & 0xFF),
                           char(width >> 8),
                           char(height & 0xFF),
                           char(height >> 8),
                           16,
                           0};
    };
    std::string error;
    EXPECT_TRUE(decode(radiance("-Y 1 +X 2"), 8, error)) << error;
    EXPECT_TRUE(decode(radiance("-Y 40 +X 40"), 6400, error)) << error;
    EXPECT_FALSE(decode(radiance("-Y 512 +X 1024"), 40, error));
    EXPECT_EQ(error, "the image claims 1024 x 512 pixels, more than a file of 90 bytes can hold");
    EXPECT_TRUE(decode(tga(2, 1), 6, error)) << error;
    EXPECT_FALSE(decode(tga(1024, 1024), 16000, error));
    EXPECT_EQ(error, "the image claims 1024 x 1024 pixels, more than a file of 16018 bytes can hold");
}

// stb_image would write past a JPEG Huffman table whose code counts add up to more than 256, also
// behind FF fill bytes before the start marker.
TEST(ImageDecoding, JpegHuffmanTablesOfMoreThan256CodesAreRefused) {
    const auto decode = [](int countOfLongestCodes, size_t fillBytes, std::string& error) {
        std::vector<uint8_t> bytes(fillBytes, 0xFF);
        bytes.insert(bytes.end(), {0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x13, 0x00});
        for (int length = 1; length <= 16; ++length) {
            bytes.push_back(length == 16 ? uint8_t(countOfLongestCodes) : 16);
        }
        bytes.resize(bytes.size() + 400, 0);
        FwImage image;
        return FwDecodeImage(bytes, image, error);
    };
    for (const size_t fill : {0, 3}) {
        std::string error;
        decode(16, fill, error);  // 256 codes: refused later, as the rest of the file is no JPEG
        EXPECT_NE(error, "a JPEG Huffman table has more than 256 codes");
        EXPECT_FALSE(decode(17, fill, error));
        EXPECT_EQ(error, "a JPEG Huffman table has more than 256 codes") << fill;
    }
}

TEST_F(TextureTest, DepthTexturesAreBothAttachableAndSampleable) {
    FwTextureDesc desc;
    desc.width = 64;
    desc.height = 32;
    desc.format = FwFormat::R32_TYPELESS;
    desc.bindFlags = FwBind::kShaderResource | FwBind::kDepthStencil;
    FwTexture depth;
    ASSERT_TRUE(depth.Create(desc));
    EXPECT_NE(depth.DepthStencilView(), 0u);
    EXPECT_NE(depth.ShaderResourceView(), 0u);
    EXPECT_EQ(depth.RenderTargetView(), 0u);
    const FwDirect3D& d3d = FwDirect3D::GetInstance();
    EXPECT_NE(d3d.DepthBuffer()->DepthStencilView(), 0u);
    EXPECT_NE(d3d.DepthBuffer()->ShaderResourceView(), 0u);
    EXPECT_NE(d3d.BackBuffer()->RenderTargetView(), 0u);
    desc.mipLevels = 0;
    desc.format = FwFormat::R8G8B8A8_UNORM;
    desc.bindFlags = FwBind::kShaderResource;
    ASSERT_TRUE(depth.Create(desc));
    EXPECT_EQ(depth.Desc().mipLevels, 7u);
}

}  // namespace
