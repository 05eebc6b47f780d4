#pragma once

#include "GameObjects/GameObject.h"
#include "Script/LuaConvert.h"
#include "Script/LuaGameObjectHandleConvert.h"

namespace Quarn
{

// Game objects cross into Lua as their handles: a handle whose object is gone reads as null.
template <> struct LuaConverter<GameObject*>
{
    static GameObject* Read(lua_State* state, int index);
    static void Push(lua_State* state, GameObject* object);
};

} // namespace Quarn
