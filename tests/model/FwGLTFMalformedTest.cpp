#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "framework/model/FwGLTFModel.h"
#include "tests/model/GLTFTestFile.h"
#include "tests/support/GameRun.h"

// Files whose numbers do not fit their data must fail with an error line, never read outside
// their buffers (run this suite under AddressSanitizer to see that).

namespace {

// A valid file: one node with a triangle that has positions, normals and indices.
GLTFTestFile ValidFile() {
    GLTFTestFile file;
    const int positions = file.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
    const int normals = file.AddFloats({0, 0, 1, 0, 0, 1, 0, 0, 1}, "VEC3");
    const int indices = file.AddIndices({0, 1, 2});
    file.AddMeshNode({{{"attributes", {{"POSITION", positions}, {"NORMAL", normals}}}, {"indices", indices}}});
    return file;
}

std::string LoadOutput(const std::string& path, bool& loaded) {
    testing::internal::CaptureStdout();
    loaded = FwLoadGLTFModel(path) != nullptr;
    return testing::internal::GetCapturedStdout();
}

// Sparse substitutes for the positions: the listed element indices and `valueCount` values.
void AddSparsePositions(GLTFTestFile& file, const std::vector<uint8_t>& indices, int valueCount) {
    const int indexView = file.AddView(indices.data(), indices.size());
    const std::vector<float> values(size_t(valueCount) * 3, 5.0f);
    const int valueView = file.AddView(values.data(), values.size() * sizeof(float));
    file.json["accessors"][0]["sparse"] = {{"count", indices.size()},
                                           {"indices", {{"bufferView", indexView}, {"componentType", 5121}}},
                                           {"values", {{"bufferView", valueView}}}};
}

struct Breakage {
    const char* name;
    std::function<void(GLTFTestFile&)> apply;
};

// Accessors 0 positions, 1 normals, 2 indices; views 0, 1, 2 likewise.
const Breakage kBreakages[] = {
    {"CountBeyondView", [](GLTFTestFile& f) { f.json["accessors"][0]["count"] = 1000; }},
    {"CountThatOverflows", [](GLTFTestFile& f) { f.json["accessors"][0]["count"] = 1ull << 62; }},
    {"OffsetBeyondView", [](GLTFTestFile& f) { f.json["accessors"][1]["byteOffset"] = 4; }},
    {"HugeOffset", [](GLTFTestFile& f) { f.json["accessors"][0]["byteOffset"] = 1ull << 63; }},
    {"ViewBeyondBuffer", [](GLTFTestFile& f) { f.json["bufferViews"][1]["byteOffset"] = 60; }},
    {"ViewLongerThanBuffer", [](GLTFTestFile& f) { f.json["bufferViews"][0]["byteLength"] = 4096; }},
    {"StrideSmallerThanElement", [](GLTFTestFile& f) { f.json["bufferViews"][0]["byteStride"] = 4; }},
    {"StrideReadsPastView", [](GLTFTestFile& f) { f.json["bufferViews"][0]["byteStride"] = 16; }},
    {"IndexBeyondVertices",
     [](GLTFTestFile& f) {
         f.json["meshes"][0]["primitives"][0]["indices"] = f.AddIndices({0, 1, 3});
     }},
    {"IndicesWiderThanTheirView", [](GLTFTestFile& f) { f.json["accessors"][2]["componentType"] = 5125; }},
    {"FloatIndices", [](GLTFTestFile& f) { f.json["meshes"][0]["primitives"][0]["indices"] = 1; }},
    {"IntegerPositions", [](GLTFTestFile& f) { f.json["accessors"][0]["componentType"] = 5125; }},
    {"NormalCountDiffers", [](GLTFTestFile& f) { f.json["accessors"][1]["count"] = 2; }},
    {"MissingAccessor", [](GLTFTestFile& f) { f.json["meshes"][0]["primitives"][0]["attributes"]["NORMAL"] = 99; }},
    {"MissingView", [](GLTFTestFile& f) { f.json["accessors"][1]["bufferView"] = 99; }},
    {"NoPosition", [](GLTFTestFile& f) { f.json["meshes"][0]["primitives"][0]["attributes"].erase("POSITION"); }},
    {"MissingMaterial", [](GLTFTestFile& f) { f.json["meshes"][0]["primitives"][0]["material"] = 5; }},
    {"MissingMesh", [](GLTFTestFile& f) { f.json["nodes"][0]["mesh"] = 9; }},
    {"MissingChild", [](GLTFTestFile& f) { f.json["nodes"][0]["children"] = {7}; }},
    {"SharedChild",
     [](GLTFTestFile& f) {
         const int child = f.AddNode(nlohmann::json::object(), false);
         f.AddNode({{"children", {child}}});
         f.AddNode({{"children", {child}}});
     }},
    {"CycleOfNodes",
     [](GLTFTestFile& f) {
         f.json["nodes"].push_back({{"children", {2}}});
         f.json["nodes"].push_back({{"children", {1}}});
     }},
    {"SceneListsMissingNode", [](GLTFTestFile& f) { f.json["scenes"][0]["nodes"].push_back(42); }},
    {"ShortTranslation",
     [](GLTFTestFile& f) {
         f.json["nodes"][0]["translation"] = {1, 2};
     }},
    {"SparseIndexBeyondCount", [](GLTFTestFile& f) { AddSparsePositions(f, {3}, 1); }},
    {"SparseCountBeyondValues",
     [](GLTFTestFile& f) {
         AddSparsePositions(f, {0, 1}, 1);
     }},
    {"UnknownUriScheme", [](GLTFTestFile& f) { f.bufferUri = "ftp://example.com/broken.bin"; }},
    {"DataUriShorterThanBuffer",
     [](GLTFTestFile& f) { f.bufferUri = "data:application/octet-stream;base64,AAAAAAAA"; }},
    {"ImageViewBeyondBuffer",
     [](GLTFTestFile& f) {
         f.json["bufferViews"].push_back({{"buffer", 0}, {"byteOffset", 1 << 20}, {"byteLength", 64}});
         f.json["images"] = {{{"bufferView", int(f.json["bufferViews"].size()) - 1}, {"mimeType", "image/png"}}};
     }},
};

class GLTFMalformed : public testing::TestWithParam<Breakage> {};

TEST_P(GLTFMalformed, FailsWithAnErrorLineAsTextAndAsBinary) {
    GLTFTestFile file = ValidFile();
    GetParam().apply(file);
    TempDir dir;
    file.WriteText(dir.File("broken.gltf"));
    file.WriteBinary(dir.File("broken.glb"));
    for (const char* name : {"broken.gltf", "broken.glb"}) {
        bool loaded = true;
        const std::string output = LoadOutput(dir.File(name), loaded);
        EXPECT_FALSE(loaded) << name;
        EXPECT_NE(output.find("Err: "), std::string::npos) << name << ": " << output;
        EXPECT_NE(output.find("Failed to parse glTF\n"), std::string::npos) << name << ": " << output;
    }
}

INSTANTIATE_TEST_SUITE_P(Breakages, GLTFMalformed, testing::ValuesIn(kBreakages),
                         [](const testing::TestParamInfo<Breakage>& info) { return std::string(info.param.name); });

TEST(GLTFMalformedFiles, TheUnbrokenFileLoads) {
    TempDir dir;
    ValidFile().WriteBinary(dir.File("valid.glb"));
    bool loaded = false;
    LoadOutput(dir.File("valid.glb"), loaded);
    EXPECT_TRUE(loaded);
}

TEST(GLTFMalformedFiles, TruncatedFilesFailCleanly) {
    TempDir dir;
    const GLTFTestFile file = ValidFile();
    file.WriteBinary(dir.File("whole.glb"));
    file.WriteText(dir.File("whole.gltf"));
    for (const char* name : {"whole.glb", "whole.gltf", "whole.bin"}) {
        std::ifstream in(dir.File(name), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (const size_t cut : {size_t(0), size_t(4), size_t(11), size_t(12), size_t(19), size_t(20), bytes.size() / 2,
                                 bytes.size() - 1}) {
            const std::string extension = std::filesystem::path(name).extension().string();
            std::ofstream(dir.File("cut" + extension), std::ios::binary).write(bytes.data(), std::streamsize(cut));
            if (extension == ".bin") {
                // A cut .bin is read through an intact .gltf that names it.
                std::string text = ReadTextFile(dir.File("whole.gltf"));
                text.replace(text.find("whole.bin"), 9, "cut.bin");
                WriteTextFile(dir.File("cut.gltf"), text);
            }
            const std::string path = dir.File(extension == ".glb" ? "cut.glb" : "cut.gltf");
            bool loaded = true;
            const std::string output = LoadOutput(path, loaded);
            EXPECT_FALSE(loaded) << name << " cut at " << cut;
            EXPECT_NE(output.find("Failed to parse glTF\n"), std::string::npos) << name << " cut at " << cut;
        }
    }
}

}  // namespace

namespace {

struct Claim {
    const char* name;
    std::function<void(GLTFTestFile&)> apply;
    const char* reason;
};

// Positions that have no buffer view read as zeros: a file can claim them without holding them.
int AddZeroPositions(GLTFTestFile& f, size_t count) {
    f.json["accessors"].push_back({{"componentType", 5126}, {"type", "VEC3"}, {"count", count}});
    return int(f.json["accessors"].size()) - 1;
}

const Claim kClaims[] = {
    {"AccessorOfFiveMillionElements",
     [](GLTFTestFile& f) {
         f.json["meshes"][0]["primitives"][0]["attributes"]["POSITION"] = AddZeroPositions(f, 5'000'000);
     },
     "too many elements (5000000)"},
    {"MoreVerticesThanAModelMayHave",
     [](GLTFTestFile& f) {
         const int zeros = AddZeroPositions(f, 400'000);
         for (int i = 0; i < 3; ++i) {
             nlohmann::json primitive;
             primitive["attributes"]["POSITION"] = zeros;
             f.json["meshes"][0]["primitives"].push_back(primitive);
         }
     },
     "more than 1048576 vertices"},
};

class GLTFLimits : public testing::TestWithParam<Claim> {};

// Refused before the memory is asked for, with the reason in the error line: the model stays empty.
TEST_P(GLTFLimits, AbsurdClaimsAreRefusedWithTheirReason) {
    GLTFTestFile file = ValidFile();
    GetParam().apply(file);
    TempDir dir;
    file.WriteBinary(dir.File("claims.glb"));
    bool loaded = true;
    const std::string output = LoadOutput(dir.File("claims.glb"), loaded);
    EXPECT_FALSE(loaded);
    EXPECT_NE(output.find(GetParam().reason), std::string::npos) << output;
    EXPECT_NE(output.find("Failed to parse glTF\n"), std::string::npos) << output;
}

INSTANTIATE_TEST_SUITE_P(Claims, GLTFLimits, testing::ValuesIn(kClaims),
                         [](const testing::TestParamInfo<Claim>& info) { return std::string(info.param.name); });

}  // namespace
