#pragma once

#include <algorithm>
#include <cmath>

namespace Quarn
{

// The float nearest pi (3.1415927410125732); every degree/radian conversion of the engine uses it.
inline constexpr float kPi = 3.14159265358979323846f;

// Relative comparison: the tolerance scales with the smaller magnitude, so nothing but 0 itself is
// approximately equal to 0.
inline bool ApproxEqual(float a, float b, float precision)
{
    return std::fabs(a - b) <= std::min(std::fabs(a), std::fabs(b)) * precision;
}

} // namespace Quarn
