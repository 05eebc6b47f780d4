#include "Script/LuaMethods.h"

namespace Quarn
{

namespace LuaDetail
{
void* CheckSelfFully(lua_State* state, const LuaBindBase* expected)
{
    const LuaObjectBlock* block = LuaToBlock(state, 1);
    if (!block || block->m_class != expected || !block->m_object)
        LuaArgumentError(state, 1, expected->ClassName().c_str());
    g_checkedLuaBlock = block;
    return block->m_object;
}

int CFunctionThunk(lua_State* state)
{
    const lua_CFunction function = lua_tocfunction(state, lua_upvalueindex(1));
    return LuaBoundary(state, [state, function] { return function(state); });
}
} // namespace LuaDetail

void LuaPushCFunction(lua_State* state, lua_CFunction function)
{
    lua_pushcfunction(state, function);
    lua_pushcclosure(state, &LuaDetail::CFunctionThunk, 1);
}

} // namespace Quarn
