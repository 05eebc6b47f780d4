#include "Core/Quaternion.h"

#include "Core/MathUtil.h"
#include "Core/Vector3.h"

#include <cmath>

namespace Quarn
{
namespace
{

constexpr float kPrecision = 1e-5f;

// x, y and z of v divided by their length.
Vector3 Normalized3(const Vector3& v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

float Dot3(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

bool MuchSmaller(float u, float t)
{
    return std::fabs(u) <= std::fabs(t) * kPrecision;
}

// A unit vector orthogonal to v, built from the two components that are not (nearly) zero.
Vector3 UnitOrthogonal(const Vector3& v)
{
    if (!MuchSmaller(v.x, v.z) || !MuchSmaller(v.y, v.z))
    {
        const float scale = 1.0f / std::sqrt(v.x * v.x + v.y * v.y);
        return {-v.y * scale, v.x * scale, 0.0f};
    }
    const float scale = 1.0f / std::sqrt(v.y * v.y + v.z * v.z);
    return {0.0f, -v.z * scale, v.y * scale};
}

} // namespace

const Quaternion& Quaternion::Identity()
{
    static const Quaternion identity;
    return identity;
}

void Quaternion::SetAxisAngle(const Vector3& axis, float angle)
{
    const float s = std::sin(angle / 2.0f);
    x = axis.x * s;
    y = axis.y * s;
    z = axis.z * s;
    w = std::cos(angle / 2.0f);
}

void Quaternion::SetFromTwoVectors(const Vector3& a, const Vector3& b)
{
    const Vector3 na = Normalized3(a);
    const Vector3 nb = Normalized3(b);
    const float c = Dot3(na, nb);
    if (ApproxEqual(c, 1.0f, kPrecision))
    {
        *this = Identity();
        return;
    }
    if (ApproxEqual(c, -1.0f, kPrecision))
    {
        // Opposite directions: any axis orthogonal to a gives a half-turn.
        const Vector3 axis = UnitOrthogonal(na);
        *this = Quaternion(0.0f, axis.x, axis.y, axis.z);
        return;
    }
    const Vector3 axis = Vector3::Cross(na, nb);
    const float s = std::sqrt((1.0f + c) * 2.0f);
    const float inverse = 1.0f / s;
    *this = Quaternion(s * 0.5f, axis.x * inverse, axis.y * inverse, axis.z * inverse);
}

Quaternion QuaternionFromAxisAngle(const Vector3& axis, float angle)
{
    Quaternion q;
    q.SetAxisAngle(axis, angle);
    return q;
}

} // namespace Quarn
