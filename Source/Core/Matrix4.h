#pragma once

namespace Quarn
{

// A 4 × 4 float matrix, row-major: entry (row r, column c) is float 4r + c, so each row loads as one
// SIMD register. Vectors are rows and are transformed as v × M; the fourth row (floats 12-14)
// translates points (w = 1). In A × B, A applies first.
class alignas(16) Matrix4
{
public:
    // The identity.
    Matrix4();
    Matrix4(float m00, float m01, float m02, float m03, float m10, float m11, float m12, float m13, float m20,
            float m21, float m22, float m23, float m30, float m31, float m32, float m33);

    static const Matrix4& Identity();

    float& operator[](int index) { return m_values[index]; }
    float operator[](int index) const { return m_values[index]; }
    float& operator()(int row, int column) { return m_values[4 * row + column]; }
    float operator()(int row, int column) const { return m_values[4 * row + column]; }
    const float* Data() const { return m_values; }

    // this = this × rhs; rhs may be this matrix itself.
    Matrix4& Multiply(const Matrix4& rhs);
    Matrix4& operator*=(const Matrix4& rhs) { return Multiply(rhs); }
    friend Matrix4 operator*(const Matrix4& a, const Matrix4& b)
    {
        Matrix4 product = a;
        return product.Multiply(b);
    }

    Matrix4 GetTransposed() const;

    // this = m⁻¹ (m may be this matrix). A singular m leaves this matrix unchanged and gives false.
    bool Inverse(const Matrix4& m);
    // The inverse; all NaN when the matrix is singular.
    Matrix4 GetInverse() const;

    // Keeps the upper-left 3 × 3 block and clears the rest, float 15 included, so the result turns
    // directions (w = 0) without translating them.
    void ToRotationOnly();

    bool operator==(const Matrix4&) const = default;

private:
    float m_values[16];
};

static_assert(sizeof(Matrix4) == 64 && alignof(Matrix4) == 16);

} // namespace Quarn
