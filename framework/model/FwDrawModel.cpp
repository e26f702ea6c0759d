#include "framework/model/FwDrawModel.h"

#include <cmath>
#include <functional>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwGL.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwAreaVisibility.h"
#include "framework/model/FwModel.h"

namespace {

using ColorVariant = std::function<Color(const Color& baseColor)>;

// Alpha blending writes a fragment of alpha exactly 1 as it stands (and alpha 1 to the target):
// subsets whose every fragment has full alpha are drawn without it, which a software rasteriser
// does much faster, and subsets whose every fragment the alpha test discards are not drawn at all.
enum class Coverage { Blended, Opaque, Discarded };

bool IsAlphaBlend(const FwBlendState* blend) {
    return blend != nullptr && blend->blendEnable && !blend->alphaToCoverage && blend->writeAll &&
           blend->srcBlend == GL_SRC_ALPHA && blend->destBlend == GL_ONE_MINUS_SRC_ALPHA &&
           blend->blendOp == GL_FUNC_ADD && blend->srcBlendAlpha == GL_ONE &&
           blend->destBlendAlpha == GL_ONE_MINUS_SRC_ALPHA && blend->blendOpAlpha == GL_FUNC_ADD;
}

// Writes the material's constants and textures; returns what its fragments' alpha will be. The
// program's alpha is base texel alpha times BaseColor alpha times vertex alpha, and it discards a
// fragment whose alpha is not above g_AlphaTestThreshold.
Coverage SetMaterial(FwStandardShader& shader, const FwMaterial& material, const ColorVariant& variant,
                     bool opaqueColors) {
    ::cbMaterial& constants = shader.cbMaterial.Work();
    constants.BaseColor = variant(material.BaseColor).ToVector4();
    constants.Emissive = material.Emissive;
    constants.Metallic = material.Metallic;
    constants.Roughness = material.Roughness;
    shader.cbMaterial.Write();
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    d3d.Context().SetShaderResources(
        0, {material.BaseColorTex.get(), material.EmissiveTex.get(), material.MetallicRoughnessTex.get()});
    // The white texture reads as one: those fetches change nothing.
    const FwTexture* white = d3d.WhiteTexture().get();
    const auto read = [white](const std::shared_ptr<FwTexture>& texture) {
        return white == nullptr || white->ShaderResourceView() == 0 || texture.get() != white;
    };
    shader.SetMaterialTextures(
        {read(material.BaseColorTex), read(material.MetallicRoughnessTex), read(material.EmissiveTex)});

    const float alpha = constants.BaseColor.w;
    if (alpha == 0.0f && shader.cbObject.Get().g_AlphaTestThreshold >= 0.0f) {
        return Coverage::Discarded;
    }
    const FwTexture* base = material.BaseColorTex.get();
    const bool opaqueBase = base != nullptr && base->ShaderResourceView() != 0 && base->Opaque();
    return alpha == 1.0f && opaqueBase && opaqueColors ? Coverage::Opaque : Coverage::Blended;
}

const FwAreaVisibility* drawAreas = nullptr;

// Whether the mesh's box may make a fragment. A box wholly beyond one side of the view (left,
// right, bottom, top) cannot, and a software rasteriser would still transform and bin its
// triangles; the depth planes are left alone because depth clamping turns their clipping off.
// With areas set, a box in rooms out of sight cannot either.
bool MayShow(const FwBoundingBox& box, const Matrix& world, const Matrix& worldViewProj) {
    uint32_t outsideAll = 0xF;
    Vector3 corners[8];
    Vector4 clip[8];
    for (int i = 0; i < 8; ++i) {
        corners[i] = box.center + Vector3((i & 1) ? box.extents.x : -box.extents.x,
                                          (i & 2) ? box.extents.y : -box.extents.y,
                                          (i & 4) ? box.extents.z : -box.extents.z);
        clip[i] = Vector4::Transform(Vector4(corners[i], 1.0f), worldViewProj);
        // A little slack so that rounding never takes away a triangle that touches the edge.
        const float reach = std::fabs(clip[i].w) * 1.001f + 1e-4f;
        outsideAll &= (clip[i].x < -reach ? 1u : 0u) | (clip[i].x > reach ? 2u : 0u) | (clip[i].y < -reach ? 4u : 0u) |
                      (clip[i].y > reach ? 8u : 0u);
    }
    if (outsideAll != 0) {
        return false;
    }
    if (drawAreas == nullptr) {
        return true;
    }
    FwAreaVisibility::Box placed;
    for (const Vector3& corner : corners) {
        placed.Grow(Vector3::Transform(corner, world));
    }
    FwAreaVisibility::Rect screen;
    return drawAreas->MayShow(placed, FwAreaVisibility::Project(clip, 8, screen) ? &screen : nullptr);
}

void Draw(const FwModel& model, const std::vector<Matrix>* worldList, const ColorVariant& variant) {
    FwStandardShader& shader = FwShaderManager::GetInstance().standardShader;
    FwDeviceContext& context = FwDirect3D::GetInstance().Context();
    const FwBlendStatePtr blend = context.BlendState();
    const bool alphaBlend = IsAlphaBlend(blend.get());
    bool unblended = false;
    const std::vector<FwModelNode>& nodes = model.Nodes();
    const std::vector<FwMaterial>& materials = model.Materials();
    const ::cbCamera& camera = FwShaderManager::GetInstance().cbCamera.Get();
    const Matrix viewProj = camera.g_mV * camera.g_mP;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const FwMesh* mesh = nodes[i].Mesh.get();
        if (mesh == nullptr) {
            continue;
        }
        const Matrix& node = worldList != nullptr && i < worldList->size() ? (*worldList)[i] : nodes[i].Transform;
        const Matrix world = node * shader.world;
        if (!MayShow(mesh->Aabb(), world, world * viewProj)) {
            continue;
        }
        mesh->SetToDevice();
        shader.cbObject.Work().g_mW = world;
        shader.cbObject.Write();
        const std::vector<FwMeshSubset>& subsets = mesh->Subsets();
        for (size_t j = 0; j < subsets.size(); ++j) {
            if (subsets[j].FaceCount == 0) {
                continue;
            }
            // Material -1 draws with whatever material is still bound, which may be any.
            const int32_t materialNo = subsets[j].MaterialNo;
            Coverage coverage = Coverage::Blended;
            if (materialNo != -1 && size_t(materialNo) < materials.size()) {
                coverage = SetMaterial(shader, materials[size_t(materialNo)], variant, mesh->OpaqueColors());
            }
            if (coverage == Coverage::Discarded) {
                continue;
            }
            if (alphaBlend && unblended != (coverage == Coverage::Opaque)) {
                unblended = !unblended;
                context.SetBlendState(unblended ? nullptr : blend, context.BlendFactor(), context.SampleMask());
            }
            shader.SelectVariant();
            mesh->DrawSubset(j);
        }
    }
    if (unblended) {
        context.SetBlendState(blend, context.BlendFactor(), context.SampleMask());
    }
}

}  // namespace

void SetDrawAreas(const FwAreaVisibility* areas) { drawAreas = areas; }

void DrawModel(const FwModel& model, const std::vector<Matrix>* worldList) {
    Draw(model, worldList, [](const Color& base) { return base; });
}

void DrawModel(const FwModel& model, float alpha, const std::vector<Matrix>* worldList) {
    Draw(model, worldList, [alpha](const Color& base) { return Color(base.r, base.g, base.b, base.a * alpha); });
}

void DrawModel(const FwModel& model, const Color& color, const std::vector<Matrix>* worldList) {
    Draw(model, worldList, [&color](const Color& base) { return Color(color.r, color.g, color.b, base.a * color.a); });
}
