#include "game/world/C_GoalArea.h"

#include <array>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/graphics/FwVertexTypes.h"
#include "framework/model/FwCollision.h"

namespace {

// Strip order: top-left, top-right, bottom-left, bottom-right. Texture coordinates and colours
// stay zero.
const std::array<FwEffectVertex, 4> kQuad = {{
    {Vector3(-7.0f, 0.0f, 7.0f), Vector2(), Color(0, 0, 0, 0)},
    {Vector3(7.0f, 0.0f, 7.0f), Vector2(), Color(0, 0, 0, 0)},
    {Vector3(-7.0f, 0.0f, -7.0f), Vector2(), Color(0, 0, 0, 0)},
    {Vector3(7.0f, 0.0f, -7.0f), Vector2(), Color(0, 0, 0, 0)},
}};

}  // namespace

C_GoalArea::C_GoalArea() { vertexBuffer.Create(FwBind::kVertexBuffer, sizeof(kQuad), FwUsage::Default, kQuad.data()); }

void C_GoalArea::Update() { world = Matrix::CreateTranslation(-237.2f, -8.2f, -1.35f); }

bool C_GoalArea::Contains(const Vector3& point) const {
    std::array<Vector3, 4> corners;
    for (size_t i = 0; i < corners.size(); ++i) {
        corners[i] = Vector3::Transform(kQuad[i].position, world);
    }
    const Vector3 down(0.0f, -1.0f, 0.0f);
    float distance = 0.0f;
    return RayToTriangle(point, down, corners[0], corners[1], corners[2], distance) ||
           RayToTriangle(point, down, corners[1], corners[2], corners[3], distance);
}

void C_GoalArea::Draw() const {
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    FwDeviceContext& context = d3d.Context();
    context.SetVertexBuffer(&vertexBuffer, sizeof(FwEffectVertex), 0);
    context.SetTopology(FwTopology::TriangleStrip);
    context.SetShaderResources(0, {d3d.WhiteTexture().get()});
    auto& constants = FwShaderManager::GetInstance().effectShader.cbPerObject;
    constants.Work().g_mW = world;
    constants.Write();
    context.Draw(4, 0);
}
