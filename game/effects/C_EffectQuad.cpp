#include "game/effects/C_EffectQuad.h"

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwTexture.h"

namespace {

constexpr int kCellPixels = 32;
constexpr int kCellsPerRow = 8;

}  // namespace

C_EffectQuad::C_EffectQuad() { buffer.Create(FwBind::kVertexBuffer, sizeof(FwEffectVertex) * 4, FwUsage::Dynamic); }

void C_EffectQuad::Write(const std::array<FwEffectVertex, 4>& vertices) {
    buffer.WriteData(vertices.data(), sizeof(vertices));
}

void C_EffectQuad::WriteRect(float halfX, float halfY, const Vector2& uvTopLeft, const Vector2& uvBottomRight,
                             const Color& color) {
    Write({{
        {Vector3(-halfX, halfY, 0.0f), uvTopLeft, color},
        {Vector3(halfX, halfY, 0.0f), Vector2(uvBottomRight.x, uvTopLeft.y), color},
        {Vector3(-halfX, -halfY, 0.0f), Vector2(uvTopLeft.x, uvBottomRight.y), color},
        {Vector3(halfX, -halfY, 0.0f), uvBottomRight, color},
    }});
}

void C_EffectQuad::Draw(const FwTexture& texture, const Matrix& world) const {
    DrawEffectStrip(buffer, 4, texture, world);
}

void DrawEffectStrip(const FwBuffer& buffer, uint32_t vertexCount, const FwTexture& texture, const Matrix& world) {
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    context.SetVertexBuffer(&buffer, sizeof(FwEffectVertex), 0);
    context.SetTopology(FwTopology::TriangleStrip);
    context.SetShaderResources(0, {&texture});
    auto& constants = FwShaderManager::GetInstance().effectShader.cbPerObject;
    constants.Work().g_mW = world;
    constants.Write();
    context.Draw(vertexCount, 0);
}

Matrix CameraFacing() {
    Matrix view = FwShaderManager::GetInstance().cbCamera.Get().g_mV;
    view.SetTranslation(Vector3::Zero);
    return view.Invert();
}

void AtlasCell(const FwTexture& texture, int index, Vector2& topLeft, Vector2& bottomRight) {
    // A texture that failed to load has no size: its quad draws nothing anyway.
    if (texture.Width() == 0 || texture.Height() == 0) {
        topLeft = bottomRight = Vector2(0.0f, 0.0f);
        return;
    }
    const float column = static_cast<float>(index % kCellsPerRow);
    const float row = static_cast<float>(index / kCellsPerRow);
    const float width = static_cast<float>(texture.Width());
    const float height = static_cast<float>(texture.Height());
    topLeft = Vector2(column * kCellPixels / width, row * kCellPixels / height);
    bottomRight = Vector2((column + 1.0f) * kCellPixels / width, (row + 1.0f) * kCellPixels / height);
}
