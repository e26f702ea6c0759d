#pragma once

// Small value types for the game's math: row vectors that transform as v * M, matrices stored
// row by row with the translation in the fourth row, left-handed coordinates (+x right, +y up,
// +z forward). Named and shaped like the usual SimpleMath layer so game code reads naturally.

#include <cmath>

namespace Math {

constexpr float kPi = 3.14159265358979f;
constexpr float kDegToRad = 0.017453292f;
constexpr float kRadToDeg = 57.295776f;

// Trigonometry in double precision rounded to float. The C libraries' float versions differ in
// their last bit between platforms (glibc and the browser build's libc), and a world that steps
// with them drifts apart; the double ones round to the same float everywhere.
inline float Sin(float radians) { return static_cast<float>(std::sin(static_cast<double>(radians))); }
inline float Cos(float radians) { return static_cast<float>(std::cos(static_cast<double>(radians))); }
inline float Tan(float radians) { return static_cast<float>(std::tan(static_cast<double>(radians))); }
inline float Acos(float x) { return static_cast<float>(std::acos(static_cast<double>(x))); }

struct Matrix;
struct Quaternion;

struct Vector2 {
    float x = 0.0f;
    float y = 0.0f;

    constexpr Vector2() = default;
    constexpr Vector2(float ix, float iy) : x(ix), y(iy) {}

    float Length() const { return std::sqrt(x * x + y * y); }
    float Dot(const Vector2& v) const { return x * v.x + y * v.y; }

    Vector2 operator+(const Vector2& v) const { return {x + v.x, y + v.y}; }
    Vector2 operator-(const Vector2& v) const { return {x - v.x, y - v.y}; }
    Vector2 operator*(float s) const { return {x * s, y * s}; }
    Vector2 operator/(float s) const { return {x / s, y / s}; }
    Vector2& operator+=(const Vector2& v) {
        x += v.x;
        y += v.y;
        return *this;
    }
    Vector2& operator-=(const Vector2& v) {
        x -= v.x;
        y -= v.y;
        return *this;
    }
    bool operator==(const Vector2& v) const { return x == v.x && y == v.y; }
};

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vector3() = default;
    constexpr Vector3(float ix, float iy, float iz) : x(ix), y(iy), z(iz) {}

    float Length() const { return std::sqrt(LengthSquared()); }
    float LengthSquared() const { return x * x + y * y + z * z; }
    float Dot(const Vector3& v) const { return x * v.x + y * v.y + z * v.z; }
    Vector3 Cross(const Vector3& v) const { return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x}; }
    // Leaves a zero vector unchanged instead of producing NaNs.
    void Normalize();
    Vector3 Normalized() const {
        Vector3 v = *this;
        v.Normalize();
        return v;
    }

    static float Distance(const Vector3& a, const Vector3& b) { return (a - b).Length(); }
    static float DistanceSquared(const Vector3& a, const Vector3& b) { return (a - b).LengthSquared(); }
    static Vector3 Lerp(const Vector3& a, const Vector3& b, float t) { return a + (b - a) * t; }
    // Point transform: (x, y, z, 1) * M, divided by w.
    static Vector3 Transform(const Vector3& v, const Matrix& m);
    // Direction transform: (x, y, z, 0) * M, the upper 3x3 only.
    static Vector3 TransformNormal(const Vector3& v, const Matrix& m);
    static Vector3 Transform(const Vector3& v, const Quaternion& q);

    Vector3 operator+(const Vector3& v) const { return {x + v.x, y + v.y, z + v.z}; }
    Vector3 operator-(const Vector3& v) const { return {x - v.x, y - v.y, z - v.z}; }
    Vector3 operator*(const Vector3& v) const { return {x * v.x, y * v.y, z * v.z}; }
    Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vector3 operator/(float s) const { return {x / s, y / s, z / s}; }
    Vector3 operator-() const { return {-x, -y, -z}; }
    Vector3& operator+=(const Vector3& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    Vector3& operator-=(const Vector3& v) {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    Vector3& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    Vector3& operator/=(float s) {
        x /= s;
        y /= s;
        z /= s;
        return *this;
    }
    bool operator==(const Vector3& v) const { return x == v.x && y == v.y && z == v.z; }
    bool operator!=(const Vector3& v) const { return !(*this == v); }

    static const Vector3 Zero;
    static const Vector3 One;
    static const Vector3 UnitX;
    static const Vector3 UnitY;
    static const Vector3 UnitZ;
};

inline Vector3 operator*(float s, const Vector3& v) { return v * s; }

struct Vector4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    constexpr Vector4() = default;
    constexpr Vector4(float ix, float iy, float iz, float iw) : x(ix), y(iy), z(iz), w(iw) {}
    constexpr Vector4(const Vector3& v, float iw) : x(v.x), y(v.y), z(v.z), w(iw) {}

    float Dot(const Vector4& v) const { return x * v.x + y * v.y + z * v.z + w * v.w; }
    Vector3 XYZ() const { return {x, y, z}; }
    static Vector4 Transform(const Vector4& v, const Matrix& m);

    Vector4 operator+(const Vector4& v) const { return {x + v.x, y + v.y, z + v.z, w + v.w}; }
    Vector4 operator-(const Vector4& v) const { return {x - v.x, y - v.y, z - v.z, w - v.w}; }
    Vector4 operator*(const Vector4& v) const { return {x * v.x, y * v.y, z * v.z, w * v.w}; }
    Vector4 operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
    bool operator==(const Vector4& v) const { return x == v.x && y == v.y && z == v.z && w == v.w; }
};

// RGBA colour, components nominally 0..1.
struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;

    constexpr Color() = default;
    constexpr Color(float ir, float ig, float ib, float ia = 1.0f) : r(ir), g(ig), b(ib), a(ia) {}

    Vector4 ToVector4() const { return {r, g, b, a}; }
    Color operator*(const Color& c) const { return {r * c.r, g * c.g, b * c.b, a * c.a}; }
    Color operator*(float s) const { return {r * s, g * s, b * s, a * s}; }
    bool operator==(const Color& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
};

struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    constexpr Quaternion() = default;
    constexpr Quaternion(float ix, float iy, float iz, float iw) : x(ix), y(iy), z(iz), w(iw) {}

    float Length() const { return std::sqrt(x * x + y * y + z * z + w * w); }
    void Normalize();
    Quaternion Conjugate() const { return {-x, -y, -z, w}; }

    static Quaternion CreateFromAxisAngle(const Vector3& axis, float angle);
    // Rotation that applies q1 first, then q2 (the row-vector order of matrices).
    static Quaternion Concatenate(const Quaternion& q1, const Quaternion& q2);
    static Quaternion Slerp(const Quaternion& a, const Quaternion& b, float t);

    bool operator==(const Quaternion& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }

    static const Quaternion Identity;
};

struct Matrix {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    constexpr Matrix() = default;
    constexpr Matrix(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13, float m20,
                     float m21, float m22, float m23, float m30, float m31, float m32, float m33)
        : m{{m00, m01, m02, m03}, {m10, m11, m12, m13}, {m20, m21, m22, m23}, {m30, m31, m32, m33}} {}
    Matrix(const Vector3& row0, const Vector3& row1, const Vector3& row2);

    // Rows as vectors: Right is row 0, Up row 1, the facing direction row 2, the position row 3.
    Vector3 Right() const { return {m[0][0], m[0][1], m[0][2]}; }
    Vector3 Up() const { return {m[1][0], m[1][1], m[1][2]}; }
    Vector3 Facing() const { return {m[2][0], m[2][1], m[2][2]}; }
    Vector3 Translation() const { return {m[3][0], m[3][1], m[3][2]}; }
    void SetRight(const Vector3& v) {
        m[0][0] = v.x;
        m[0][1] = v.y;
        m[0][2] = v.z;
    }
    void SetUp(const Vector3& v) {
        m[1][0] = v.x;
        m[1][1] = v.y;
        m[1][2] = v.z;
    }
    void SetFacing(const Vector3& v) {
        m[2][0] = v.x;
        m[2][1] = v.y;
        m[2][2] = v.z;
    }
    void SetTranslation(const Vector3& v) {
        m[3][0] = v.x;
        m[3][1] = v.y;
        m[3][2] = v.z;
    }

    // A singular matrix inverts to the identity; where that must not pass for an answer (a
    // model scaled to nothing), use the form below.
    Matrix Invert() const;
    // False, with `result` untouched, when the matrix has no finite inverse.
    bool Invert(Matrix& result) const;
    Matrix Transpose() const;
    float Determinant() const;

    Matrix operator*(const Matrix& b) const;
    Matrix& operator*=(const Matrix& b) {
        *this = *this * b;
        return *this;
    }
    bool operator==(const Matrix& b) const;
    bool operator!=(const Matrix& b) const { return !(*this == b); }

    static Matrix CreateTranslation(const Vector3& position);
    static Matrix CreateTranslation(float x, float y, float z) { return CreateTranslation({x, y, z}); }
    static Matrix CreateScale(const Vector3& scales);
    static Matrix CreateScale(float scale) { return CreateScale({scale, scale, scale}); }
    // Angles in radians; positive angles turn clockwise when looking along the axis toward the
    // origin, as left-handed rotations do.
    static Matrix CreateRotationX(float radians);
    static Matrix CreateRotationY(float radians);
    static Matrix CreateRotationZ(float radians);
    static Matrix CreateFromQuaternion(const Quaternion& q);
    static Matrix CreateFromAxisAngle(const Vector3& axis, float radians);
    // Roll about z, then pitch about x, then yaw about y.
    static Matrix CreateFromYawPitchRoll(float yaw, float pitch, float roll);

    static Matrix CreateLookAtLH(const Vector3& eye, const Vector3& focus, const Vector3& up);
    static Matrix CreateLookToLH(const Vector3& eye, const Vector3& direction, const Vector3& up);
    // Depth maps to 0 at the near plane and 1 at the far plane.
    static Matrix CreatePerspectiveFieldOfViewLH(float fovY, float aspect, float nearPlane, float farPlane);
    static Matrix CreateOrthographicLH(float width, float height, float nearPlane, float farPlane);
    static Matrix CreateOrthographicOffCenterLH(float left, float right, float bottom, float top, float nearPlane,
                                                float farPlane);

    // Splits an affine matrix into scale, rotation and translation.
    bool Decompose(Vector3& scale, Quaternion& rotation, Vector3& translation) const;

    static const Matrix Identity;
};

}  // namespace Math

using Math::Color;
using Math::Matrix;
using Math::Quaternion;
using Math::Vector2;
using Math::Vector3;
using Math::Vector4;
