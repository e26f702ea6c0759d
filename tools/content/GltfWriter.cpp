#include "tools/content/GltfWriter.h"

#include "tools/content/MeshBuilder.h"
#include "tools/content/ModelTextures.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <fstream>
#include <iostream>
#include <map>

namespace {

using Json = nlohmann::ordered_json;

constexpr int kFloat = 5126;
constexpr int kUnsignedInt = 5125;
constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;
constexpr int kTriangles = 4;

// One buffer with one view per accessor, each 4-byte aligned.
class BufferLayout {
public:
    explicit BufferLayout(Json& document) : document(document) {}

    int AddFloats(const std::vector<float>& values, int components, const char* type) {
        const int view = AddView(values.data(), values.size() * sizeof(float), kArrayBuffer);
        Json accessor = {{"bufferView", view},
                         {"componentType", kFloat},
                         {"count", values.size() / static_cast<size_t>(components)},
                         {"type", type}};
        return AddAccessor(accessor);
    }

    int AddPositions(const std::vector<float>& values) {
        const int accessor = AddFloats(values, 3, "VEC3");
        Json minimum = {values[0], values[1], values[2]}, maximum = minimum;
        for (size_t i = 0; i < values.size(); ++i) {
            const size_t axis = i % 3;
            minimum[axis] = std::min(minimum[axis].get<float>(), values[i]);
            maximum[axis] = std::max(maximum[axis].get<float>(), values[i]);
        }
        document["accessors"][accessor]["min"] = minimum;
        document["accessors"][accessor]["max"] = maximum;
        return accessor;
    }

    int AddIndices(const std::vector<uint32_t>& values) {
        const int view = AddView(values.data(), values.size() * sizeof(uint32_t), kElementArrayBuffer);
        return AddAccessor(
            {{"bufferView", view}, {"componentType", kUnsignedInt}, {"count", values.size()}, {"type", "SCALAR"}});
    }

    const std::vector<char>& Bytes() const { return bytes; }

private:
    int AddView(const void* data, size_t size, int target) {
        const size_t offset = bytes.size();
        bytes.resize(offset + size);
        std::memcpy(bytes.data() + offset, data, size);
        bytes.resize((bytes.size() + 3) & ~size_t{3}, 0);
        document["bufferViews"].push_back(
            {{"buffer", 0}, {"byteOffset", offset}, {"byteLength", size}, {"target", target}});
        return static_cast<int>(document["bufferViews"].size()) - 1;
    }

    int AddAccessor(const Json& accessor) {
        document["accessors"].push_back(accessor);
        return static_cast<int>(document["accessors"].size()) - 1;
    }

    Json& document;
    std::vector<char> bytes;
};

Json MaterialJson(const MeshMaterial& material, int textureIndex) {
    const Color& c = material.baseColor;
    Json pbr = {{"baseColorFactor", {c.r, c.g, c.b, c.a}},
                {"metallicFactor", material.metallic},
                {"roughnessFactor", material.roughness}};
    if (textureIndex >= 0) {
        pbr["baseColorTexture"] = {{"index", textureIndex}};
    }
    Json json = {{"name", material.name}, {"pbrMetallicRoughness", pbr}};
    const Vector3& e = material.emissive;
    if (e.x > 0.0f || e.y > 0.0f || e.z > 0.0f) {
        json["emissiveFactor"] = {e.x, e.y, e.z};
    }
    if (material.blend) {
        json["alphaMode"] = "BLEND";
    }
    return json;
}

// glTF is right-handed: mirror z and reverse each triangle.
Json PrimitiveJson(const MeshPrimitive& primitive, BufferLayout& layout) {
    std::vector<float> positions, normals, uvs, colours;
    for (const MeshVertex& v : primitive.vertices) {
        positions.insert(positions.end(), {v.position.x, v.position.y, -v.position.z});
        normals.insert(normals.end(), {v.normal.x, v.normal.y, -v.normal.z});
        uvs.insert(uvs.end(), {v.uv.x, v.uv.y});
        colours.insert(colours.end(), {v.color.r, v.color.g, v.color.b, v.color.a});
    }
    std::vector<uint32_t> indices;
    for (size_t i = 0; i + 2 < primitive.indices.size(); i += 3) {
        indices.insert(indices.end(), {primitive.indices[i], primitive.indices[i + 2], primitive.indices[i + 1]});
    }
    Json attributes;
    attributes["POSITION"] = layout.AddPositions(positions);
    attributes["NORMAL"] = layout.AddFloats(normals, 3, "VEC3");
    attributes["TEXCOORD_0"] = layout.AddFloats(uvs, 2, "VEC2");
    attributes["COLOR_0"] = layout.AddFloats(colours, 4, "VEC4");
    return {{"attributes", attributes},
            {"indices", layout.AddIndices(indices)},
            {"material", primitive.material},
            {"mode", kTriangles}};
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!file) {
        std::cerr << "quarnel_content: cannot write " << path << "\n";
        return false;
    }
    return true;
}

}  // namespace

bool WriteGltf(const MeshBuilder& mesh, const std::string& directory, const std::string& name) {
    Json document;
    document["asset"] = {{"version", "2.0"}, {"generator", "quarnel_content"}};
    document["scene"] = 0;
    document["nodes"] = Json::array({{{"name", name}, {"mesh", 0}}});
    for (const MeshMarker& marker : mesh.Markers()) {
        const Vector3 centre = (marker.minimum + marker.maximum) * 0.5f, half = (marker.maximum - marker.minimum) * 0.5f;
        document["nodes"].push_back({{"name", marker.name},
                                     {"translation", {centre.x, centre.y, -centre.z}},
                                     {"scale", {half.x, half.y, half.z}}});
    }
    Json roots = Json::array();
    for (size_t i = 0; i < document["nodes"].size(); ++i) {
        roots.push_back(i);
    }
    document["scenes"] = Json::array({{{"nodes", roots}}});
    document["bufferViews"] = Json::array();
    document["accessors"] = Json::array();

    // Each distinct picture becomes one image and one texture.
    std::map<const MeshTexture*, int> textureIndices;
    bool ok = true;
    for (const MeshMaterial& material : mesh.Materials()) {
        const MeshTexture* texture = material.texture.get();
        if (texture == nullptr || textureIndices.count(texture) != 0) {
            continue;
        }
        const int index = static_cast<int>(textureIndices.size());
        textureIndices[texture] = index;
        document["images"].push_back({{"uri", texture->fileName}});
        document["textures"].push_back({{"sampler", 0}, {"source", index}});
        ok = texture->picture.WritePng(directory + "/" + texture->fileName) && ok;
    }
    if (!textureIndices.empty()) {
        // Linear, mipmapped, repeating.
        document["samplers"] =
            Json::array({{{"magFilter", 9729}, {"minFilter", 9987}, {"wrapS", 10497}, {"wrapT", 10497}}});
    }
    for (const MeshMaterial& material : mesh.Materials()) {
        const auto found = textureIndices.find(material.texture.get());
        document["materials"].push_back(MaterialJson(material, found == textureIndices.end() ? -1 : found->second));
    }

    BufferLayout layout(document);
    Json primitives = Json::array();
    for (const MeshPrimitive& primitive : mesh.Primitives()) {
        if (!primitive.indices.empty()) {
            primitives.push_back(PrimitiveJson(primitive, layout));
        }
    }
    document["meshes"] = Json::array({{{"name", name}, {"primitives", primitives}}});
    const std::vector<char>& bytes = layout.Bytes();
    document["buffers"] = Json::array({{{"uri", name + ".bin"}, {"byteLength", bytes.size()}}});

    ok = WriteFile(directory + "/" + name + ".bin", std::string(bytes.begin(), bytes.end())) && ok;
    return WriteFile(directory + "/" + name + ".gltf", document.dump(1) + "\n") && ok;
}
