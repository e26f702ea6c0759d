#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/graphics/FwBuffer.h"
#include "framework/graphics/FwDirect3D.h"
#include "tests/graphics/GraphicsFixture.h"

// The input assembler remembers bound buffers by GL name and serial: the buffer objects may be
// destroyed (a model that failed to load, a released mesh) before the next draw.

namespace {

class DeviceContextTest : public GraphicsTest {};

std::unique_ptr<FwBuffer> MakeBuffer(uint32_t bind, const void* data, size_t bytes) {
    auto buffer = std::make_unique<FwBuffer>();
    EXPECT_TRUE(buffer->Create(bind, static_cast<uint32_t>(bytes), FwUsage::Default, data));
    return buffer;
}

}  // namespace

TEST_F(DeviceContextTest, BuffersDestroyedAfterBindingAreNeverReadAgain) {
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    const Rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255};
    // The effect program with the identity camera, through a vertex-only draw.
    DrawClipSpace(FwTopology::TriangleList, {});

    const std::vector<FwEffectVertex> left = ClipQuad(-1, 1, -0.5f, -1, 0.5f, Color(1, 0, 0, 1));
    const std::vector<uint32_t> indices = {0, 1, 2, 3, 4, 5};
    std::unique_ptr<FwBuffer> vertices =
        MakeBuffer(FwBind::kVertexBuffer, left.data(), left.size() * sizeof(FwEffectVertex));
    std::unique_ptr<FwBuffer> indexBuffer =
        MakeBuffer(FwBind::kIndexBuffer, indices.data(), indices.size() * sizeof(uint32_t));
    context.SetVertexBuffer(vertices.get(), sizeof(FwEffectVertex), 0);
    context.SetIndexBuffer(indexBuffer.get(), 0);
    context.SetTopology(FwTopology::TriangleList);
    context.DrawIndexed(6, 0, 0);

    // Both buffers go; the next draw binds only vertices of its own (from the device's pool).
    vertices.reset();
    indexBuffer.reset();
    DrawClipSpace(FwTopology::TriangleList, ClipQuad(-0.25f, 1, 0.25f, -1, 0.5f, Color(0, 1, 0, 1)));

    // New buffers may get the recycled GL names; an indexed draw then reads the new indices.
    const std::vector<FwEffectVertex> right = ClipQuad(0.5f, 1, 1, -1, 0.5f, Color(0, 0, 1, 1));
    vertices = MakeBuffer(FwBind::kVertexBuffer, right.data(), right.size() * sizeof(FwEffectVertex));
    const std::vector<uint32_t> firstTriangle = {0, 1, 2};
    indexBuffer = MakeBuffer(FwBind::kIndexBuffer, firstTriangle.data(), firstTriangle.size() * sizeof(uint32_t));
    context.SetVertexBuffer(vertices.get(), sizeof(FwEffectVertex), 0);
    context.SetIndexBuffer(indexBuffer.get(), 0);
    context.DrawIndexed(3, 0, 0);
    // Without an index buffer an indexed draw draws nothing.
    context.SetIndexBuffer(nullptr, 0);
    context.SetVertexBuffer(nullptr, sizeof(FwEffectVertex), 0);
    context.DrawIndexed(6, 0, 0);

    const BackBufferImage image;
    EXPECT_TRUE(image.RegionIs(10, 10, 150, 710, red));
    EXPECT_TRUE(image.RegionIs(500, 10, 780, 710, green));
    // Only the upper-left triangle of the right quad: (0.5, 1), (1, 1), (0.5, -1).
    EXPECT_TRUE(SameColor(image.At(970, 40), blue));
    EXPECT_TRUE(SameColor(image.At(1270, 700), {0, 0, 0, 255}));
}
