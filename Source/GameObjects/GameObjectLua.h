#pragma once

#include "GameObjects/GameObject.h"
#include "Script/LuaConvert.h"

namespace Quarn
{

// Game objects cross into Lua as their handles: a handle whose object is gone reads as null.
template <> struct LuaConverter<GameObject*>
{
    static GameObject* Read(lua_State* state, int index);
    static void Push(lua_State* state, GameObject* object);
};

// A game object's handle as an argument or result: nil is the invalid handle, a value of another
// class is an argument error; a handle whose object is gone pushes nil.
template <> struct LuaConverter<GameObjectHandle>
{
    static GameObjectHandle Read(lua_State* state, int index);
    static void Push(lua_State* state, const GameObjectHandle& handle);
};

} // namespace Quarn
