#pragma once

namespace Quarn
{

class Vector3;

// A rotation quaternion, stored x, y, z, w (w last).
class alignas(16) Quaternion
{
public:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    // The identity.
    constexpr Quaternion() = default;
    // Note the argument order: w first, then the vector part.
    constexpr Quaternion(float w_, float x_, float y_, float z_) : x(x_), y(y_), z(z_), w(w_) {}

    static const Quaternion& Identity();

    // w = cos(angle / 2), (x, y, z) = axis · sin(angle / 2); the axis is used as given, not normalised.
    void SetAxisAngle(const Vector3& axis, float angle);
    // The shortest-arc rotation that turns direction a onto direction b (lengths do not matter; a
    // zero vector gives NaN).
    void SetFromTwoVectors(const Vector3& a, const Vector3& b);

    bool operator==(const Quaternion&) const = default;
};

static_assert(sizeof(Quaternion) == 16 && alignof(Quaternion) == 16);

Quaternion QuaternionFromAxisAngle(const Vector3& axis, float angle);

} // namespace Quarn
