#pragma once

#include <cstdint>
#include <string>

namespace Gui
{

// Four bytes, r, g, b, a. Packed into 32 bits (as some callers pass it) r is the lowest byte and a the
// highest.
struct Color
{
    Color() = default;
    Color(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha = 255)
        : r(red), g(green), b(blue), a(alpha)
    {
    }
    std::uint32_t Packed() const
    {
        return std::uint32_t{r} | std::uint32_t{g} << 8 | std::uint32_t{b} << 16 | std::uint32_t{a} << 24;
    }
    friend bool operator==(const Color&, const Color&) = default;

    std::uint8_t r = 255;
    std::uint8_t g = 255;
    std::uint8_t b = 255;
    std::uint8_t a = 255;
};

struct Point
{
    Point() = default;
    Point(std::int32_t px, std::int32_t py) : x(px), y(py) {}
    friend bool operator==(const Point&, const Point&) = default;

    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct Rect
{
    Rect() = default;
    Rect(std::int32_t px, std::int32_t py, std::int32_t pw, std::int32_t ph) : x(px), y(py), w(pw), h(ph) {}
    friend bool operator==(const Rect&, const Rect&) = default;

    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;
};

// Space inside (padding) or around (margin) a control's edges; built from left, top, right, bottom.
struct Padding
{
    Padding() = default;
    Padding(std::int32_t left_, std::int32_t top_, std::int32_t right_, std::int32_t bottom_)
        : top(top_), bottom(bottom_), left(left_), right(right_)
    {
    }
    friend bool operator==(const Padding&, const Padding&) = default;

    std::int32_t top = 0;
    std::int32_t bottom = 0;
    std::int32_t left = 0;
    std::int32_t right = 0;
};

struct Margin : Padding
{
    using Padding::Padding;
};

// A font as controls ask for it; data belongs to the renderer that loaded it (null until then) and
// realSize is the pixel height it used.
struct Font
{
    std::wstring facename = L"Arial";
    float size = 10.0f;
    bool bold = false;
    bool dropShadow = false;
    void* data = nullptr;
    float realSize = 0.0f;
};

// An image file as controls ask for it; data belongs to the renderer that loaded it. The size is the
// loaded image's, 4 x 4 before loading.
struct Texture
{
    std::wstring name;
    void* data = nullptr;
    bool failed = false;
    std::int32_t width = 4;
    std::int32_t height = 4;
};

} // namespace Gui
