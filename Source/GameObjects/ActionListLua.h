#pragma once

#include "GameObjects/ActionList.h"
#include "Script/LuaConvert.h"

namespace Quarn
{

// Action lists cross into Lua as their handles (nil for null).
template <> struct LuaConverter<ActionList>
{
    static void Push(lua_State* state, const ActionList& list);
};

template <> struct LuaConverter<ActionList*>
{
    static void Push(lua_State* state, const ActionList* list);
};

} // namespace Quarn
