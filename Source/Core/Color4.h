#pragma once

#include "Core/RGBA.h"

#include <cstdint>

namespace Quarn
{

class Serializer;

// The float colour: r, g, b, a, nominally 0..1 but never clamped.
class Color4
{
public:
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    constexpr Color4() = default;
    constexpr Color4(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}

    // The low 8 bits of channel × 255 truncated toward zero: no rounding, no clamping (1.5 gives 126,
    // a negative channel wraps). NaN and infinities give 0.
    static std::uint8_t ChannelToByte(float channel);
    // byte / 255, divided in double precision.
    static float ByteToChannel(std::uint8_t byte);

    RGBA ToRGBA() const;
    static Color4 FromRGBA(RGBA packed);

    // "A", "R", "G", "B" as bytes (ChannelToByte / ByteToChannel). Output works on temporaries, so a
    // writer that changes the values it is handed leaves the colour as it was. On input the channels
    // are assigned after all four fields are read, and a channel whose field is absent keeps its value.
    void Serialize(Serializer& s);

    bool operator==(const Color4&) const = default;
};

inline void SerializeValue(Serializer& s, Color4& color)
{
    color.Serialize(s);
}

} // namespace Quarn
