#include "Script/LuaPrimitiveBind.h"

namespace Quarn
{

void** LuaPrimitiveBind::PushValueBlock(lua_State* state)
{
    return &PushBlock(state, nullptr).m_object;
}

void* LuaPrimitiveBind::ToValue(lua_State* state, int index)
{
    return IsInstance(state, index) ? LuaToObject(state, index) : nullptr;
}

} // namespace Quarn
