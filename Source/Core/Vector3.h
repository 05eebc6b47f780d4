#pragma once

#include "Core/Vector4Base.h"

namespace Quarn
{

class Serializer;
class Vector4;

// Three floats stored in four: w is carried along on copies and by the four-float arithmetic, is 0 in
// every constant and in vectors built from three components, and is ignored by Cross.
class Vector3 : public Vector4Base<Vector3>
{
public:
    constexpr Vector3() = default;
    constexpr Vector3(float x_, float y_, float z_) : Vector4Base(x_, y_, z_, 0.0f) {}
    // All four stored floats, w included (defined in Vector4.h).
    constexpr explicit Vector3(const Vector4& v);

    // (ay·bz − az·by, az·bx − ax·bz, ax·by − ay·bx) with w = 0.
    static Vector3 Cross(const Vector3& a, const Vector3& b);

    // "X", "Y", "Z", each skipped on input when absent; w is neither written nor read.
    void Serialize(Serializer& s);

    static const Vector3& Zero();
    static const Vector3& One();
    static const Vector3& UnitZ();
};

static_assert(sizeof(Vector3) == 16 && alignof(Vector3) == 16);

// The value form that SerializeNamed and sequences use.
inline void SerializeValue(Serializer& s, Vector3& v)
{
    v.Serialize(s);
}

} // namespace Quarn
