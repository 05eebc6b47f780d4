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
// Making a different state current starts a new generation.
void SetCurrentLuaState(lua_State* state);

// Changes whenever the current state is replaced or closed. Whatever the engine keeps in a state
// (registry entries, identities) remembers the generation it was made in and does nothing once the
// generation has moved on, so a closed state is never touched again.
unsigned LuaStateGeneration();

// A new state whose memory goes through the engine's allocator (the C library's, as Lua's own), which
// frees what finalizers make while the state closes (see LuaBindBase). Null when out of memory.
lua_State* NewLuaState();

// Closes state; when it is the current one, no state is current afterwards. Its finalizers run here.
void CloseLuaState(lua_State* state);
// Whether a state is closing: the code running is one of its finalizers.
bool LuaStateClosing();

} // namespace Quarn
