#include "Core/RGBA.h"

#include "Resources/SerializerTypes.h"

namespace Quarn
{

void SerializeColor(Serializer& s, RGBA& color)
{
    std::uint8_t a = color.A(), r = color.R(), g = color.G(), b = color.B();
    SerializeNamed(s, a, "A");
    SerializeNamed(s, r, "R");
    SerializeNamed(s, g, "G");
    SerializeNamed(s, b, "B");
    color = RGBA::FromARGB(a, r, g, b);
}

} // namespace Quarn
