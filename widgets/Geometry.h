#pragma once

#include "widgets/Structures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

// Where numbers enter the toolkit's geometry. Positions, margins and points are kept within a million
// pixels either way, sizes and paddings within 0 and a million, so that a sum of a few of them always fits
// an int. Numbers with fractions become ints only through ToInt.
namespace Gui::Geometry
{

inline constexpr int kLimit = 1'000'000;

constexpr int Position(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, -kLimit, kLimit));
}

constexpr int Size(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, kLimit));
}

inline Padding ClampPadding(const Padding& padding)
{
    return Padding(Size(padding.left), Size(padding.top), Size(padding.right), Size(padding.bottom));
}

inline Margin ClampMargin(const Margin& margin)
{
    return Margin(Position(margin.left), Position(margin.top), Position(margin.right),
                  Position(margin.bottom));
}

inline Point ClampPoint(std::int64_t x, std::int64_t y)
{
    return Point(Position(x), Position(y));
}

// Truncated towards zero; beyond the int range the end it passes, and NaN is 0.
inline int ToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

// The nearest int.
constexpr int Saturate(std::int64_t value)
{
    return static_cast<int>(
        std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace Gui::Geometry
