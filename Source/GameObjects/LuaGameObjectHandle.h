#pragma once

#include "GameObjects/GameObjectHandle.h"
#include "Script/LuaExtensibleBind.h"

#include <cstddef>

struct lua_State;

namespace Quarn
{

class GameObject;

// What scripts hold of a game object: its id and slot, tested against the manager's slot table at
// every use, so a handle whose object is gone does nothing and answers nil, false or 0. Extensible:
// scripts store fields of their own on it, beside one field per component. The record belongs to its
// Lua userdata and is freed when Lua collects it.
struct LuaGameObjectHandle
{
    static constexpr const char* kLuaGlobalName = "objDefs";

    static LuaExtensibleBind& GetLuaBind();

    // The object while its slot carries the handle's id, else null.
    GameObject* Resolve() const;

    GameObjectHandle m_handle;
};

} // namespace Quarn
