#include "Core/Color4.h"

#include "Resources/SerializerTypes.h"

#include <cmath>

namespace Quarn
{

std::uint8_t Color4::ChannelToByte(float channel)
{
    const double scaled = std::trunc(channel * 255.0);
    if (!std::isfinite(scaled))
    {
        return 0;
    }
    // The low byte of the truncated integer, taken without converting an out-of-range double to an
    // integer type: fmod is exact, and a negative remainder wraps like two's complement.
    double lowByte = std::fmod(scaled, 256.0);
    if (lowByte < 0.0)
    {
        lowByte += 256.0;
    }
    return static_cast<std::uint8_t>(lowByte);
}

float Color4::ByteToChannel(std::uint8_t byte)
{
    return static_cast<float>(byte / 255.0);
}

RGBA Color4::ToRGBA() const
{
    return RGBA::FromARGB(ChannelToByte(a), ChannelToByte(r), ChannelToByte(g), ChannelToByte(b));
}

Color4 Color4::FromRGBA(RGBA packed)
{
    return {ByteToChannel(packed.R()), ByteToChannel(packed.G()), ByteToChannel(packed.B()),
            ByteToChannel(packed.A())};
}

void Color4::Serialize(Serializer& s)
{
    std::uint8_t bytes[4] = {ChannelToByte(a), ChannelToByte(r), ChannelToByte(g), ChannelToByte(b)};
    const bool present[4] = {SerializeNamed(s, bytes[0], "A"), SerializeNamed(s, bytes[1], "R"),
                             SerializeNamed(s, bytes[2], "G"), SerializeNamed(s, bytes[3], "B")};
    if (!s.IsInput())
    {
        return;
    }
    float* channels[4] = {&a, &r, &g, &b};
    for (int i = 0; i < 4; ++i)
    {
        if (present[i])
        {
            *channels[i] = ByteToChannel(bytes[i]);
        }
    }
}

} // namespace Quarn
