#pragma once

#include "Core/Vector3.h"
#include "Core/Vector4Base.h"

namespace Quarn
{

// Four floats; points carry w = 1, directions and scales w = 0 (set by the user, not by the type).
class Vector4 : public Vector4Base<Vector4>
{
public:
    constexpr Vector4() = default;
    constexpr Vector4(float x_, float y_, float z_, float w_) : Vector4Base(x_, y_, z_, w_) {}
    // All four stored floats, w included.
    constexpr explicit Vector4(const Vector3& v) : Vector4Base(v.x, v.y, v.z, v.w) {}

    // "X", "Y", "Z", "W", each skipped on input when absent.
    void Serialize(Serializer& s);
};

static_assert(sizeof(Vector4) == 16 && alignof(Vector4) == 16);

inline void SerializeValue(Serializer& s, Vector4& v)
{
    v.Serialize(s);
}

inline constexpr Vector3::Vector3(const Vector4& v) : Vector4Base(v.x, v.y, v.z, v.w) {}

} // namespace Quarn
