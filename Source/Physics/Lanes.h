#pragma once

#include "Core/Vector4.h"

#include <cstring>

namespace Quarn
{

// Four floats side by side, worked on at once: each lane gives exactly what the same float arithmetic
// gives one value at a time.
using Lanes = float __attribute__((vector_size(16)));

inline Lanes LanesOf(const Vector4& v)
{
    Lanes lanes;
    std::memcpy(&lanes, &v, sizeof lanes);
    return lanes;
}

inline Vector4 Vector4Of(const Lanes& lanes)
{
    return Vector4(lanes[0], lanes[1], lanes[2], lanes[3]);
}

// Rows become columns: four points (x, y, z, w) become the lanes of their x, of their y, of their z and
// of their w, and back.
inline void Transpose(Lanes& a, Lanes& b, Lanes& c, Lanes& d)
{
    const Lanes ab01 = __builtin_shufflevector(a, b, 0, 4, 1, 5);
    const Lanes cd01 = __builtin_shufflevector(c, d, 0, 4, 1, 5);
    const Lanes ab23 = __builtin_shufflevector(a, b, 2, 6, 3, 7);
    const Lanes cd23 = __builtin_shufflevector(c, d, 2, 6, 3, 7);
    a = __builtin_shufflevector(ab01, cd01, 0, 1, 4, 5);
    b = __builtin_shufflevector(ab01, cd01, 2, 3, 6, 7);
    c = __builtin_shufflevector(ab23, cd23, 0, 1, 4, 5);
    d = __builtin_shufflevector(ab23, cd23, 2, 3, 6, 7);
}

} // namespace Quarn
