#include "tests/model/ModelGLFixture.h"

#include <vector>

#include "framework/graphics/FwDirect3D.h"
#include "framework/graphics/FwShaderManager.h"
#include "framework/model/FwModel.h"
#include "tests/support/HiddenDevice.h"

SDL_Window* ModelGLTest::window = nullptr;

void ModelGLTest::SetUpTestSuite() {
    std::string error;
    window = OpenHiddenDevice(kWidth, kHeight, error);
    ASSERT_NE(window, nullptr) << error;
}

void ModelGLTest::TearDownTestSuite() {
    CloseHiddenDevice(window);
    window = nullptr;
}

void ModelGLTest::SetUp() {
    ASSERT_NE(window, nullptr);
    FwDirect3D& d3d = FwDirect3D::GetInstance();
    d3d.ClearBackBuffer(Color(0, 0, 0, 1));
    d3d.ClearDepthStencil(1.0f, 0);
    d3d.Context().SetBlendState(d3d.CreateBlendState(FwBlendMode::Opaque), Color(0, 0, 0, 0), 0xFFFFFFFF);
    FwShaderManager& shaders = FwShaderManager::GetInstance();
    const ::cbCamera freshCamera;
    const Matrix projection = shaders.cbCamera.Get().g_mP;
    shaders.cbCamera.Work() = freshCamera;
    shaders.cbCamera.Work().g_mP = projection;
    shaders.cbCamera.Write();
    shaders.cbLight.Work() = ::cbLight();
    shaders.cbLight.Write();
    shaders.standardShader.world = Matrix::Identity;
    shaders.standardShader.cbObject.Work() = ::cbObject();
    shaders.standardShader.SetToDevice();
}

GLTFTestFile ModelGLTest::FacingSquare(float x, float y, float z, float halfSize, const nlohmann::json& material) {
    GLTFTestFile file;
    const float s = halfSize;
    // Counter-clockwise seen from glTF's +z, which the z mirror turns towards our camera.
    const std::vector<float> corners = {x - s, y - s, -z, x + s, y - s, -z, x + s, y + s, -z, x - s, y + s, -z};
    const int positions = file.AddFloats(corners, "VEC3");
    const int normals = file.AddFloats({0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1}, "VEC3");
    const int uvs = file.AddFloats({0, 1, 1, 1, 1, 0, 0, 0}, "VEC2");
    const int indices = file.AddIndices({0, 1, 2, 0, 2, 3});
    nlohmann::json primitive = {{"attributes", {{"POSITION", positions}, {"NORMAL", normals}, {"TEXCOORD_0", uvs}}},
                                {"indices", indices}};
    if (!material.is_null()) {
        file.json["materials"] = {material};
        primitive["material"] = 0;
    }
    file.AddMeshNode(nlohmann::json::array({primitive}));
    return file;
}

bool ModelGLTest::LoadInto(FwModel& model, const GLTFTestFile& file, const std::string& name) const {
    file.WriteText(dir.File(name));
    testing::internal::CaptureStdout();
    const bool loaded = model.Load(dir.File(name));
    testing::internal::GetCapturedStdout();
    return loaded;
}

std::array<int, 4> ModelGLTest::Pixel(int x, int y) {
    std::vector<uint8_t> rgba;
    FwDirect3D::GetInstance().ReadBackBuffer(rgba);
    const uint8_t* p = &rgba[(size_t(y) * kWidth + size_t(x)) * 4];
    return {p[0], p[1], p[2], p[3]};
}

testing::AssertionResult ColorNear(const std::array<int, 4>& actual, const std::array<int, 4>& expected,
                                   int tolerance) {
    for (size_t i = 0; i < 4; ++i) {
        if (std::abs(actual[i] - expected[i]) > tolerance) {
            return testing::AssertionFailure() << "got (" << actual[0] << ", " << actual[1] << ", " << actual[2] << ", "
                                               << actual[3] << "), expected (" << expected[0] << ", " << expected[1]
                                               << ", " << expected[2] << ", " << expected[3] << ")";
        }
    }
    return testing::AssertionSuccess();
}
