#pragma once

#include <cstdint>

namespace Quarn
{

class Serializer;

// The packed 32-bit colour (A8R8G8B8): bits 0-7 blue, 8-15 green, 16-23 red, 24-31 alpha. A type of
// its own, so a colour word is never taken for a plain number.
class RGBA
{
public:
    std::uint32_t value = 0;

    constexpr RGBA() = default;
    constexpr explicit RGBA(std::uint32_t word) : value(word) {}

    static constexpr RGBA FromARGB(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
    {
        return RGBA(std::uint32_t{a} << 24 | std::uint32_t{r} << 16 | std::uint32_t{g} << 8 | b);
    }

    constexpr std::uint8_t A() const { return static_cast<std::uint8_t>(value >> 24); }
    constexpr std::uint8_t R() const { return static_cast<std::uint8_t>(value >> 16); }
    constexpr std::uint8_t G() const { return static_cast<std::uint8_t>(value >> 8); }
    constexpr std::uint8_t B() const { return static_cast<std::uint8_t>(value); }

    bool operator==(const RGBA&) const = default;
};

// "A", "R", "G", "B", one byte each, read into and written from the packed word itself; a field absent
// on input leaves its byte unchanged.
void SerializeColor(Serializer& s, RGBA& color);

inline void SerializeValue(Serializer& s, RGBA& color)
{
    SerializeColor(s, color);
}

} // namespace Quarn
