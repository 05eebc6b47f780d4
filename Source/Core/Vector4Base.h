#pragma once

#include "Core/Matrix4.h"

#include <cmath>

namespace Quarn
{

// Storage and arithmetic shared by the two 16-byte vector types, Vector3 and Vector4: four floats
// that load as one SIMD register. Every operation here works on all four stored floats, so a Vector3
// carries its w along; operations that are defined on three components live in Vector3.
template <class Derived> class alignas(16) Vector4Base
{
public:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    Derived& SumInto(const Derived& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        w += b.w;
        return Self();
    }

    Derived& ScaledInto(float s)
    {
        x *= s;
        y *= s;
        z *= s;
        w *= s;
        return Self();
    }

    Derived& operator+=(const Derived& b) { return SumInto(b); }
    Derived& operator*=(float s) { return ScaledInto(s); }

    static float Dot(const Derived& a, const Derived& b)
    {
        return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    }
    static float LengthSquared(const Derived& v) { return Dot(v, v); }

    // Multiplies all four floats by the reciprocal length; a zero vector becomes NaN.
    void Normalize() { ScaledInto(1.0f / std::sqrt(LengthSquared(Self()))); }

    static Derived GetNormalized(const Derived& v)
    {
        Derived copy = v;
        copy.Normalize();
        return copy;
    }

    // v × m with v as a row vector: x·row0 + y·row1 + z·row2 + w·row3, so w = 1 translates by
    // floats 12-14 and w = 0 does not.
    static Derived Transformed(const Derived& v, const Matrix4& m)
    {
        return Make(v.x * m[0] + v.y * m[4] + v.z * m[8] + v.w * m[12],
                    v.x * m[1] + v.y * m[5] + v.z * m[9] + v.w * m[13],
                    v.x * m[2] + v.y * m[6] + v.z * m[10] + v.w * m[14],
                    v.x * m[3] + v.y * m[7] + v.z * m[11] + v.w * m[15]);
    }

    friend Derived operator+(const Derived& a, const Derived& b)
    {
        return Make(a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w);
    }
    friend Derived operator-(const Derived& a, const Derived& b)
    {
        return Make(a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w);
    }
    friend Derived operator-(const Derived& a) { return Make(-a.x, -a.y, -a.z, -a.w); }
    friend Derived operator*(const Derived& a, float s) { return Make(a.x * s, a.y * s, a.z * s, a.w * s); }
    friend Derived operator*(const Derived& v, const Matrix4& m) { return Transformed(v, m); }
    friend bool operator==(const Derived& a, const Derived& b)
    {
        return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
    }

protected:
    constexpr Vector4Base() = default;
    constexpr Vector4Base(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    static Derived Make(float x_, float y_, float z_, float w_)
    {
        Derived v;
        v.x = x_;
        v.y = y_;
        v.z = z_;
        v.w = w_;
        return v;
    }

private:
    Derived& Self() { return static_cast<Derived&>(*this); }
};

} // namespace Quarn
