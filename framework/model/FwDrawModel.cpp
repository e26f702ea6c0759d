#include "framework/model/FwDrawModel.h"

#include <functional>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwModel.h"

namespace {

using ColorVariant = std::function<Color(const Color& baseColor)>;

void SetMaterial(FwStandardShader& shader, const FwMaterial& material, const ColorVariant& variant) {
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
    shader.SetMaterialTextures({read(material.MetallicRoughnessTex), read(material.EmissiveTex)});
}

void Draw(const FwModel& model, const std::vector<Matrix>* worldList, const ColorVariant& variant) {
    FwStandardShader& shader = FwShaderManager::GetInstance().standardShader;
    const std::vector<FwModelNode>& nodes = model.Nodes();
    const std::vector<FwMaterial>& materials = model.Materials();
    for (size_t i = 0; i < nodes.size(); ++i) {
        const FwMesh* mesh = nodes[i].Mesh.get();
        if (mesh == nullptr) {
            continue;
        }
        mesh->SetToDevice();
        const Matrix& node = worldList != nullptr && i < worldList->size() ? (*worldList)[i] : nodes[i].Transform;
        shader.cbObject.Work().g_mW = node * shader.world;
        shader.cbObject.Write();
        const std::vector<FwMeshSubset>& subsets = mesh->Subsets();
        for (size_t j = 0; j < subsets.size(); ++j) {
            if (subsets[j].FaceCount == 0) {
                continue;
            }
            // Material -1 draws with whatever material is still bound.
            const int32_t materialNo = subsets[j].MaterialNo;
            if (materialNo != -1 && size_t(materialNo) < materials.size()) {
                SetMaterial(shader, materials[size_t(materialNo)], variant);
            }
            shader.SelectVariant();
            mesh->DrawSubset(j);
        }
    }
}

}  // namespace

void DrawModel(const FwModel& model, const std::vector<Matrix>* worldList) {
    Draw(model, worldList, [](const Color& base) { return base; });
}

void DrawModel(const FwModel& model, float alpha, const std::vector<Matrix>* worldList) {
    Draw(model, worldList, [alpha](const Color& base) { return Color(base.r, base.g, base.b, base.a * alpha); });
}

void DrawModel(const FwModel& model, const Color& color, const std::vector<Matrix>* worldList) {
    Draw(model, worldList, [&color](const Color& base) { return Color(color.r, color.g, color.b, base.a * color.a); });
}
