#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Builds small glTF files for the model tests: one binary buffer, views and accessors appended
// through the helpers, everything else (nodes, meshes, materials, scenes) written into `json`.
class GLTFTestFile {
public:
    GLTFTestFile();

    // Appends raw bytes as a new buffer view (4-byte aligned) and returns its index.
    int AddView(const void* data, size_t size, size_t stride = 0);
    int AddAccessor(int view, int componentType, const char* type, size_t count, size_t byteOffset = 0);

    // A view plus a tightly packed accessor over `values`.
    int AddFloats(const std::vector<float>& values, const char* type);
    int AddIndices(const std::vector<uint16_t>& indices);

    // A mesh with one primitive per (POSITION, indices, material) triple; material -1 leaves it out.
    struct Primitive {
        std::vector<float> positions;
        std::vector<uint16_t> indices;
        int material = -1;
    };
    int AddMesh(const std::vector<Primitive>& primitives);
    // A mesh of the given primitives (a JSON array) on a new root node; returns the node index.
    int AddMeshNode(const nlohmann::json& primitives);
    // A node, listed by the first scene unless it is a child.
    int AddNode(nlohmann::json node, bool root = true);

    // A single-triangle mesh on a root node; returns the node index.
    int AddTriangle(const std::vector<float>& positions, const nlohmann::json& nodeExtras = {});

    // .gltf with the buffer as a separate "<stem>.bin" beside it.
    void WriteText(const std::string& path) const;
    // .gltf with the buffer inside it as a base64 data URI.
    void WriteEmbedded(const std::string& path) const;
    void WriteBinary(const std::string& path) const;

    nlohmann::json json;
    // When set, the buffer's uri as written (text and binary), in place of the file beside.
    std::string bufferUri;

private:
    // The json with its buffer entry, named by `uri` (none for the binary chunk) unless bufferUri is set.
    nlohmann::json Document(const std::string& uri) const;
    std::vector<uint8_t> bin;
};
