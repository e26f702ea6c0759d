#include <gtest/gtest.h>

#include <filesystem>

#include <stb_image_write.h>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwDrawModel.h"
#include "framework/model/FwModel.h"
#include "tests/model/ModelGLFixture.h"

namespace {

void WriteSolidPng(const std::string& path, uint8_t r, uint8_t g, uint8_t b) {
    const uint8_t texels[4 * 4] = {r, g, b, 255, r, g, b, 255, r, g, b, 255, r, g, b, 255};
    ASSERT_NE(stbi_write_png(path.c_str(), 2, 2, 4, texels, 8), 0);
}

nlohmann::json TexturedMaterial(int texture) {
    return {{"pbrMetallicRoughness", {{"baseColorTexture", {{"index", texture}}}, {"metallicFactor", 0.0}}}};
}

}  // namespace

class FwModelTest : public ModelGLTest {};

TEST_F(FwModelTest, TexturesComeFromBesideTheModelAndMissingOnesAreWhite) {
    std::filesystem::create_directories(dir.File("Props"));
    WriteSolidPng(dir.File("Props/red.png"), 255, 0, 0);
    GLTFTestFile file = FacingSquare(0, 0, 10, 2, TexturedMaterial(0));
    file.json["images"] = {{{"uri", "red.png"}}, {{"uri", "absent.png"}}};
    file.json["textures"] = {{{"source", 0}}, {{"source", 1}}};
    FwModel model;
    ASSERT_TRUE(LoadInto(model, file, "Props/model.gltf"));
    ASSERT_EQ(model.Materials().size(), 1u);
    const FwMaterial& material = model.Materials()[0];
    EXPECT_NE(material.BaseColorTex, FwDirect3D::GetInstance().WhiteTexture());
    EXPECT_EQ(material.EmissiveTex, FwDirect3D::GetInstance().WhiteTexture());
    EXPECT_EQ(material.MetallicRoughnessTex, FwDirect3D::GetInstance().WhiteTexture());
    FwShaderManager::GetInstance().standardShader.cbObject.Work().g_LightEnable = 0;
    DrawModel(model);
    EXPECT_TRUE(ColorNear(Centre(), {255, 0, 0, 255}, 0));

    file.json["materials"] = {TexturedMaterial(1)};
    ASSERT_TRUE(LoadInto(model, file, "Props/model.gltf"));
    EXPECT_EQ(model.Materials()[0].BaseColorTex, FwDirect3D::GetInstance().WhiteTexture());
}

TEST_F(FwModelTest, UrisInsideTheFileResolveWhateverTheirLetterCase) {
    std::filesystem::create_directories(dir.File("Crate"));
    WriteSolidPng(dir.File("Crate/tex.png"), 0, 255, 0);
    GLTFTestFile file = FacingSquare(0, 0, 10, 2, TexturedMaterial(0));
    file.json["images"] = {{{"uri", "Tex.PNG"}}};
    file.json["textures"] = {{{"source", 0}}};
    file.WriteText(dir.File("Crate/mesh.gltf"));
    std::string text = ReadTextFile(dir.File("Crate/mesh.gltf"));
    text.replace(text.find("mesh.bin"), 8, "Mesh.BIN");
    WriteTextFile(dir.File("Crate/mesh.gltf"), text);

    FwModel model;
    testing::internal::CaptureStdout();
    const bool loaded = model.Load(dir.File("Crate/mesh.gltf"));
    const std::string output = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(loaded) << output;
    EXPECT_EQ(output, "Reading ASCII glTF\n");
    ASSERT_EQ(model.Nodes().size(), 1u);
    EXPECT_EQ(model.Nodes()[0].Mesh->Faces().size(), 2u);
    EXPECT_NE(model.Materials()[0].BaseColorTex, FwDirect3D::GetInstance().WhiteTexture());
    FwShaderManager::GetInstance().standardShader.cbObject.Work().g_LightEnable = 0;
    DrawModel(model);
    EXPECT_TRUE(ColorNear(Centre(), {0, 255, 0, 255}, 0));
}

// Images named outside the model's folder are not read: they draw white like missing ones.
TEST_F(FwModelTest, TexturesOutsideTheModelFolderAreNotRead) {
    std::filesystem::create_directories(dir.File("Props"));
    WriteSolidPng(dir.File("red.png"), 255, 0, 0);
    GLTFTestFile file = FacingSquare(0, 0, 10, 2, TexturedMaterial(0));
    file.json["textures"] = {{{"source", 0}}};
    for (const std::string& uri : {std::string("../red.png"), std::string("sub/../../red.png"), dir.File("red.png")}) {
        file.json["images"] = {{{"uri", uri}}};
        FwModel model;
        ASSERT_TRUE(LoadInto(model, file, "Props/model.gltf")) << uri;
        EXPECT_EQ(model.Materials()[0].BaseColorTex, FwDirect3D::GetInstance().WhiteTexture()) << uri;
    }
}

TEST_F(FwModelTest, NodesKeepTheirLocalTransformAndMeshesTheirBounds) {
    GLTFTestFile file;
    // A unit cube's eight corners around (1, 2, -3) in glTF, i.e. (1, 2, 3) once mirrored.
    std::vector<float> corners;
    for (int i = 0; i < 8; ++i) {
        corners.insert(corners.end(),
                       {1.0f + (i & 1 ? 0.5f : -0.5f), 2.0f + (i & 2 ? 0.5f : -0.5f), -3.0f + (i & 4 ? 0.5f : -0.5f)});
    }
    const int mesh = file.AddMesh({{corners, {0, 1, 2, 1, 3, 2, 4, 6, 5, 5, 6, 7}}});
    const int child = file.AddNode({{"mesh", mesh}, {"translation", {0, 0, 5}}}, false);
    file.AddNode({{"children", {child}}, {"translation", {10, 0, 0}}});
    FwModel model;
    ASSERT_TRUE(LoadInto(model, file));
    ASSERT_EQ(model.Nodes().size(), 2u);
    EXPECT_EQ(model.Nodes()[0].Transform.Translation(), Vector3(0, 0, -5));  // the parent is not applied
    EXPECT_FALSE(model.Nodes()[1].Mesh);
    const FwMesh& cube = *model.Nodes()[0].Mesh;
    EXPECT_EQ(cube.Positions().size(), 8u);
    EXPECT_EQ(cube.Faces().size(), 4u);
    EXPECT_EQ(cube.Aabb().center, Vector3(1, 2, 3));
    EXPECT_EQ(cube.Aabb().extents, Vector3(0.5f, 0.5f, 0.5f));
    const FwBoundingSphere& sphere = cube.Sphere();
    for (const Vector3& p : cube.Positions()) {
        EXPECT_LE(Vector3::Distance(p, sphere.center), sphere.radius * 1.0001f);
    }
    // Growing from an edge of the cube overshoots the tightest sphere, but not by half.
    EXPECT_LE(sphere.radius, std::sqrt(0.75f) * 1.5f);
}
