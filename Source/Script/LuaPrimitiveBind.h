#pragma once

#include "Script/LuaBindBase.h"

namespace Quarn
{

// Binding of value types owned by Lua (vectors, colours). Each push makes a new userdata holding a
// pointer to the value; the class's collector frees it. Objects have no identity to release.
class LuaPrimitiveBind : public LuaBindBase
{
public:
    using LuaBindBase::LuaBindBase;

    // Pushes a new userdata with the class metatable and returns its block, which holds null until
    // the caller stores the value there; Lua owns the value from then on. Allocating the value after
    // the userdata means a failed allocation leaks nothing (a block left null is never collected).
    void** PushValueBlock(lua_State* state);
    // The value held by the userdata at index, or null when it is not a value of this class.
    void* ToValue(lua_State* state, int index);
};

} // namespace Quarn
