#pragma once

#include "Script/LuaState.h"

#include <span>

namespace Quarn
{

struct LuaNamedFunction
{
    const char* name;
    lua_CFunction function;
};

// Stores each function, behind the exception boundary, under its name in the table on top of the
// stack (a raw set), in the order given.
void LuaSetFunctions(lua_State* state, std::span<const LuaNamedFunction> functions);

} // namespace Quarn
