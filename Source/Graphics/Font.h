#pragma once

#include "Resources/Serializeable.h"

#include <cstdint>
#include <string>

namespace Quarn
{

// A font description: typeface, size as a fraction of the render target's height, weight, italic.
class Font : public Serializeable
{
public:
    // "Face", "Size", "Italic", "Weight".
    bool Serialize(Serializer& serializer) override;

    bool operator==(const Font& other) const
    {
        return Face == other.Face && Size == other.Size && Weight == other.Weight && Italic == other.Italic;
    }

    std::string Face;
    float Size = 0.1f;
    std::uint32_t Weight = 0;
    bool Italic = false;
};

} // namespace Quarn
