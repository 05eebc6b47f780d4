#include "Script/LuaPrimitiveBind.h"

namespace Quarn
{

void** LuaPrimitiveBind::PushValueBlock(lua_State* state)
{
    auto** block = static_cast<void**>(lua_newuserdata(state, sizeof(void*)));
    *block = nullptr;
    PushMetatable(state);
    lua_setmetatable(state, -2);
    return block;
}

void* LuaPrimitiveBind::ToValue(lua_State* state, int index)
{
    return IsInstance(state, index) ? LuaToObject(state, index) : nullptr;
}

} // namespace Quarn
