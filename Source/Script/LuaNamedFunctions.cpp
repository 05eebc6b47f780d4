#include "Script/LuaNamedFunctions.h"

#include "Script/LuaMethods.h"

namespace Quarn
{

void LuaSetFunctions(lua_State* state, std::span<const LuaNamedFunction> functions)
{
    for (const LuaNamedFunction& entry : functions)
    {
        lua_pushstring(state, entry.name);
        LuaPushCFunction(state, entry.function);
        lua_rawset(state, -3);
    }
}

} // namespace Quarn
