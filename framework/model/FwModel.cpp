#include "framework/model/FwModel.h"

#include "framework/graphics/FwDirect3D.h"
#include "framework/model/FwGLTFModel.h"
#include "framework/platform/FwFileCache.h"
#include "framework/platform/FwPath.h"

namespace {

std::shared_ptr<FwTexture> LoadOrWhite(const std::string& folder, const std::string& imageName) {
    auto texture = std::make_shared<FwTexture>();
    const std::string file = FwResolveModelUri(folder, imageName);
    if (!file.empty() && texture->Load(file)) {
        return texture;
    }
    return FwDirect3D::GetInstance().WhiteTexture();
}

FwFileCache<FwModel>& ModelCache() {
    static FwFileCache<FwModel> cache;
    return cache;
}

}  // namespace

FwMaterial::FwMaterial()
    : BaseColorTex(FwDirect3D::GetInstance().WhiteTexture()),
      MetallicRoughnessTex(FwDirect3D::GetInstance().WhiteTexture()),
      EmissiveTex(FwDirect3D::GetInstance().WhiteTexture()) {}

bool FwModel::Load(const std::string& path) {
    Release();
    const std::string resolved = FwResolvePath(path);
    const std::shared_ptr<const FwModel> shared =
        ModelCache().Get(resolved, resolved, FwGLObject::LiveGeneration(),
                         [](const std::string& file) -> std::shared_ptr<const FwModel> {
                             auto made = std::make_shared<FwModel>();
                             return made->LoadFile(file) ? made : nullptr;
                         });
    if (!shared) {
        return false;
    }
    nodes = shared->nodes;
    materials = shared->materials;
    return true;
}

void FwModel::ReleaseCache() { ModelCache().Release(); }

size_t FwModel::CacheSize() { return ModelCache().Size(); }

bool FwModel::LoadFile(const std::string& resolved) {
    // The folder keeps its trailing separator; a bare file name looks beside itself.
    const std::string folder = GetDirFromPath(resolved);
    const std::shared_ptr<FwGLTFModel> record = FwLoadGLTFModel(resolved);
    if (!record) {
        return false;
    }
    materials.resize(record->Materials.size());
    for (size_t i = 0; i < materials.size(); ++i) {
        const FwGLTFMaterial& source = record->Materials[i];
        FwMaterial& material = materials[i];
        material.Name = source.Name;
        material.BaseColor = source.BaseColor;
        material.BaseColorTex = LoadOrWhite(folder, source.BaseColorTexture);
        material.Metallic = source.Metallic;
        material.Roughness = source.Roughness;
        material.MetallicRoughnessTex = LoadOrWhite(folder, source.MetallicRoughnessTexture);
        material.Emissive = source.Emissive;
        material.EmissiveTex = LoadOrWhite(folder, source.EmissiveTexture);
        material.NormalTex = std::make_shared<FwTexture>();
        material.NormalTex->Load(FwResolveModelUri(folder, source.NormalTexture));
    }
    nodes.resize(record->Nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        const FwGLTFNode& source = *record->Nodes[i];
        nodes[i].Name = source.Name;
        nodes[i].NodeIndex = source.NodeIndex;
        nodes[i].Transform = source.LocalTransform;
        if (source.IsMesh) {
            nodes[i].Mesh = std::make_shared<FwMesh>();
            nodes[i].Mesh->Create(source.Vertices, source.Faces, source.Subsets);
        }
    }
    return true;
}

void FwModel::Release() {
    nodes.clear();
    materials.clear();
}
