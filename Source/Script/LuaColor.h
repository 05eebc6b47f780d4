#pragma once

#include "Core/Color4.h"
#include "Core/RGBA.h"
#include "Script/LuaConvert.h"
#include "Script/LuaPrimitiveBind.h"

namespace Quarn
{

// Colours reach Lua as userdata that own a Color4 and free it when collected. The class has the
// channel setters and getters and no operators, so two colours are equal only when they are the
// same userdata.
LuaPrimitiveBind& GetColorLuaBind();

// Each push makes a new userdata holding a copy.
void LuaPushColor4(lua_State* state, const Color4& color);
// Channels are the bytes of the packed colour divided by 255.
void LuaPushColor(lua_State* state, RGBA color);

// The colour at index, shared with every Lua reference to it. Anything else raises
// "bad argument #index (Color expected)".
Color4& LuaCheckColor(lua_State* state, int index);
// The colour at index packed: each byte is the low 8 bits of channel × 255 truncated toward zero.
RGBA LuaToColor(lua_State* state, int index);

template <> struct LuaConverter<Color4>
{
    static Color4 Read(lua_State* state, int index) { return LuaCheckColor(state, index); }
    static void Push(lua_State* state, const Color4& color) { LuaPushColor4(state, color); }
};

template <> struct LuaConverter<RGBA>
{
    static RGBA Read(lua_State* state, int index) { return LuaToColor(state, index); }
    static void Push(lua_State* state, RGBA color) { LuaPushColor(state, color); }
};

} // namespace Quarn
