#include "framework/math/SimpleMath.h"

#include <cmath>
#include <cstring>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

namespace Math {

const Vector3 Vector3::Zero{0.0f, 0.0f, 0.0f};
const Vector3 Vector3::One{1.0f, 1.0f, 1.0f};
const Vector3 Vector3::UnitX{1.0f, 0.0f, 0.0f};
const Vector3 Vector3::UnitY{0.0f, 1.0f, 0.0f};
const Vector3 Vector3::UnitZ{0.0f, 0.0f, 1.0f};
const Quaternion Quaternion::Identity{0.0f, 0.0f, 0.0f, 1.0f};
const Matrix Matrix::Identity{};

namespace {

// Our rows laid in memory are GLM's columns: copying gives the transpose, which is harmless for
// inversion and determinants because both commute with transposition.
glm::mat4 ToGlmTransposed(const Matrix& a) {
    glm::mat4 g;
    std::memcpy(&g[0][0], &a.m[0][0], sizeof(float) * 16);
    return g;
}

Matrix FromGlmTransposed(const glm::mat4& g) {
    Matrix a;
    std::memcpy(&a.m[0][0], &g[0][0], sizeof(float) * 16);
    return a;
}

}  // namespace

void Vector3::Normalize() {
    const float length = Length();
    if (length > 0.0f) {
        *this /= length;
    }
}

Vector3 Vector3::Transform(const Vector3& v, const Matrix& m) {
    const Vector4 r = Vector4::Transform(Vector4(v, 1.0f), m);
    const float invW = (r.w != 0.0f) ? 1.0f / r.w : 1.0f;
    return {r.x * invW, r.y * invW, r.z * invW};
}

Vector3 Vector3::TransformNormal(const Vector3& v, const Matrix& m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0], v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

Vector3 Vector3::Transform(const Vector3& v, const Quaternion& q) {
    return TransformNormal(v, Matrix::CreateFromQuaternion(q));
}

Vector4 Vector4::Transform(const Vector4& v, const Matrix& m) {
    Vector4 r;
    r.x = v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + v.w * m.m[3][0];
    r.y = v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + v.w * m.m[3][1];
    r.z = v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + v.w * m.m[3][2];
    r.w = v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + v.w * m.m[3][3];
    return r;
}

void Quaternion::Normalize() {
    const float length = Length();
    if (length > 0.0f) {
        x /= length;
        y /= length;
        z /= length;
        w /= length;
    }
}

Quaternion Quaternion::CreateFromAxisAngle(const Vector3& axis, float angle) {
    const Vector3 n = axis.Normalized();
    const float s = Sin(angle * 0.5f);
    return {n.x * s, n.y * s, n.z * s, Cos(angle * 0.5f)};
}

Quaternion Quaternion::Concatenate(const Quaternion& q1, const Quaternion& q2) {
    // Hamilton product q2 * q1.
    return {
        q2.w * q1.x + q2.x * q1.w + q2.y * q1.z - q2.z * q1.y, q2.w * q1.y - q2.x * q1.z + q2.y * q1.w + q2.z * q1.x,
        q2.w * q1.z + q2.x * q1.y - q2.y * q1.x + q2.z * q1.w, q2.w * q1.w - q2.x * q1.x - q2.y * q1.y - q2.z * q1.z};
}

Quaternion Quaternion::Slerp(const Quaternion& a, const Quaternion& b, float t) {
    const glm::quat r = glm::slerp(glm::quat(a.w, a.x, a.y, a.z), glm::quat(b.w, b.x, b.y, b.z), t);
    return {r.x, r.y, r.z, r.w};
}

Matrix::Matrix(const Vector3& row0, const Vector3& row1, const Vector3& row2)
    : Matrix(row0.x, row0.y, row0.z, 0.0f, row1.x, row1.y, row1.z, 0.0f, row2.x, row2.y, row2.z, 0.0f, 0.0f, 0.0f, 0.0f,
             1.0f) {}

Matrix Matrix::Invert() const {
    Matrix inverse;
    return Invert(inverse) ? inverse : Identity;
}

bool Matrix::Invert(Matrix& result) const {
    const glm::mat4 g = ToGlmTransposed(*this);
    if (glm::determinant(g) == 0.0f) {
        return false;
    }
    const Matrix inverse = FromGlmTransposed(glm::inverse(g));
    for (const auto& row : inverse.m) {
        for (const float value : row) {
            if (!std::isfinite(value)) {
                return false;
            }
        }
    }
    result = inverse;
    return true;
}

Matrix Matrix::Transpose() const {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = m[j][i];
        }
    }
    return r;
}

float Matrix::Determinant() const { return glm::determinant(ToGlmTransposed(*this)); }

Matrix Matrix::operator*(const Matrix& b) const {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = m[i][0] * b.m[0][j] + m[i][1] * b.m[1][j] + m[i][2] * b.m[2][j] + m[i][3] * b.m[3][j];
        }
    }
    return r;
}

bool Matrix::operator==(const Matrix& b) const { return std::memcmp(m, b.m, sizeof(m)) == 0; }

Matrix Matrix::CreateTranslation(const Vector3& position) {
    Matrix r;
    r.SetTranslation(position);
    return r;
}

Matrix Matrix::CreateScale(const Vector3& scales) {
    Matrix r;
    r.m[0][0] = scales.x;
    r.m[1][1] = scales.y;
    r.m[2][2] = scales.z;
    return r;
}

Matrix Matrix::CreateRotationX(float radians) {
    const float c = Cos(radians);
    const float s = Sin(radians);
    return {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
}

Matrix Matrix::CreateRotationY(float radians) {
    const float c = Cos(radians);
    const float s = Sin(radians);
    return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
}

Matrix Matrix::CreateRotationZ(float radians) {
    const float c = Cos(radians);
    const float s = Sin(radians);
    return {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix Matrix::CreateFromQuaternion(const Quaternion& q) {
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    return {1 - 2 * (yy + zz),
            2 * (xy + wz),
            2 * (xz - wy),
            0,
            2 * (xy - wz),
            1 - 2 * (xx + zz),
            2 * (yz + wx),
            0,
            2 * (xz + wy),
            2 * (yz - wx),
            1 - 2 * (xx + yy),
            0,
            0,
            0,
            0,
            1};
}

Matrix Matrix::CreateFromAxisAngle(const Vector3& axis, float radians) {
    return CreateFromQuaternion(Quaternion::CreateFromAxisAngle(axis, radians));
}

Matrix Matrix::CreateFromYawPitchRoll(float yaw, float pitch, float roll) {
    return CreateRotationZ(roll) * CreateRotationX(pitch) * CreateRotationY(yaw);
}

Matrix Matrix::CreateLookAtLH(const Vector3& eye, const Vector3& focus, const Vector3& up) {
    return CreateLookToLH(eye, focus - eye, up);
}

Matrix Matrix::CreateLookToLH(const Vector3& eye, const Vector3& direction, const Vector3& up) {
    const Vector3 zAxis = direction.Normalized();
    const Vector3 xAxis = up.Cross(zAxis).Normalized();
    const Vector3 yAxis = zAxis.Cross(xAxis);
    return {xAxis.x, yAxis.x, zAxis.x, 0, xAxis.y,         yAxis.y,         zAxis.y,         0,
            xAxis.z, yAxis.z, zAxis.z, 0, -xAxis.Dot(eye), -yAxis.Dot(eye), -zAxis.Dot(eye), 1};
}

Matrix Matrix::CreatePerspectiveFieldOfViewLH(float fovY, float aspect, float nearPlane, float farPlane) {
    const float h = 1.0f / Tan(fovY * 0.5f);
    const float w = h / aspect;
    const float range = farPlane / (farPlane - nearPlane);
    return {w, 0, 0, 0, 0, h, 0, 0, 0, 0, range, 1, 0, 0, -range * nearPlane, 0};
}

Matrix Matrix::CreateOrthographicLH(float width, float height, float nearPlane, float farPlane) {
    const float range = 1.0f / (farPlane - nearPlane);
    return {2.0f / width, 0, 0, 0, 0, 2.0f / height, 0, 0, 0, 0, range, 0, 0, 0, -range * nearPlane, 1};
}

Matrix Matrix::CreateOrthographicOffCenterLH(float left, float right, float bottom, float top, float nearPlane,
                                             float farPlane) {
    const float range = 1.0f / (farPlane - nearPlane);
    return {2.0f / (right - left),
            0,
            0,
            0,
            0,
            2.0f / (top - bottom),
            0,
            0,
            0,
            0,
            range,
            0,
            (left + right) / (left - right),
            (top + bottom) / (bottom - top),
            -range * nearPlane,
            1};
}

bool Matrix::Decompose(Vector3& scale, Quaternion& rotation, Vector3& translation) const {
    translation = Translation();
    Vector3 rows[3] = {Right(), Up(), Facing()};
    scale = {rows[0].Length(), rows[1].Length(), rows[2].Length()};
    if (scale.x == 0.0f || scale.y == 0.0f || scale.z == 0.0f) {
        rotation = Quaternion::Identity;
        return false;
    }
    if (Determinant() < 0.0f) {
        scale.x = -scale.x;
    }
    rows[0] /= scale.x;
    rows[1] /= scale.y;
    rows[2] /= scale.z;
    // Our rows become GLM columns, which is exactly the column-vector rotation GLM expects.
    glm::mat3 g;
    for (int i = 0; i < 3; ++i) {
        g[i] = glm::vec3(rows[i].x, rows[i].y, rows[i].z);
    }
    const glm::quat q = glm::quat_cast(g);
    rotation = {q.x, q.y, q.z, q.w};
    return true;
}

}  // namespace Math
