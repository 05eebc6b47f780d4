#include "Core/Vector2.h"

#include "Core/MathUtil.h"

#include <cmath>

namespace Quarn
{

void Vector2::Normalize()
{
    const float inverseLength = 1.0f / std::sqrt(x * x + y * y);
    x *= inverseLength;
    y *= inverseLength;
}

Vector2 Vector2::GetNormalized() const
{
    const float length = std::sqrt(x * x + y * y);
    return {x / length, y / length};
}

float VecToRad(const Vector2& v)
{
    return std::atan2(v.y, v.x);
}

float VecToDeg(const Vector2& v)
{
    return VecToRad(v) * 180.0f / kPi;
}

Vector2 RadToVec(float angle)
{
    return {std::cos(angle), std::sin(angle)};
}

} // namespace Quarn
