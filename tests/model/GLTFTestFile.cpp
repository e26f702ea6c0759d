#include "tests/model/GLTFTestFile.h"

#include <filesystem>
#include <fstream>

GLTFTestFile::GLTFTestFile() {
    json = {{"asset", {{"version", "2.0"}}},        {"scenes", {{{"nodes", nlohmann::json::array()}}}},
            {"nodes", nlohmann::json::array()},     {"meshes", nlohmann::json::array()},
            {"accessors", nlohmann::json::array()}, {"bufferViews", nlohmann::json::array()}};
}

int GLTFTestFile::AddView(const void* data, size_t size, size_t stride) {
    while (bin.size() % 4 != 0) {
        bin.push_back(0);
    }
    nlohmann::json view = {{"buffer", 0}, {"byteOffset", bin.size()}, {"byteLength", size}};
    if (stride != 0) {
        view["byteStride"] = stride;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    bin.insert(bin.end(), bytes, bytes + size);
    json["bufferViews"].push_back(view);
    return int(json["bufferViews"].size()) - 1;
}

int GLTFTestFile::AddAccessor(int view, int componentType, const char* type, size_t count, size_t byteOffset) {
    nlohmann::json accessor = {{"componentType", componentType}, {"type", type}, {"count", count}};
    if (view >= 0) {
        accessor["bufferView"] = view;
    }
    if (byteOffset != 0) {
        accessor["byteOffset"] = byteOffset;
    }
    json["accessors"].push_back(accessor);
    return int(json["accessors"].size()) - 1;
}

int GLTFTestFile::AddFloats(const std::vector<float>& values, const char* type) {
    const size_t components = std::string(type) == "VEC2"   ? 2
                              : std::string(type) == "VEC3" ? 3
                              : std::string(type) == "VEC4" ? 4
                                                            : 1;
    const int view = AddView(values.data(), values.size() * sizeof(float));
    return AddAccessor(view, 5126, type, values.size() / components);
}

int GLTFTestFile::AddIndices(const std::vector<uint16_t>& indices) {
    const int view = AddView(indices.data(), indices.size() * sizeof(uint16_t));
    return AddAccessor(view, 5123, "SCALAR", indices.size());
}

int GLTFTestFile::AddMesh(const std::vector<Primitive>& primitives) {
    nlohmann::json mesh = {{"primitives", nlohmann::json::array()}};
    for (const Primitive& p : primitives) {
        nlohmann::json primitive = {{"attributes", {{"POSITION", AddFloats(p.positions, "VEC3")}}}};
        if (!p.indices.empty()) {
            primitive["indices"] = AddIndices(p.indices);
        }
        if (p.material >= 0) {
            primitive["material"] = p.material;
        }
        mesh["primitives"].push_back(primitive);
    }
    json["meshes"].push_back(mesh);
    return int(json["meshes"].size()) - 1;
}

int GLTFTestFile::AddMeshNode(const nlohmann::json& primitives) {
    json["meshes"].push_back({{"primitives", primitives}});
    return AddNode({{"mesh", int(json["meshes"].size()) - 1}});
}

int GLTFTestFile::AddNode(nlohmann::json node, bool root) {
    json["nodes"].push_back(std::move(node));
    const int index = int(json["nodes"].size()) - 1;
    if (root) {
        json["scenes"][0]["nodes"].push_back(index);
    }
    return index;
}

int GLTFTestFile::AddTriangle(const std::vector<float>& positions, const nlohmann::json& nodeExtras) {
    nlohmann::json node = nodeExtras.is_null() ? nlohmann::json::object() : nodeExtras;
    node["mesh"] = AddMesh({{positions, {0, 1, 2}}});
    return AddNode(node);
}

nlohmann::json GLTFTestFile::Document(const std::string& uri) const {
    nlohmann::json document = json;
    document["buffers"] = nlohmann::json::array();
    if (!bin.empty()) {
        document["buffers"].push_back({{"byteLength", bin.size()}});
        const std::string& written = bufferUri.empty() ? uri : bufferUri;
        if (!written.empty()) {
            document["buffers"][0]["uri"] = written;
        }
    }
    return document;
}

void GLTFTestFile::WriteText(const std::string& path) const {
    const std::filesystem::path binPath = std::filesystem::path(path).replace_extension(".bin");
    std::ofstream(path) << Document(binPath.filename().string()).dump(1);
    std::ofstream(binPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(bin.data()), std::streamsize(bin.size()));
}

void GLTFTestFile::WriteEmbedded(const std::string& path) const {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string base64;
    for (size_t i = 0; i < bin.size(); i += 3) {
        const size_t left = bin.size() - i;
        const uint32_t group =
            uint32_t(bin[i]) << 16 | (left > 1 ? uint32_t(bin[i + 1]) << 8 : 0) | (left > 2 ? uint32_t(bin[i + 2]) : 0);
        for (size_t k = 0; k < 4; ++k) {
            base64 += k <= left ? kDigits[(group >> (18 - 6 * k)) & 63] : '=';
        }
    }
    std::ofstream(path) << Document("data:application/octet-stream;base64," + base64).dump(1);
}

void GLTFTestFile::WriteBinary(const std::string& path) const {
    std::string text = Document({}).dump();
    while (text.size() % 4 != 0) {
        text += ' ';
    }
    std::vector<uint8_t> chunk = bin;
    while (chunk.size() % 4 != 0) {
        chunk.push_back(0);
    }
    const auto u32 = [](std::ofstream& out, uint32_t value) { out.write(reinterpret_cast<const char*>(&value), 4); };
    std::ofstream out(path, std::ios::binary);
    out.write("glTF", 4);
    u32(out, 2);
    u32(out, uint32_t(12 + 8 + text.size() + 8 + chunk.size()));
    u32(out, uint32_t(text.size()));
    out.write("JSON", 4);
    out.write(text.data(), std::streamsize(text.size()));
    u32(out, uint32_t(chunk.size()));
    out.write("BIN\0", 4);
    out.write(reinterpret_cast<const char*>(chunk.data()), std::streamsize(chunk.size()));
}
