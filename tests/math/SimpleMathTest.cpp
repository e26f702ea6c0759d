#include <gtest/gtest.h>

#include "framework/math/SimpleMath.h"

namespace {

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void ExpectNear(const Matrix& actual, const Matrix& expected, float tolerance = 1e-5f) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(actual.m[i][j], expected.m[i][j], tolerance) << "element [" << i << "][" << j << "]";
        }
    }
}

TEST(Matrix, RowVectorsTransformWithTranslationInRowThree) {
    const Matrix m = Matrix::CreateScale(2.0f) * Matrix::CreateTranslation(1.0f, 2.0f, 3.0f);
    ExpectNear(Vector3::Transform(Vector3(1, 1, 1), m), Vector3(3, 4, 5));
    // Directions ignore the translation.
    ExpectNear(Vector3::TransformNormal(Vector3(1, 1, 1), m), Vector3(2, 2, 2));
    ExpectNear(m.Translation(), Vector3(1, 2, 3));
}

TEST(Matrix, YawTurnsForwardToSinCos) {
    // Yaw 0 faces +z; the forward vector of yaw y is (sin y, 0, cos y): row 2 of the rotation.
    for (const float degrees : {0.0f, 30.0f, 90.0f, -45.0f, 180.0f}) {
        const float y = degrees * Math::kDegToRad;
        const Matrix rotation = Matrix::CreateRotationY(y);
        ExpectNear(rotation.Facing(), Vector3(std::sin(y), 0, std::cos(y)));
        ExpectNear(Vector3::TransformNormal(Vector3::UnitZ, rotation), Vector3(std::sin(y), 0, std::cos(y)));
    }
}

TEST(Matrix, RotationsAreLeftHanded) {
    // Positive angles turn clockwise looking down the axis toward the origin.
    ExpectNear(Vector3::TransformNormal(Vector3::UnitY, Matrix::CreateRotationX(Math::kPi / 2)), Vector3(0, 0, 1));
    ExpectNear(Vector3::TransformNormal(Vector3::UnitX, Matrix::CreateRotationZ(Math::kPi / 2)), Vector3(0, 1, 0));
    ExpectNear(Vector3::TransformNormal(Vector3::UnitZ, Matrix::CreateRotationY(Math::kPi / 2)), Vector3(1, 0, 0));
}

TEST(Matrix, ChildWorldIsLocalTimesParent) {
    const Matrix parent = Matrix::CreateRotationY(Math::kPi / 2) * Matrix::CreateTranslation(10, 0, 0);
    const Matrix local = Matrix::CreateTranslation(0, 0, 5);
    // A point 5 ahead of a parent that faces +x from (10, 0, 0) lies at (15, 0, 0).
    ExpectNear((local * parent).Translation(), Vector3(15, 0, 0));
}

TEST(Matrix, InverseUndoesTransformAndSingularIsReported) {
    const Matrix m = Matrix::CreateScale(Vector3(2, 3, 4)) * Matrix::CreateRotationY(0.7f) *
                     Matrix::CreateRotationX(-0.3f) * Matrix::CreateTranslation(5, -6, 7);
    ExpectNear(m * m.Invert(), Matrix::Identity);
    Matrix inverse;
    ASSERT_TRUE(m.Invert(inverse));
    ExpectNear(inverse * m, Matrix::Identity);

    ExpectNear(Matrix::CreateScale(0.0f).Invert(), Matrix::Identity);
    const Matrix untouched = Matrix::CreateTranslation(1, 2, 3);
    for (const Matrix& singular :
         {Matrix::CreateScale(0.0f), Matrix::CreateScale(Vector3(1, 0, 1)), Matrix::CreateScale(1e-30f)}) {
        inverse = untouched;
        EXPECT_FALSE(singular.Invert(inverse));
        EXPECT_EQ(inverse, untouched);
    }
}

TEST(Matrix, QuaternionMatchesAxisRotations) {
    ExpectNear(Matrix::CreateFromQuaternion(Quaternion::CreateFromAxisAngle(Vector3::UnitY, 0.8f)),
               Matrix::CreateRotationY(0.8f));
    ExpectNear(Matrix::CreateFromQuaternion(Quaternion::CreateFromAxisAngle(Vector3::UnitX, -1.1f)),
               Matrix::CreateRotationX(-1.1f));
    // Concatenate applies the first rotation first, as matrix products do.
    const Quaternion a = Quaternion::CreateFromAxisAngle(Vector3::UnitX, 0.4f);
    const Quaternion b = Quaternion::CreateFromAxisAngle(Vector3::UnitY, 1.2f);
    ExpectNear(Matrix::CreateFromQuaternion(Quaternion::Concatenate(a, b)),
               Matrix::CreateRotationX(0.4f) * Matrix::CreateRotationY(1.2f));
}

TEST(Matrix, DecomposeRecoversScaleRotationTranslation) {
    const Quaternion q = Quaternion::CreateFromAxisAngle(Vector3(1, 2, 3), 0.9f);
    const Matrix m =
        Matrix::CreateScale(Vector3(2, 3, 4)) * Matrix::CreateFromQuaternion(q) * Matrix::CreateTranslation(1, 2, 3);
    Vector3 scale, translation;
    Quaternion rotation;
    ASSERT_TRUE(m.Decompose(scale, rotation, translation));
    ExpectNear(scale, Vector3(2, 3, 4));
    ExpectNear(translation, Vector3(1, 2, 3));
    ExpectNear(Matrix::CreateFromQuaternion(rotation), Matrix::CreateFromQuaternion(q));
}

TEST(Projection, DefaultSceneCameraNumbers) {
    // 60 degrees vertical, 1280x720, near 0.01, far 1000.
    const Matrix p = Matrix::CreatePerspectiveFieldOfViewLH(Math::kPi / 3, 1280.0f / 720.0f, 0.01f, 1000.0f);
    EXPECT_NEAR(p.m[1][1], 1.7320508f, 1e-6f);
    EXPECT_NEAR(p.m[0][0], 0.974279f, 1e-6f);
    EXPECT_NEAR(p.m[2][2], 1.00001f, 1e-6f);
    EXPECT_FLOAT_EQ(p.m[2][3], 1.0f);
    EXPECT_NEAR(p.m[3][2], -0.0100001f, 1e-7f);
    EXPECT_FLOAT_EQ(p.m[3][3], 0.0f);
}

TEST(Projection, DepthRunsFromZeroAtNearToOneAtFar) {
    const Matrix p = Matrix::CreatePerspectiveFieldOfViewLH(Math::kPi / 3, 16.0f / 9.0f, 0.5f, 100.0f);
    EXPECT_NEAR(Vector3::Transform(Vector3(0, 0, 0.5f), p).z, 0.0f, 1e-6f);
    EXPECT_NEAR(Vector3::Transform(Vector3(0, 0, 100.0f), p).z, 1.0f, 1e-6f);
    const Matrix o = Matrix::CreateOrthographicLH(1280, 720, 0, 1);
    ExpectNear(Vector3::Transform(Vector3(640, 360, 1), o), Vector3(1, 1, 1));
}

TEST(View, LookAtPutsTheFocusStraightAhead) {
    const Vector3 eye(0, 0, -10);
    const Matrix view = Matrix::CreateLookAtLH(eye, Vector3::Zero, Vector3::UnitY);
    ExpectNear(Vector3::Transform(Vector3::Zero, view), Vector3(0, 0, 10));
    ExpectNear(Vector3::Transform(Vector3(1, 0, 0), view), Vector3(1, 0, 10));  // +x stays right
    // The camera position is the translation row of the inverse view.
    ExpectNear(view.Invert().Translation(), eye);
    ExpectNear(Matrix::CreateLookToLH(eye, Vector3::UnitZ, Vector3::UnitY), view);
}

TEST(Vector3, NormalizeLeavesZeroAloneAndCrossIsOrdered) {
    Vector3 zero;
    zero.Normalize();
    EXPECT_EQ(zero, Vector3::Zero);
    ExpectNear(Vector3(3, 0, 4).Normalized(), Vector3(0.6f, 0, 0.8f));
    ExpectNear(Vector3::UnitX.Cross(Vector3::UnitY), Vector3::UnitZ);
    EXPECT_FLOAT_EQ(Vector3::Distance(Vector3(1, 2, 3), Vector3(4, 6, 3)), 5.0f);
}

}  // namespace
