#include "Script/LuaRef.h"

#include "Script/LuaState.h"

namespace Quarn
{

LuaRef::~LuaRef()
{
    Release();
}

LuaRef::LuaRef(const LuaRef& other)
{
    *this = other;
}

LuaRef& LuaRef::operator=(const LuaRef& other)
{
    if (this == &other)
        return *this;
    if (!other.IsSet())
    {
        Release();
        return *this;
    }
    lua_State* state = CurrentLuaState();
    other.Push();
    SetFromStack(-1);
    lua_pop(state, 1);
    return *this;
}

void LuaRef::SetFromStack(int index)
{
    lua_State* state = CurrentLuaState();
    if (!state)
        return;
    if (index < 0 && index > LUA_REGISTRYINDEX)
        index = lua_gettop(state) + index + 1;
    lua_pushlightuserdata(state, const_cast<void*>(Key()));
    lua_pushvalue(state, index);
    lua_rawset(state, LUA_REGISTRYINDEX);
    m_set = true;
    m_generation = LuaStateGeneration();
}

void LuaRef::NewTable()
{
    lua_State* state = CurrentLuaState();
    if (!state)
        return;
    lua_newtable(state);
    SetFromStack(-1);
    lua_pop(state, 1);
}

void LuaRef::SetGlobals()
{
    SetFromStack(LUA_GLOBALSINDEX);
}

void LuaRef::SetRegistry()
{
    SetFromStack(LUA_REGISTRYINDEX);
}

void LuaRef::Release()
{
    if (IsSet())
    {
        lua_State* state = CurrentLuaState();
        lua_pushlightuserdata(state, const_cast<void*>(Key()));
        lua_pushnil(state);
        lua_rawset(state, LUA_REGISTRYINDEX);
    }
    m_set = false;
}

bool LuaRef::IsSet() const
{
    return m_set && m_generation == LuaStateGeneration() && CurrentLuaState();
}

void LuaRef::Push() const
{
    lua_State* state = CurrentLuaState();
    if (!state)
        return;
    if (!IsSet())
    {
        lua_pushnil(state);
        return;
    }
    lua_pushlightuserdata(state, const_cast<void*>(Key()));
    lua_rawget(state, LUA_REGISTRYINDEX);
}

void LuaRef::PushField(const char* name) const
{
    lua_State* state = CurrentLuaState();
    if (!state)
        return;
    Push();
    if (!lua_istable(state, -1))
    {
        lua_pop(state, 1);
        lua_pushnil(state);
        return;
    }
    lua_pushstring(state, name);
    lua_rawget(state, -2);
    lua_remove(state, -2);
}

void LuaRef::SetField(const char* name) const
{
    lua_State* state = CurrentLuaState();
    if (!state)
        return;
    Push();
    if (lua_istable(state, -1))
    {
        lua_pushstring(state, name);
        lua_pushvalue(state, -3);
        lua_rawset(state, -3);
    }
    lua_pop(state, 2);
}

} // namespace Quarn
