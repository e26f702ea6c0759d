#include "framework/model/FwGLTFModel.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>

#include "framework/graphics/FwTexture.h"
#include "framework/model/FwGLTFAccessor.h"
#include "framework/platform/FwPath.h"

namespace {

// Vertices and faces of all meshes of a model together, far beyond any model of the game. An
// accessor without a buffer view reads as zeros, so without this a small file could ask for any
// amount of memory by naming one such accessor from many primitives.
constexpr size_t kMaxModelVertices = size_t(1) << 20;
constexpr size_t kMaxModelFaces = size_t(1) << 21;

// One triangle primitive while its node is being assembled.
struct GLTFPrimitive {
    std::vector<FwMeshVertex> Vertices;
    std::vector<FwMeshFace> Faces;
    int32_t MaterialNo = 0;
    std::map<std::string, int> Attributes;
};

// tinygltf hands its image decoder a pointer into the buffer without checking that the image's
// buffer view lies inside it, so a lying GLB would be read out of bounds; check first. The pixels
// are not decoded here: materials name their image files and FwTexture decodes each one once.
bool CheckImage(tinygltf::Image* image, const int imageIndex, std::string* err, std::string* /*warn*/, int /*width*/,
                int /*height*/, const unsigned char* /*bytes*/, int /*size*/, void* userData) {
    if (image->bufferView >= 0) {
        const auto* model = static_cast<const tinygltf::Model*>(userData);
        size_t length = 0;
        std::string error;
        if (FwGLTFAccessor::ViewData(*model, image->bufferView, length, error) == nullptr) {
            *err += "image " + std::to_string(imageIndex) + ": " + error + "\n";
            return false;
        }
    }
    return true;
}

// tinygltf looks for each external file as its folder joined with the URI, then as the URI from
// the working directory. Only the first is a file of the model; it is resolved by our rules.
struct ModelFolder {
    std::string folder;  // with its trailing separator, as GetDirFromPath gives it
    std::string joined;  // the prefix tinygltf puts before each URI
};

std::string ExpandModelUri(const std::string& path, void* userData) {
    const auto& model = *static_cast<const ModelFolder*>(userData);
    if (path.compare(0, model.joined.size(), model.joined) != 0) {
        return {};
    }
    return FwResolveModelUri(model.folder, path.substr(model.joined.size()));
}

bool ReadFile(const std::string& path, tinygltf::Model& gltf) {
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(CheckImage, &gltf);
    ModelFolder folder{GetDirFromPath(path), {}};
    if (folder.folder.size() > 1) {
        folder.joined = folder.folder.substr(0, folder.folder.size() - 1) + "/";
    }
    loader.SetFsCallbacks(
        {tinygltf::FileExists, ExpandModelUri, tinygltf::ReadWholeFile, tinygltf::WriteWholeFile, &folder});
    std::string error;
    std::string warning;
    const size_t dot = path.find_last_of('.');
    const std::string extension = dot == std::string::npos ? path : path.substr(dot + 1);
    bool loaded = false;
    if (extension == "glb") {
        std::printf("Reading binary glTF\n");
        loaded = loader.LoadBinaryFromFile(&gltf, &error, &warning, path);
    } else {
        std::printf("Reading ASCII glTF\n");
        loaded = loader.LoadASCIIFromFile(&gltf, &error, &warning, path);
    }
    if (!warning.empty()) {
        std::printf("Warn: %s\n", warning.c_str());
    }
    if (!error.empty()) {
        std::printf("Err: %s\n", error.c_str());
    }
    if (!loaded) {
        std::printf("Failed to parse glTF\n");
    }
    return loaded;
}

// The file name of the image behind a texture reference; "" when there is none.
std::string ImageUri(const tinygltf::Model& gltf, int textureIndex) {
    if (textureIndex < 0 || size_t(textureIndex) >= gltf.textures.size()) {
        return {};
    }
    const int source = gltf.textures[size_t(textureIndex)].source;
    if (source < 0 || size_t(source) >= gltf.images.size()) {
        return {};
    }
    return gltf.images[size_t(source)].uri;
}

void ReadMaterials(const tinygltf::Model& gltf, FwGLTFModel& record) {
    for (const tinygltf::Material& source : gltf.materials) {
        FwGLTFMaterial material;
        material.Name = source.name;
        material.AlphaMode = source.alphaMode;
        material.AlphaCutoff = float(source.alphaCutoff);
        material.DoubleSided = source.doubleSided;
        const auto& pbr = source.pbrMetallicRoughness;
        material.BaseColorTexture = ImageUri(gltf, pbr.baseColorTexture.index);
        if (pbr.baseColorFactor.size() == 4) {
            const auto& c = pbr.baseColorFactor;
            material.BaseColor = Color(float(c[0]), float(c[1]), float(c[2]), float(c[3]));
        }
        material.MetallicRoughnessTexture = ImageUri(gltf, pbr.metallicRoughnessTexture.index);
        material.Metallic = float(pbr.metallicFactor);
        material.Roughness = float(pbr.roughnessFactor);
        material.EmissiveTexture = ImageUri(gltf, source.emissiveTexture.index);
        if (source.emissiveFactor.size() == 3) {
            const auto& e = source.emissiveFactor;
            material.Emissive = Vector3(float(e[0]), float(e[1]), float(e[2]));
        }
        material.NormalTexture = ImageUri(gltf, source.normalTexture.index);
        material.OcclusionTexture = ImageUri(gltf, source.occlusionTexture.index);
        record.Materials.push_back(material);
    }
    if (record.Materials.empty()) {
        record.Materials.emplace_back();
    }
}

bool ValidNode(const tinygltf::Model& gltf, int index) { return index >= 0 && size_t(index) < gltf.nodes.size(); }

// The walks below assume a forest: every child index exists, no node has two parents and no
// node is its own ancestor. Anything else would loop forever or tie shared pointers in a ring.
bool CheckHierarchy(const tinygltf::Model& gltf, std::string& error) {
    std::vector<int> parentCount(gltf.nodes.size(), 0);
    for (size_t i = 0; i < gltf.nodes.size(); ++i) {
        for (const int child : gltf.nodes[i].children) {
            if (!ValidNode(gltf, child) || ++parentCount[size_t(child)] > 1) {
                error = "node " + std::to_string(i) + " has a missing or shared child " + std::to_string(child);
                return false;
            }
        }
    }
    // With at most one parent each, the nodes that cannot be reached from a parentless node lie
    // on a cycle or below one.
    std::vector<int> pending;
    for (size_t i = 0; i < gltf.nodes.size(); ++i) {
        if (parentCount[i] == 0) {
            pending.push_back(int(i));
        }
    }
    size_t reached = 0;
    while (!pending.empty()) {
        const int node = pending.back();
        pending.pop_back();
        ++reached;
        const auto& children = gltf.nodes[size_t(node)].children;
        pending.insert(pending.end(), children.begin(), children.end());
    }
    if (reached != gltf.nodes.size()) {
        error = "the node hierarchy contains a cycle";
        return false;
    }
    for (const tinygltf::Scene& scene : gltf.scenes) {
        for (const int root : scene.nodes) {
            if (!ValidNode(gltf, root)) {
                error = "a scene lists the missing node " + std::to_string(root);
                return false;
            }
        }
    }
    return true;
}

bool ReadLocalTransform(const tinygltf::Node& source, Matrix& local) {
    const auto& s = source.scale;
    const auto& r = source.rotation;
    const auto& t = source.translation;
    const auto& m = source.matrix;
    const auto presentWith = [](const std::vector<double>& values, size_t size) { return values.size() == size; };
    if ((!s.empty() && !presentWith(s, 3)) || (!r.empty() && !presentWith(r, 4)) ||
        (!t.empty() && !presentWith(t, 3)) || (!m.empty() && !presentWith(m, 16))) {
        return false;
    }
    Matrix scale;
    Matrix rotation;
    Matrix translation;
    if (!s.empty()) {
        scale = Matrix::CreateScale(Vector3(float(s[0]), float(s[1]), float(s[2])));
    }
    if (!r.empty()) {
        rotation = Matrix::CreateFromQuaternion(Quaternion(float(r[0]), float(r[1]), float(r[2]), float(r[3])));
    }
    if (!t.empty()) {
        translation = Matrix::CreateTranslation(float(t[0]), float(t[1]), float(t[2]));
    }
    // glTF stores a matrix column by column for column vectors; read row by row it is the same
    // transform for our row vectors.
    if (!m.empty()) {
        for (int i = 0; i < 16; ++i) {
            scale.m[i / 4][i % 4] = float(m[size_t(i)]);
        }
    }
    local = scale * rotation * translation;
    // Mirror z on both sides: right-handed glTF to our left-handed space.
    local.m[0][2] = -local.m[0][2];
    local.m[1][2] = -local.m[1][2];
    local.m[2][0] = -local.m[2][0];
    local.m[2][1] = -local.m[2][1];
    local.m[3][2] = -local.m[3][2];
    return true;
}

bool ReadNodes(const tinygltf::Model& gltf, FwGLTFModel& record, std::string& error) {
    for (size_t i = 0; i < gltf.nodes.size(); ++i) {
        auto node = std::make_shared<FwGLTFNode>();
        node->Name = gltf.nodes[i].name;
        node->NodeIndex = int32_t(i);
        if (!ReadLocalTransform(gltf.nodes[i], node->LocalTransform)) {
            error = "node " + std::to_string(i) + " has a malformed transform";
            return false;
        }
        const int mesh = gltf.nodes[i].mesh;
        if (mesh >= int(gltf.meshes.size())) {
            error = "node " + std::to_string(i) + " names the missing mesh " + std::to_string(mesh);
            return false;
        }
        node->IsMesh = mesh >= 0;
        record.Nodes.push_back(node);
    }
    for (size_t i = 0; i < gltf.nodes.size(); ++i) {
        for (const int child : gltf.nodes[i].children) {
            record.Nodes[i]->Children.push_back(record.Nodes[size_t(child)]);
        }
    }
    return true;
}

void SetWorldTransforms(FwGLTFNode& node, const Matrix* parentWorld) {
    node.WorldTransform = parentWorld ? node.LocalTransform * *parentWorld : node.LocalTransform;
    for (const auto& child : node.Children) {
        SetWorldTransforms(*child, &node.WorldTransform);
    }
}

// Reads a per-vertex attribute with the accepted element sizes; a POSITION read (no vertices
// yet) sets the vertex count, every other attribute must match it.
bool ReadAttribute(const tinygltf::Model& gltf, int accessorIndex, std::vector<FwMeshVertex>& vertices,
                   int minComponents, int maxComponents, FwGLTFAccessor& accessor, std::string& error) {
    if (!accessor.Read(gltf, accessorIndex, error)) {
        return false;
    }
    if (vertices.empty()) {
        vertices.resize(accessor.Count());
    }
    if (accessor.ComponentCount() < minComponents || accessor.ComponentCount() > maxComponents ||
        accessor.Count() != vertices.size()) {
        error = "accessor " + std::to_string(accessorIndex) + " has the wrong element type or count";
        return false;
    }
    return true;
}

// Reads a float VEC3 attribute as (x, y, -z) into each vertex.
bool ReadMirroredVectors(const tinygltf::Model& gltf, int accessorIndex, std::vector<FwMeshVertex>& vertices,
                         Vector3 FwMeshVertex::*member, std::string& error) {
    FwGLTFAccessor accessor;
    if (!ReadAttribute(gltf, accessorIndex, vertices, 3, 3, accessor, error)) {
        return false;
    }
    if (accessor.ComponentType() != TINYGLTF_COMPONENT_TYPE_FLOAT) {
        error = "accessor " + std::to_string(accessorIndex) + " is not a float VEC3";
        return false;
    }
    for (size_t i = 0; i < vertices.size(); ++i) {
        vertices[i].*member = Vector3(accessor.Raw(i, 0), accessor.Raw(i, 1), -accessor.Raw(i, 2));
    }
    return true;
}

bool ReadTexCoords(const tinygltf::Model& gltf, int accessorIndex, std::vector<FwMeshVertex>& vertices,
                   std::string& error) {
    FwGLTFAccessor accessor;
    if (!ReadAttribute(gltf, accessorIndex, vertices, 2, 2, accessor, error)) {
        return false;
    }
    for (size_t i = 0; i < vertices.size(); ++i) {
        vertices[i].uv = Vector2(accessor.Normalized(i, 0), accessor.Normalized(i, 1));
    }
    return true;
}

bool ReadColors(const tinygltf::Model& gltf, int accessorIndex, std::vector<FwMeshVertex>& vertices,
                std::string& error) {
    FwGLTFAccessor accessor;
    if (!ReadAttribute(gltf, accessorIndex, vertices, 3, 4, accessor, error)) {
        return false;
    }
    for (size_t i = 0; i < vertices.size(); ++i) {
        for (int c = 0; c < 4; ++c) {
            const float value = c < accessor.ComponentCount() ? accessor.Normalized(i, c) : 1.0f;
            // Written so that NaN, which std::clamp would pass through, becomes 0.
            const float clamped = value > 0.0f ? std::min(value, 1.0f) : 0.0f;
            vertices[i].color[c] = uint8_t(clamped * 255.0f);
        }
    }
    return true;
}

// Faces with the winding reversed, which together with the z mirror keeps triangles front-facing.
bool ReadFaces(const tinygltf::Model& gltf, int accessorIndex, GLTFPrimitive& primitive, std::string& error) {
    const size_t vertexCount = primitive.Vertices.size();
    if (accessorIndex < 0) {
        // Without indices the vertices are the triangle list.
        for (uint32_t k = 0; k + 2 < vertexCount; k += 3) {
            primitive.Faces.push_back({{k, k + 2, k + 1}});
        }
        return true;
    }
    FwGLTFAccessor accessor;
    if (!accessor.Read(gltf, accessorIndex, error)) {
        return false;
    }
    if (accessor.ComponentCount() != 1 || accessor.ComponentType() == TINYGLTF_COMPONENT_TYPE_FLOAT) {
        error = "index accessor " + std::to_string(accessorIndex) + " is not a scalar integer";
        return false;
    }
    uint32_t index[3];
    for (size_t k = 0; k < accessor.Count() / 3; ++k) {
        for (int c = 0; c < 3; ++c) {
            const int64_t value = accessor.Integer(3 * k + size_t(c));
            if (value < 0 || uint64_t(value) >= vertexCount) {
                error = "index " + std::to_string(value) + " is outside the " + std::to_string(vertexCount) +
                        " vertices of its primitive";
                return false;
            }
            index[c] = uint32_t(value);
        }
        primitive.Faces.push_back({{index[0], index[2], index[1]}});
    }
    return true;
}

bool ReadPrimitive(const tinygltf::Model& gltf, const tinygltf::Primitive& source, size_t materialCount,
                   GLTFPrimitive& primitive, std::string& error) {
    primitive.MaterialNo = source.material < 1 ? 0 : source.material;
    if (size_t(primitive.MaterialNo) >= materialCount) {
        error = "a primitive names the missing material " + std::to_string(source.material);
        return false;
    }
    primitive.Attributes = source.attributes;
    const auto attribute = [&](const char* name) {
        const auto it = primitive.Attributes.find(name);
        return it == primitive.Attributes.end() ? -1 : it->second;
    };
    const int position = attribute("POSITION");
    if (position < 0) {
        error = "a primitive has no POSITION";
        return false;
    }
    auto& vertices = primitive.Vertices;
    if (!ReadMirroredVectors(gltf, position, vertices, &FwMeshVertex::position, error)) {
        return false;
    }
    const int normal = attribute("NORMAL");
    const int texCoord = attribute("TEXCOORD_0");
    const int color = attribute("COLOR_0");
    return (normal < 0 || ReadMirroredVectors(gltf, normal, vertices, &FwMeshVertex::normal, error)) &&
           (texCoord < 0 || ReadTexCoords(gltf, texCoord, vertices, error)) &&
           (color < 0 || ReadColors(gltf, color, vertices, error)) && ReadFaces(gltf, source.indices, primitive, error);
}

// `vertices` and `faces` count what the model holds so far, this mesh included.
bool ReadMesh(const tinygltf::Model& gltf, const tinygltf::Mesh& mesh, size_t materialCount, FwGLTFNode& node,
              size_t& vertices, size_t& faces, std::string& error) {
    std::vector<GLTFPrimitive> primitives;
    for (const tinygltf::Primitive& source : mesh.primitives) {
        if (source.mode != TINYGLTF_MODE_TRIANGLES) {
            continue;
        }
        GLTFPrimitive primitive;
        if (!ReadPrimitive(gltf, source, materialCount, primitive, error)) {
            return false;
        }
        vertices += primitive.Vertices.size();
        faces += primitive.Faces.size();
        if (vertices > kMaxModelVertices || faces > kMaxModelFaces) {
            error = "the model has more than " + std::to_string(kMaxModelVertices) + " vertices or " +
                    std::to_string(kMaxModelFaces) + " faces";
            return false;
        }
        primitives.push_back(std::move(primitive));
    }
    std::stable_sort(primitives.begin(), primitives.end(),
                     [](const GLTFPrimitive& a, const GLTFPrimitive& b) { return a.MaterialNo < b.MaterialNo; });
    for (const GLTFPrimitive& primitive : primitives) {
        const auto base = uint32_t(node.Vertices.size());
        node.Subsets.push_back({primitive.MaterialNo, uint32_t(node.Faces.size()), uint32_t(primitive.Faces.size())});
        node.Vertices.insert(node.Vertices.end(), primitive.Vertices.begin(), primitive.Vertices.end());
        for (const FwMeshFace& face : primitive.Faces) {
            node.Faces.push_back({{face.idx[0] + base, face.idx[1] + base, face.idx[2] + base}});
        }
    }
    return true;
}

bool BuildRecord(const tinygltf::Model& gltf, FwGLTFModel& record, std::string& error) {
    ReadMaterials(gltf, record);
    if (!CheckHierarchy(gltf, error) || !ReadNodes(gltf, record, error)) {
        return false;
    }
    if (!gltf.scenes.empty()) {
        for (const int root : gltf.scenes.front().nodes) {
            record.RootNodes.push_back(record.Nodes[size_t(root)]);
        }
    }
    for (const auto& root : record.RootNodes) {
        SetWorldTransforms(*root, nullptr);
    }
    size_t vertices = 0;
    size_t faces = 0;
    for (size_t i = 0; i < gltf.nodes.size(); ++i) {
        const int mesh = gltf.nodes[i].mesh;
        if (mesh >= 0 && !ReadMesh(gltf, gltf.meshes[size_t(mesh)], record.Materials.size(), *record.Nodes[i], vertices,
                                   faces, error)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::shared_ptr<FwGLTFModel> FwLoadGLTFModel(const std::string& path) {
    std::string error;
    try {
        tinygltf::Model gltf;
        if (!ReadFile(path, gltf)) {
            return nullptr;
        }
        auto record = std::make_shared<FwGLTFModel>();
        if (BuildRecord(gltf, *record, error)) {
            return record;
        }
    } catch (const std::exception& exception) {
        error = exception.what();
    }
    std::printf("Err: %s\n", error.c_str());
    std::printf("Failed to parse glTF\n");
    return nullptr;
}

std::string GetDirFromPath(const std::string& path) {
    const size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string FwResolveModelUri(const std::string& folder, const std::string& uri) {
    const size_t colon = uri.find(':');
    if (uri.empty() || (colon != std::string::npos && colon < uri.find('/'))) {
        return {};
    }
    std::string slashed = uri;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    const std::filesystem::path relative = std::filesystem::path(slashed).lexically_normal();
    if (relative.is_absolute() || *relative.begin() == "..") {
        return {};
    }
    return FwResolvePathFrom(folder, relative.string());
}
