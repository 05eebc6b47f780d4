#include "Script/LuaBasicBind.h"

#include "Script/LuaPolymorphicBase.h"

namespace Quarn
{

namespace
{
// The metatables of identity userdata carry this light-userdata key, so that a release never writes
// into a userdata that something else stored under the same address.
const char s_identityMark = 0;

bool IsIdentity(lua_State* state, int index)
{
    if (lua_type(state, index) != LUA_TUSERDATA || !lua_getmetatable(state, index))
        return false;
    lua_pushlightuserdata(state, const_cast<char*>(&s_identityMark));
    lua_rawget(state, -2);
    const bool marked = lua_toboolean(state, -1);
    lua_pop(state, 2);
    return marked;
}

// Identity userdata keep their block after release; a null pointer marks them dead.
void ReleaseIdentity(lua_State* state, const void* object)
{
    lua_pushlightuserdata(state, const_cast<void*>(object));
    lua_rawget(state, LUA_REGISTRYINDEX);
    if (IsIdentity(state, -1))
        static_cast<LuaObjectBlock*>(lua_touserdata(state, -1))->m_object = nullptr;
    lua_pop(state, 1);
    lua_pushlightuserdata(state, const_cast<void*>(object));
    lua_pushnil(state);
    lua_rawset(state, LUA_REGISTRYINDEX);
}
} // namespace

void LuaBasicBind::PushObject(lua_State* state, void* object)
{
    if (!object)
    {
        lua_pushnil(state);
        return;
    }
    lua_pushlightuserdata(state, object);
    lua_rawget(state, LUA_REGISTRYINDEX);
    if (IsInstance(state, -1) && LuaToObject(state, -1) == object)
        return;
    lua_pop(state, 1);
    Create(state, object);
}

void LuaBasicBind::Register(lua_State* state)
{
    LuaBindBase::Register(state);
    PushMetatable(state);
    lua_pushlightuserdata(state, const_cast<char*>(&s_identityMark));
    lua_pushboolean(state, 1);
    lua_rawset(state, -3);
    lua_pop(state, 1);
}

void LuaBasicBind::Create(lua_State* state, void* object)
{
    PushBlock(state, object);
    lua_pushlightuserdata(state, object);
    lua_pushvalue(state, -2);
    lua_rawset(state, LUA_REGISTRYINDEX);
}

void LuaBasicBind::Release(lua_State* state, const void* object)
{
    ReleaseIdentity(state, object);
}

void* LuaBasicBind::ToObject(lua_State* state, int index)
{
    return IsInstance(state, index) ? LuaToObject(state, index) : nullptr;
}

void ReleaseLuaIdentity(const void* object)
{
    if (lua_State* state = CurrentLuaState())
        ReleaseIdentity(state, object);
}

} // namespace Quarn
