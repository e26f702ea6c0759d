#include <gtest/gtest.h>

#include "framework/model/FwCollision.h"
#include "framework/model/FwModel.h"
#include "tests/model/GLTFTestFile.h"
#include "tests/support/GameRun.h"

namespace {

const Vector3 kV0(0, 0, 0);
const Vector3 kV1(1, 0, 0);
const Vector3 kV2(0, 1, 0);

// Ray queries need no GL context: without one the meshes keep only their CPU copies.
FwModel LoadModel(const GLTFTestFile& file) {
    TempDir dir;
    file.WriteText(dir.File("model.gltf"));
    FwModel model;
    EXPECT_TRUE(model.Load(dir.File("model.gltf")));
    return model;
}

void ExpectVectorNear(const Vector3& actual, const Vector3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

}  // namespace

TEST(RayToTriangle, HitsFromEitherSideAtTheSameDistance) {
    float front = -1.0f;
    float back = -1.0f;
    ASSERT_TRUE(RayToTriangle({0.25f, 0.25f, -3}, {0, 0, 1}, kV0, kV1, kV2, front));
    ASSERT_TRUE(RayToTriangle({0.25f, 0.25f, 3}, {0, 0, -1}, kV0, kV1, kV2, back));
    EXPECT_FLOAT_EQ(front, 3.0f);
    EXPECT_FLOAT_EQ(back, 3.0f);
}

TEST(RayToTriangle, MissesLeaveTheDistanceAlone) {
    const struct {
        const char* what;
        Vector3 origin;
        Vector3 direction;
    } misses[] = {
        {"starts beyond and points away", {0.25f, 0.25f, 1}, {0, 0, 1}},
        {"starts in front and points away", {0.25f, 0.25f, -1}, {0, 0, -1}},
        {"parallel above the plane", {-1, 0.25f, 1}, {1, 0, 0}},
        {"parallel inside the plane", {-1, 0.25f, 0}, {1, 0, 0}},
        {"passes beside", {1, 1, -1}, {0, 0, 1}},
        {"passes beside, from behind", {-0.1f, 0.5f, 1}, {0, 0, -1}},
    };
    for (const auto& miss : misses) {
        float distance = 42.0f;
        EXPECT_FALSE(RayToTriangle(miss.origin, miss.direction, kV0, kV1, kV2, distance)) << miss.what;
        EXPECT_EQ(distance, 42.0f) << miss.what;
    }
}

TEST(RayToTriangle, EdgesAndCornersCount) {
    const Vector3 onEdges[] = {{0, 0.5f, -1}, {0.5f, 0, -1}, {0.5f, 0.5f, -1}, {0, 0, -1}, {1, 0, -1}, {0, 1, -1}};
    for (const Vector3& origin : onEdges) {
        for (const float side : {1.0f, -1.0f}) {
            const Vector3 start(origin.x, origin.y, origin.z * side);
            float distance = 0.0f;
            EXPECT_TRUE(RayToTriangle(start, {0, 0, side}, kV0, kV1, kV2, distance))
                << start.x << ", " << start.y << ", " << start.z;
            EXPECT_FLOAT_EQ(distance, 1.0f);
        }
    }
}

TEST(RayToModel, ReportsWorldDistancesForAScaledModel) {
    GLTFTestFile file;
    // A unit triangle 1.5 units ahead in model space (glTF z is mirrored on loading).
    file.AddTriangle({0, 0, -1.5f, 1, 0, -1.5f, 0, 1, -1.5f});
    const FwModel model = LoadModel(file);
    float distance = 0.0f;
    Vector3 normal;
    ASSERT_TRUE(RayToModel(model, Matrix::CreateScale(2.0f), {0.5f, 0.5f, 0}, {0, 0, 1}, distance, normal));
    EXPECT_NEAR(distance, 3.0f, 1e-5f);
}

TEST(RayToModel, NearestOfTwoTrianglesWithItsNormal) {
    GLTFTestFile file;
    // The far triangle first and turned the other way, so neither order nor normal hides a mistake.
    file.AddTriangle({0, 0, -4, 0, 1, -4, 1, 0, -4});
    file.AddTriangle({0, 0, -2, 1, 0, -2, 0, 1, -2});
    const FwModel model = LoadModel(file);
    float distance = 0.0f;
    Vector3 normal;
    ASSERT_TRUE(RayToModel(model, Matrix::Identity, {0.25f, 0.25f, 0}, {0, 0, 1}, distance, normal));
    EXPECT_NEAR(distance, 2.0f, 1e-5f);
    // Front-facing for a viewer at the origin: the normal points back at the ray.
    ExpectVectorNear(normal, {0, 0, -1});

    ASSERT_TRUE(RayToModel(model, Matrix::Identity, {0.25f, 0.25f, 6}, {0, 0, -1}, distance, normal));
    EXPECT_NEAR(distance, 2.0f, 1e-5f);
    ExpectVectorNear(normal, {0, 0, 1});
}

TEST(RayToModel, NodeTransformAndWorldRotationPlaceTheTriangleAndItsNormal) {
    GLTFTestFile file;
    file.AddTriangle({-1, -1, 0, 1, -1, 0, 0, 1, 0}, {{"translation", {0, 0, -5}}});
    const FwModel model = LoadModel(file);
    // The node puts the triangle at z = 5 facing -z; turning the world 90 degrees about y puts
    // it at x = 5 facing -x.
    const Matrix world = Matrix::CreateRotationY(Math::kPi / 2);
    float distance = 0.0f;
    Vector3 normal;
    ASSERT_TRUE(RayToModel(model, world, {0, 0, 0}, {1, 0, 0}, distance, normal));
    EXPECT_NEAR(distance, 5.0f, 1e-4f);
    ExpectVectorNear(normal, {-1, 0, 0});
    EXPECT_FALSE(RayToModel(model, world, {0, 0, 0}, {0, 0, 1}, distance, normal));
}

TEST(RayToModel, EmptyModelFindsNothingAndLeavesOutputsAlone) {
    FwModel model;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(model.Load("/nonexistent/missing.gltf"));
    testing::internal::GetCapturedStdout();
    float distance = 7.0f;
    Vector3 normal(1, 2, 3);
    EXPECT_FALSE(RayToModel(model, Matrix::Identity, {0, 0, 0}, {0, 0, 1}, distance, normal));
    EXPECT_EQ(distance, 7.0f);
    EXPECT_EQ(normal, Vector3(1, 2, 3));
}

// A model flattened to nothing has no surface to hit, whether its world matrix or its node
// transform does the flattening; the unflattened model is hit.
TEST(RayToModel, SingularTransformsFindNothing) {
    GLTFTestFile file;
    file.AddTriangle({-1, -1, -2, 1, -1, -2, 0, 1, -2});
    const FwModel model = LoadModel(file);
    file.json["nodes"][0]["scale"] = {1, 0, 1};
    const FwModel flatNode = LoadModel(file);
    const struct {
        const char* what;
        const FwModel& model;
        Matrix world;
    } flattened[] = {
        {"world scaled to zero", model, Matrix::CreateScale(0.0f)},
        {"world flattened in z", model, Matrix::CreateScale(Vector3(1, 1, 0))},
        {"node flattened in y", flatNode, Matrix::Identity},
    };
    float distance = 7.0f;
    Vector3 normal(1, 2, 3);
    for (const auto& c : flattened) {
        EXPECT_FALSE(RayToModel(c.model, c.world, {0, 0, 0}, {0, 0, 1}, distance, normal)) << c.what;
        EXPECT_EQ(distance, 7.0f) << c.what;
        EXPECT_EQ(normal, Vector3(1, 2, 3)) << c.what;
    }
    ASSERT_TRUE(RayToModel(model, Matrix::Identity, {0, 0, 0}, {0, 0, 1}, distance, normal));
    EXPECT_NEAR(distance, 2.0f, 1e-5f);
}
