#pragma once

#include "GameObjects/GameObjectHandle.h"
#include "Script/LuaConvert.h"

namespace Quarn
{

// A game object's handle as an argument or result: nil is the invalid handle, a value of another
// class is an argument error; a handle whose object is gone pushes nil. Declared here so bound classes
// below the game objects (the message manager) can take handles; defined beside the game objects' Lua
// class.
template <> struct LuaConverter<GameObjectHandle>
{
    static GameObjectHandle Read(lua_State* state, int index);
    static void Push(lua_State* state, const GameObjectHandle& handle);
};

} // namespace Quarn
