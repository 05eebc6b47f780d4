#include "Script/LuaColorLib.h"

#include "Script/LuaColor.h"
#include "Script/LuaNamedFunctions.h"

#include <cstdint>

namespace Quarn
{

namespace
{

struct NamedColor
{
    const char* name;
    std::uint8_t red, green, blue, alpha;
};

// Scripts name these exactly as spelled here, misspellings included.
constexpr NamedColor kNamedColors[] = {
    {"black", 0, 0, 0, 255},
    {"white", 255, 255, 255, 255},
    {"red", 255, 0, 0, 255},
    {"darkRed", 139, 0, 0, 255},
    {"crimson", 220, 20, 60, 255},
    {"green", 0, 255, 0, 255},
    {"seagreen", 46, 139, 87, 255},
    {"emeraldGreen", 0, 201, 87, 255},
    {"lightGreen", 189, 252, 201, 255},
    {"springGreen", 0, 255, 118, 255},
    {"swampGreen", 107, 142, 35, 255},
    {"dullGreen", 113, 198, 113, 255},
    {"blue", 0, 0, 255, 255},
    {"mediumBlue", 0, 0, 205, 255},
    {"darkBlue", 0, 0, 139, 255},
    {"royalBlue", 65, 105, 225, 255},
    {"dullBlue", 113, 113, 198, 255},
    {"dullLightBlue", 125, 158, 198, 255},
    {"dullViolet", 142, 56, 142, 255},
    {"violet", 238, 130, 238, 255},
    {"pink", 255, 192, 203, 255},
    {"deepPink", 255, 20, 147, 255},
    {"darkPink", 139, 10, 80, 255},
    {"lightPurple", 255, 0, 255, 255},
    {"purple", 128, 0, 128, 255},
    {"plum", 221, 160, 221, 255},
    {"magenta", 255, 0, 255, 255},
    {"darkMagenta", 139, 0, 139, 255},
    {"indigo", 75, 0, 130, 255},
    {"rurqouise", 64, 224, 208, 255},
    {"sarkTurqouise", 0, 206, 209, 255},
    {"lightYellow", 255, 255, 102, 255},
    {"yellow", 255, 255, 0, 255},
    {"lightCyan", 224, 255, 255, 255},
    {"cyan", 0, 255, 255, 255},
    {"darkCyan", 0, 205, 205, 255},
    {"dullTeal", 0, 128, 128, 255},
    {"teal", 0, 128, 128, 255},
    {"khaki", 255, 246, 143, 255},
    {"darkKhaki", 189, 183, 107, 255},
    {"lightGold", 255, 215, 0, 255},
    {"gold", 255, 215, 0, 255},
    {"darkGold", 205, 149, 12, 255},
    {"orange", 255, 165, 0, 255},
    {"orangeStrong", 255, 69, 0, 255},
    {"darkOrange", 238, 118, 0, 255},
    {"lightSalmon", 255, 160, 122, 255},
    {"salmon", 250, 128, 114, 255},
    {"dullSalmon", 198, 113, 113, 255},
    {"lightGrey", 233, 233, 233, 255},
    {"grey", 137, 137, 137, 255},
    {"darkGrey", 91, 91, 91, 255},
    {"lightBrown", 210, 105, 30, 255},
    {"brown", 199, 97, 20, 255},
    {"darkBrown", 138, 54, 15, 255},
    {"dullOlive", 142, 142, 56, 255},
    {"transparent", 255, 255, 255, 0},
};

// A channel byte: the first character of a string, else the number truncated to its low 8 bits.
std::uint8_t ChannelByte(lua_State* state, int index)
{
    return static_cast<std::uint8_t>(LuaToCharCode(state, index));
}

float Channel(lua_State* state, int index)
{
    return Color4::ByteToChannel(ChannelByte(state, index));
}

int NewRGBA(lua_State* state)
{
    LuaPushColor4(state, {Channel(state, 1), Channel(state, 2), Channel(state, 3), Channel(state, 4)});
    return 1;
}

int NewRGB(lua_State* state)
{
    LuaPushColor4(state, {Channel(state, 1), Channel(state, 2), Channel(state, 3), 1.0f});
    return 1;
}

constexpr LuaNamedFunction kConstructors[] = {
    {"RGBA", NewRGBA},
    {"RGB", NewRGB},
};

} // namespace

void LuaColorLib::RegisterLuaMethods(lua_State* state)
{
    GetLuaBind().PushMethodTable(state);
    for (const NamedColor& color : kNamedColors)
    {
        lua_pushstring(state, color.name);
        LuaPushColor(state, RGBA::FromARGB(color.alpha, color.red, color.green, color.blue));
        lua_rawset(state, -3);
    }
    lua_pop(state, 1);

    lua_pushvalue(state, LUA_GLOBALSINDEX);
    LuaSetFunctions(state, kConstructors);
    lua_pop(state, 1);
}

} // namespace Quarn
