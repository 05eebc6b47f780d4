#pragma once

#include "Resources/Serializeable.h"
#include "Script/LuaConvert.h"

#include <cstdint>
#include <string>

namespace Quarn
{

class LuaPrimitiveBind;

// A font description: typeface, size as a fraction of the render target's height, weight, italic.
// Scripts hold fonts as values of their own.
class Font : public Serializeable
{
public:
    static LuaPrimitiveBind& GetLuaBind();

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

// A font as an argument (a copy; anything else is an argument error) and as a result (a new value).
template <> struct LuaConverter<Font>
{
    static Font Read(lua_State* state, int index);
    static void Push(lua_State* state, const Font& font);
};

} // namespace Quarn
