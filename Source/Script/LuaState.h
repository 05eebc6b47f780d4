#pragma once

// The engine links the C++ build of Lua, so its headers are included without C linkage.
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>

namespace Quarn
{

// The program hosts one Lua state at a time; every engine operation on Lua uses the current one.
// Null while no state exists.
lua_State* CurrentLuaState();
void SetCurrentLuaState(lua_State* state);

} // namespace Quarn
