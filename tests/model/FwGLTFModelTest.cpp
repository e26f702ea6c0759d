#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "framework/model/FwGLTFModel.h"
#include "tests/model/GLTFTestFile.h"
#include "tests/support/GameRun.h"

namespace {

const std::vector<float> kTriangle = {0, 0, 0, 1, 0, 0, 0, 1, 0};

struct Loaded {
    std::shared_ptr<FwGLTFModel> model;
    std::string output;
};

Loaded LoadCapturing(const std::string& path) {
    testing::internal::CaptureStdout();
    Loaded loaded;
    loaded.model = FwLoadGLTFModel(path);
    loaded.output = testing::internal::GetCapturedStdout();
    return loaded;
}

Loaded WriteAndLoad(const GLTFTestFile& file, const TempDir& dir, const std::string& name = "model.gltf") {
    file.WriteText(dir.File(name));
    return LoadCapturing(dir.File(name));
}

void ExpectMatrixNear(const Matrix& actual, const Matrix& expected) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], 1e-5f) << "element [" << r << "][" << c << "]";
        }
    }
}

using Face = std::array<uint32_t, 3>;

Face Indices(const FwMeshFace& face) { return {face.idx[0], face.idx[1], face.idx[2]}; }

using Rgba = std::array<int, 4>;

Rgba ColorOf(const FwMeshVertex& vertex) {
    return {vertex.color[0], vertex.color[1], vertex.color[2], vertex.color[3]};
}

}  // namespace

TEST(GLTFTransforms, TranslationIsMirroredInZ) {
    TempDir dir;
    GLTFTestFile file;
    file.AddTriangle(kTriangle, {{"translation", {1, 2, 3}}});
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    EXPECT_EQ(loaded.model->Nodes[0]->LocalTransform.Translation(), Vector3(1, 2, -3));
}

// Whatever a node's transform, mirroring a point and transforming it must land on the mirror
// of the glTF result: the z mirror must be applied on both sides of the matrix.
TEST(GLTFTransforms, MirroredTransformMapsMirroredPointsToMirroredResults) {
    TempDir dir;
    GLTFTestFile file;
    const float s = std::sqrt(0.5f);
    file.AddNode({{"translation", {1, 2, 3}}, {"rotation", {0, s, 0, s}}, {"scale", {2, 3, 4}}});
    // The same node as a column-major matrix: 90 degrees about y, then scale, then translate.
    file.AddNode({{"matrix", {0, 0, -2, 0, 0, 3, 0, 0, 4, 0, 0, 0, 1, 2, 3, 1}}});
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    const Matrix& trs = loaded.model->Nodes[0]->LocalTransform;
    ExpectMatrixNear(loaded.model->Nodes[1]->LocalTransform, trs);
    // glTF: p = (1, 0, 0) scaled to (2, 0, 0), turned +90 degrees about y (right-handed) to
    // (0, 0, -2), moved to (1, 2, 1). Mirrored: (1, 0, 0) must land on (1, 2, -1).
    const Vector3 moved = Vector3::Transform(Vector3(1, 0, 0), trs);
    EXPECT_NEAR(moved.x, 1, 1e-5f);
    EXPECT_NEAR(moved.y, 2, 1e-5f);
    EXPECT_NEAR(moved.z, -1, 1e-5f);
}

TEST(GLTFTransforms, WorldIsLocalTimesParentWorldAndRootsFollowTheFirstScene) {
    TempDir dir;
    GLTFTestFile file;
    const int child = file.AddNode({{"translation", {0, 0, 1}}, {"scale", {1, 1, 1}}}, false);
    file.AddNode({{"scale", {2, 2, 2}}, {"children", {child}}});
    file.json["scenes"].push_back({{"nodes", {child}}});
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    ASSERT_EQ(loaded.model->RootNodes.size(), 1u);
    EXPECT_EQ(loaded.model->RootNodes[0]->NodeIndex, 1);
    ASSERT_EQ(loaded.model->Nodes[1]->Children.size(), 1u);
    EXPECT_EQ(loaded.model->Nodes[1]->Children[0], loaded.model->Nodes[0]);
    EXPECT_EQ(loaded.model->Nodes[0]->WorldTransform.Translation(), Vector3(0, 0, -2));
}

TEST(GLTFMeshes, PositionsAndNormalsAreMirroredAndWindingReversed) {
    TempDir dir;
    GLTFTestFile file;
    const int positions = file.AddFloats({0, 0, 1, 1, 0, 2, 0, 1, 3}, "VEC3");
    const int normals = file.AddFloats({0, 0, 1, 0, 0, 1, 0, 0, 1}, "VEC3");
    const int indices = file.AddIndices({0, 1, 2});
    file.AddMeshNode({{{"attributes", {{"POSITION", positions}, {"NORMAL", normals}}}, {"indices", indices}}});
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    const FwGLTFNode& node = *loaded.model->Nodes[0];
    ASSERT_TRUE(node.IsMesh);
    ASSERT_EQ(node.Vertices.size(), 3u);
    EXPECT_EQ(node.Vertices[1].position, Vector3(1, 0, -2));
    EXPECT_EQ(node.Vertices[2].normal, Vector3(0, 0, -1));
    EXPECT_EQ(node.Vertices[0].uv, Vector2(0, 0));
    EXPECT_EQ(ColorOf(node.Vertices[0]), Rgba({255, 255, 255, 255}));
    ASSERT_EQ(node.Faces.size(), 1u);
    EXPECT_EQ(Indices(node.Faces[0]), Face({0, 2, 1}));
}

TEST(GLTFMeshes, PrimitivesAreSortedByMaterialWithOffsetIndices) {
    TempDir dir;
    GLTFTestFile file;
    file.json["materials"] = {{{"name", "a"}}, {{"name", "b"}}, {{"name", "c"}}};
    // Material 2 first in the file: one triangle; then material 0: two triangles over 4 vertices.
    const int mesh =
        file.AddMesh({{kTriangle, {0, 1, 2}, 2}, {{0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, {0, 1, 2, 2, 1, 3}, 0}});
    file.AddNode({{"mesh", mesh}});
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    const FwGLTFNode& node = *loaded.model->Nodes[0];
    ASSERT_EQ(node.Subsets.size(), 2u);
    EXPECT_EQ(node.Subsets[0].MaterialNo, 0);
    EXPECT_EQ(node.Subsets[0].FaceStart, 0u);
    EXPECT_EQ(node.Subsets[0].FaceCount, 2u);
    EXPECT_EQ(node.Subsets[1].MaterialNo, 2);
    EXPECT_EQ(node.Subsets[1].FaceStart, 2u);
    EXPECT_EQ(node.Subsets[1].FaceCount, 1u);
    ASSERT_EQ(node.Vertices.size(), 7u);
    ASSERT_EQ(node.Faces.size(), 3u);
    EXPECT_EQ(Indices(node.Faces[1]), Face({2, 3, 1}));
    // The material-2 face indexes past the four vertices of the material-0 primitive.
    EXPECT_EQ(Indices(node.Faces[2]), Face({4, 6, 5}));
}

TEST(GLTFMeshes, PrimitiveWithoutMaterialUsesMaterialZero) {
    TempDir dir;
    GLTFTestFile file;
    file.json["materials"] = {{{"name", "only"}}};
    file.AddTriangle(kTriangle);
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    ASSERT_EQ(loaded.model->Nodes[0]->Subsets.size(), 1u);
    EXPECT_EQ(loaded.model->Nodes[0]->Subsets[0].MaterialNo, 0);
}

TEST(GLTFMeshes, NonTrianglePrimitivesAreSkippedAndUnindexedOnesUseVertexOrder) {
    TempDir dir;
    GLTFTestFile file;
    const int lines = file.AddFloats(kTriangle, "VEC3");
    const int six = file.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 1, 0, 1, 1}, "VEC3");
    file.AddMeshNode({{{"attributes", {{"POSITION", lines}}}, {"mode", 1}}, {{"attributes", {{"POSITION", six}}}}});
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    const FwGLTFNode& node = *loaded.model->Nodes[0];
    ASSERT_EQ(node.Subsets.size(), 1u);
    ASSERT_EQ(node.Faces.size(), 2u);
    EXPECT_EQ(Indices(node.Faces[1]), Face({3, 5, 4}));
}

TEST(GLTFAttributes, ColorsAreClampedScaledAndTruncated) {
    TempDir dir;
    GLTFTestFile file;
    const int positions = file.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const int rgb = file.AddFloats({1.5f, 0.5f, -1, 0, 0, 0, nan, 1, -nan}, "VEC3");
    const int rgba = file.AddFloats({0.2f, 0.4f, 0.6f, 0.5f, 0, 0, 0, 0, 1, 1, 1, 2}, "VEC4");
    const std::vector<uint8_t> bytes = {255, 127, 0, 64, 10, 20, 30, 40, 0, 0, 0, 0};
    const int ubyte = file.AddAccessor(file.AddView(bytes.data(), bytes.size()), 5121, "VEC4", 3);
    for (const int color : {rgb, rgba, ubyte}) {
        file.AddMeshNode({{{"attributes", {{"POSITION", positions}, {"COLOR_0", color}}}}});
    }
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    const auto color = [&](int node, int vertex) {
        return ColorOf(loaded.model->Nodes[size_t(node)]->Vertices[size_t(vertex)]);
    };
    EXPECT_EQ(color(0, 0), Rgba({255, 127, 0, 255}));
    EXPECT_EQ(color(0, 1), Rgba({0, 0, 0, 255}));
    EXPECT_EQ(color(0, 2), Rgba({0, 255, 0, 255}));  // NaN is no colour
    EXPECT_EQ(color(1, 0), Rgba({51, 102, 153, 127}));
    EXPECT_EQ(color(1, 2), Rgba({255, 255, 255, 255}));
    EXPECT_EQ(color(2, 0), Rgba({255, 127, 0, 64}));
    EXPECT_EQ(color(2, 1), Rgba({10, 20, 30, 40}));
}

struct TexCoordCase {
    int componentType;
    std::vector<uint8_t> bytes;  // one VEC2 element
    Vector2 expected;
};

class GLTFTexCoords : public testing::TestWithParam<TexCoordCase> {};

TEST_P(GLTFTexCoords, ConvertByComponentType) {
    const TexCoordCase& c = GetParam();
    TempDir dir;
    GLTFTestFile file;
    const int positions = file.AddFloats({0, 0, 0}, "VEC3");
    const int uv = file.AddAccessor(file.AddView(c.bytes.data(), c.bytes.size()), c.componentType, "VEC2", 1);
    file.AddMeshNode({{{"attributes", {{"POSITION", positions}, {"TEXCOORD_0", uv}}}}});
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    const Vector2 actual = loaded.model->Nodes[0]->Vertices[0].uv;
    EXPECT_NEAR(actual.x, c.expected.x, 1e-6f);
    EXPECT_NEAR(actual.y, c.expected.y, 1e-6f);
}

INSTANTIATE_TEST_SUITE_P(AllTypes, GLTFTexCoords,
                         testing::Values(TexCoordCase{5126, {0, 0, 0xC0, 0x40, 0, 0, 0x80, 0xBF}, {6.0f, -1.0f}},
                                         TexCoordCase{5121, {255, 51}, {1.0f, 0.2f}},
                                         TexCoordCase{5123, {0xFF, 0xFF, 0, 0x80}, {1.0f, 32768.0f / 65535.0f}},
                                         TexCoordCase{5120, {0x80, 127}, {-1.0f, 1.0f}},
                                         TexCoordCase{5122, {0x00, 0x80, 0x00, 0x40}, {-1.0f, 16384.0f / 32767.0f}},
                                         TexCoordCase{5125, {1, 0, 0, 0, 2, 0, 0, 0}, {0.0f, 0.0f}}));

TEST(GLTFAttributes, ByteStrideOfInterleavedDataIsHonoured) {
    TempDir dir;
    GLTFTestFile file;
    // Position and normal interleaved, 24 bytes per vertex.
    const std::vector<float> interleaved = {0, 0, 1, 9, 9, 9, 1, 0, 2, 8, 8, 8, 0, 1, 3, 7, 7, 7};
    const int view = file.AddView(interleaved.data(), interleaved.size() * 4, 24);
    const int positions = file.AddAccessor(view, 5126, "VEC3", 3);
    const int normals = file.AddAccessor(view, 5126, "VEC3", 3, 12);
    file.AddMeshNode({{{"attributes", {{"POSITION", positions}, {"NORMAL", normals}}}}});
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    const auto& vertices = loaded.model->Nodes[0]->Vertices;
    EXPECT_EQ(vertices[1].position, Vector3(1, 0, -2));
    EXPECT_EQ(vertices[2].position, Vector3(0, 1, -3));
    EXPECT_EQ(vertices[2].normal, Vector3(7, 7, -7));
}

TEST(GLTFMaterials, FileWithoutMaterialsGetsOneDefault) {
    TempDir dir;
    GLTFTestFile file;
    file.AddTriangle(kTriangle);
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    ASSERT_EQ(loaded.model->Materials.size(), 1u);
    const FwGLTFMaterial& material = loaded.model->Materials[0];
    EXPECT_EQ(material.BaseColor, Color(1, 1, 1, 1));
    EXPECT_EQ(material.Metallic, 1.0f);
    EXPECT_EQ(material.Roughness, 1.0f);
    EXPECT_EQ(material.AlphaMode, "OPAQUE");
    EXPECT_TRUE(material.BaseColorTexture.empty());
}

TEST(GLTFMaterials, FactorsAndImageNamesAreCopied) {
    TempDir dir;
    GLTFTestFile file;
    file.AddTriangle(kTriangle);
    file.json["images"] = {{{"uri", "albedo.png"}}, {{"uri", "glow.png"}}};
    file.json["textures"] = {{{"source", 0}}, {{"source", 1}}, nlohmann::json::object()};
    file.json["materials"] = {{{"name", "painted"},
                               {"alphaMode", "MASK"},
                               {"alphaCutoff", 0.25},
                               {"doubleSided", true},
                               {"pbrMetallicRoughness",
                                {{"baseColorFactor", {0.2, 0.4, 0.6, 0.8}},
                                 {"baseColorTexture", {{"index", 0}}},
                                 {"metallicRoughnessTexture", {{"index", 2}}},
                                 {"metallicFactor", 0.3},
                                 {"roughnessFactor", 0.7}}},
                               {"emissiveFactor", {0.5, 0.25, 0.125}},
                               {"emissiveTexture", {{"index", 1}}}},
                              {{"pbrMetallicRoughness", {{"baseColorFactor", {0.5, 0.5, 0.5}}}}}};
    // One picture missing, the other not a picture at all: the model still loads, and the
    // material falls back to the white texture when it is drawn.
    WriteTextFile(dir.File("glow.png"), "\x89PNG, but no picture follows");
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    ASSERT_EQ(loaded.model->Materials.size(), 2u);
    const FwGLTFMaterial& a = loaded.model->Materials[0];
    EXPECT_EQ(a.Name, "painted");
    EXPECT_EQ(a.AlphaMode, "MASK");
    EXPECT_FLOAT_EQ(a.AlphaCutoff, 0.25f);
    EXPECT_TRUE(a.DoubleSided);
    EXPECT_EQ(a.BaseColor, Color(0.2f, 0.4f, 0.6f, 0.8f));
    EXPECT_EQ(a.BaseColorTexture, "albedo.png");
    EXPECT_EQ(a.MetallicRoughnessTexture, "");  // texture without a source
    EXPECT_FLOAT_EQ(a.Metallic, 0.3f);
    EXPECT_FLOAT_EQ(a.Roughness, 0.7f);
    EXPECT_EQ(a.Emissive, Vector3(0.5f, 0.25f, 0.125f));
    EXPECT_EQ(a.EmissiveTexture, "glow.png");
    // A colour factor of the wrong length keeps the default.
    const FwGLTFMaterial& b = loaded.model->Materials[1];
    EXPECT_EQ(b.BaseColor, Color(1, 1, 1, 1));
    EXPECT_EQ(b.Emissive, Vector3(0, 0, 0));
}

TEST(GLTFFiles, GlbExtensionReadsBinaryOtherwiseText) {
    TempDir dir;
    GLTFTestFile file;
    file.AddTriangle(kTriangle, {{"translation", {1, 2, 3}}});
    file.WriteBinary(dir.File("model.glb"));
    file.WriteBinary(dir.File("binary.gltf"));
    file.WriteText(dir.File("noextension"));

    const Loaded binary = LoadCapturing(dir.File("model.glb"));
    ASSERT_TRUE(binary.model) << binary.output;
    EXPECT_EQ(binary.output, "Reading binary glTF\n");
    EXPECT_EQ(binary.model->Nodes[0]->LocalTransform.Translation(), Vector3(1, 2, -3));

    const Loaded misnamed = LoadCapturing(dir.File("binary.gltf"));
    EXPECT_FALSE(misnamed.model);
    EXPECT_EQ(misnamed.output.rfind("Reading ASCII glTF\n", 0), 0u) << misnamed.output;

    const Loaded text = LoadCapturing(dir.File("noextension"));
    ASSERT_TRUE(text.model) << text.output;
    EXPECT_EQ(text.model->Nodes[0]->Faces.size(), 1u);
}

// A file names its buffers beside itself or below; `..` may not leave its folder and absolute
// paths or other schemes are not opened, so a downloaded model cannot read the user's files.
TEST(GLTFFiles, BuffersOutsideTheModelFolderAreRefused) {
    TempDir dir;
    std::filesystem::create_directories(dir.File("Props/sub"));
    GLTFTestFile file;
    file.AddTriangle(kTriangle);
    file.WriteText(dir.File("outside.gltf"));
    for (const std::string& uri : {std::string("../outside.bin"), std::string("sub/../../outside.bin"),
                                   dir.File("outside.bin"), "file://" + dir.File("outside.bin")}) {
        file.bufferUri = uri;
        const Loaded loaded = WriteAndLoad(file, dir, "Props/model.gltf");
        EXPECT_FALSE(loaded.model) << uri;
        EXPECT_NE(loaded.output.find("Err: File not found"), std::string::npos) << uri << ": " << loaded.output;
    }
    file.bufferUri = "sub/../MODEL.bin";
    const Loaded inside = WriteAndLoad(file, dir, "Props/model.gltf");
    ASSERT_TRUE(inside.model) << inside.output;
    EXPECT_EQ(inside.model->Nodes[0]->Faces.size(), 1u);
}

TEST(GLTFFiles, MissingFilePrintsTheFailureLines) {
    const Loaded loaded = LoadCapturing("/nonexistent/model.gltf");
    EXPECT_FALSE(loaded.model);
    EXPECT_NE(loaded.output.find("Reading ASCII glTF\n"), std::string::npos);
    EXPECT_NE(loaded.output.find("Err: "), std::string::npos);
    EXPECT_NE(loaded.output.find("Failed to parse glTF\n"), std::string::npos);
}

TEST(GLTFFiles, DirectoryOfAPathKeepsItsLastSeparator) {
    EXPECT_EQ(GetDirFromPath("Data/Stage/Stage.gltf"), "Data/Stage/");
    EXPECT_EQ(GetDirFromPath("Data\\Stage/x\\Stage.gltf"), "Data\\Stage/x\\");
    EXPECT_EQ(GetDirFromPath("Stage.gltf"), "");
}

// What every loaded record must satisfy, whatever the file.
void ExpectConsistent(const FwGLTFModel& model, const std::string& name) {
    size_t faces = 0;
    for (const auto& node : model.Nodes) {
        for (const FwMeshFace& face : node->Faces) {
            for (const uint32_t index : face.idx) {
                ASSERT_LT(index, node->Vertices.size()) << name;
            }
        }
        for (const FwMeshSubset& subset : node->Subsets) {
            ASSERT_LT(size_t(subset.MaterialNo), model.Materials.size()) << name;
            ASSERT_LE(subset.FaceStart + subset.FaceCount, node->Faces.size()) << name;
        }
        faces += node->Faces.size();
    }
    EXPECT_GT(faces, 0u) << name;
}

const std::string kDataDir = std::string(QUARNEL_SOURCE_DIR) + "/tests/data/gltf/";

// The checked-in cube: its buffer embedded as a data URI, one strided view shared by the
// interleaved positions and normals, a matrix on the root node.
TEST(GLTFOwnData, BoxSharesOneStridedViewBetweenNormalsAndPositions) {
    const Loaded loaded = LoadCapturing(kDataDir + "Box.gltf");
    ASSERT_TRUE(loaded.model) << loaded.output;
    EXPECT_EQ(loaded.output, "Reading ASCII glTF\n");
    const FwGLTFModel& box = *loaded.model;
    ExpectConsistent(box, "Box.gltf");
    ASSERT_EQ(box.Nodes.size(), 2u);
    ASSERT_EQ(box.RootNodes.size(), 1u);
    // glTF's -90 degrees about x turns +y to -z, which the mirror makes +z.
    EXPECT_NEAR(Vector3::TransformNormal(Vector3(0, 1, 0), box.Nodes[0]->LocalTransform).z, 1.0f, 1e-6f);
    ExpectMatrixNear(box.Nodes[1]->WorldTransform, box.Nodes[0]->LocalTransform);
    const FwGLTFNode& mesh = *box.Nodes[1];
    ASSERT_EQ(mesh.Vertices.size(), 24u);
    EXPECT_EQ(mesh.Faces.size(), 12u);
    for (const FwMeshVertex& v : mesh.Vertices) {
        EXPECT_NEAR(std::abs(v.position.x), 0.5f, 1e-6f);
        EXPECT_NEAR(v.normal.Length(), 1.0f, 1e-5f);
        // Each face's normal points along the axis on which its corners sit at +-0.5.
        EXPECT_NEAR(v.position.Dot(v.normal), 0.5f, 1e-5f);
    }
    // Mirrored and rewound, every face still turns its front outwards: the normal the ray
    // queries report, (a - c) x (b - c), points away from the centre.
    for (const FwMeshFace& face : mesh.Faces) {
        const Vector3& a = mesh.Vertices[face.idx[0]].position;
        const Vector3& b = mesh.Vertices[face.idx[1]].position;
        const Vector3& c = mesh.Vertices[face.idx[2]].position;
        EXPECT_GT((a - c).Cross(b - c).Dot(a + b + c), 0.0f);
    }
    EXPECT_EQ(box.Materials[0].BaseColor, Color(0.8f, 0.0f, 0.0f, 1.0f));
}

// One file written as text beside a .bin, as text with an embedded buffer and as GLB loads the
// same record: 8-, 16- and 32-bit indices, samplers and a texture that is not there.
TEST(GLTFOwnData, EveryFileFormGivesTheSameRecord) {
    GLTFTestFile file;
    const int positions = file.AddFloats({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0}, "VEC3");
    const std::vector<uint8_t> bytes = {0, 1, 2, 2, 1, 3};
    const std::vector<uint32_t> words = {3, 1, 0};
    const int u8 = file.AddAccessor(file.AddView(bytes.data(), bytes.size()), 5121, "SCALAR", 6);
    const int u16 = file.AddIndices({1, 3, 2});
    const int u32 = file.AddAccessor(file.AddView(words.data(), words.size() * 4), 5125, "SCALAR", 3);
    file.json["materials"] = {{{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", 0}}}}}}, {{"name", "b"}}};
    file.json["samplers"] = {{{"magFilter", 9728}, {"minFilter", 9728}, {"wrapS", 33071}, {"wrapT", 33648}}};
    file.json["textures"] = {{{"sampler", 0}, {"source", 0}}};
    file.json["images"] = {{{"uri", "absent.png"}}};
    file.AddMeshNode({{{"attributes", {{"POSITION", positions}}}, {"indices", u8}, {"material", 1}},
                      {{"attributes", {{"POSITION", positions}}}, {"indices", u16}, {"material", 0}},
                      {{"attributes", {{"POSITION", positions}}}, {"indices", u32}, {"material", 1}}});
    TempDir dir;
    file.WriteText(dir.File("model.gltf"));
    file.WriteEmbedded(dir.File("embedded.gltf"));
    file.WriteBinary(dir.File("model.glb"));
    for (const char* name : {"model.gltf", "embedded.gltf", "model.glb"}) {
        const Loaded loaded = LoadCapturing(dir.File(name));
        ASSERT_TRUE(loaded.model) << name << ": " << loaded.output;
        // The missing image is a warning, not a failure.
        EXPECT_NE(loaded.output.find("Warn: File not found : absent.png"), std::string::npos) << loaded.output;
        ExpectConsistent(*loaded.model, name);
        const FwGLTFNode& node = *loaded.model->Nodes[0];
        ASSERT_EQ(node.Subsets.size(), 3u) << name;
        EXPECT_EQ(node.Subsets[0].MaterialNo, 0) << name;
        EXPECT_EQ(node.Subsets[1].MaterialNo, 1) << name;
        ASSERT_EQ(node.Faces.size(), 4u) << name;
        EXPECT_EQ(Indices(node.Faces[0]), Face({1, 2, 3})) << name;  // 16-bit, first by material
        EXPECT_EQ(Indices(node.Faces[1]), Face({4, 6, 5})) << name;  // 8-bit
        EXPECT_EQ(Indices(node.Faces[2]), Face({6, 7, 5})) << name;
        EXPECT_EQ(Indices(node.Faces[3]), Face({8 + 3, 8 + 0, 8 + 1})) << name;  // 32-bit
        // No NORMAL: the normals stay zero.
        EXPECT_EQ(node.Vertices[0].normal, Vector3(0, 0, 0)) << name;
        EXPECT_EQ(loaded.model->Materials[0].BaseColorTexture, "absent.png") << name;
    }
}

TEST(GLTFOwnData, SparseAccessorSubstitutesItsVertices) {
    GLTFTestFile file;
    // Two rows of seven: the lower at y = 0, the upper at y = 1.
    std::vector<float> grid;
    for (int row = 0; row < 2; ++row) {
        for (int x = 0; x < 7; ++x) {
            grid.insert(grid.end(), {float(x), float(row), 0});
        }
    }
    const int positions = file.AddFloats(grid, "VEC3");
    const std::vector<uint16_t> lifted = {8, 10, 12};
    const std::vector<float> values = {1, 2, 0, 3, 3, 0, 5, 4, 0};
    file.json["accessors"][size_t(positions)]["sparse"] = {
        {"count", 3},
        {"indices", {{"bufferView", file.AddView(lifted.data(), 6)}, {"componentType", 5123}}},
        {"values", {{"bufferView", file.AddView(values.data(), values.size() * 4)}}}};
    file.AddMeshNode({{{"attributes", {{"POSITION", positions}}}, {"indices", file.AddIndices({0, 1, 7, 8, 9, 10})}}});
    TempDir dir;
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    const auto& vertices = loaded.model->Nodes[0]->Vertices;
    ASSERT_EQ(vertices.size(), 14u);
    EXPECT_EQ(vertices[8].position, Vector3(1, 2, 0));
    EXPECT_EQ(vertices[10].position, Vector3(3, 3, 0));
    EXPECT_EQ(vertices[12].position, Vector3(5, 4, 0));
    EXPECT_EQ(vertices[9].position, Vector3(2, 1, 0));
}

TEST(GLTFOwnData, UnindexedTriangleWithVertexColours) {
    GLTFTestFile file;
    const int positions = file.AddFloats(kTriangle, "VEC3");
    const int colors = file.AddFloats({1, 0, 0, 0, 1, 0, 0, 0, 1}, "VEC3");
    file.AddMeshNode({{{"attributes", {{"POSITION", positions}, {"COLOR_0", colors}}}}});
    TempDir dir;
    const Loaded loaded = WriteAndLoad(file, dir);
    ASSERT_TRUE(loaded.model) << loaded.output;
    const FwGLTFNode& node = *loaded.model->Nodes[0];
    ASSERT_EQ(node.Faces.size(), 1u);
    EXPECT_EQ(Indices(node.Faces[0]), Face({0, 2, 1}));
    EXPECT_EQ(ColorOf(node.Vertices[0]), Rgba({255, 0, 0, 255}));
    EXPECT_EQ(ColorOf(node.Vertices[2]), Rgba({0, 0, 255, 255}));
}

// A corpus of outside glTF files (such as the Khronos samples), when a folder is named.
TEST(GLTFCorpus, EveryFileLoadsWithFacesInsideTheirVertices) {
    const char* folder = std::getenv("QUARNEL_GLTF_CORPUS");
    if (folder == nullptr || !std::filesystem::is_directory(folder)) {
        GTEST_SKIP() << "set QUARNEL_GLTF_CORPUS to a folder of .gltf/.glb files to run this";
    }
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".gltf" && extension != ".glb") {
            continue;
        }
        const Loaded loaded = LoadCapturing(entry.path().string());
        ASSERT_TRUE(loaded.model) << entry.path() << ": " << loaded.output;
        ExpectConsistent(*loaded.model, entry.path().string());
        ++files;
    }
    EXPECT_GT(files, 0u) << "no .gltf or .glb files in " << folder;
}
