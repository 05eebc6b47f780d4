#include "Script/LuaBindBase.h"

#include <boost/core/demangle.hpp>

namespace Quarn
{

namespace
{
// "Quarn::Timer" reads "Timer" in script errors.
std::string ReadableClassName(const std::type_info& type)
{
    std::string name = boost::core::demangle(type.name());
    const std::size_t templateStart = name.find('<');
    const std::size_t scope = name.rfind("::", templateStart);
    if (scope != std::string::npos)
        name.erase(0, scope + 2);
    return name;
}
// The "__gc" of every bound class: forgets the block as a checked self, then runs the class's own
// "__gc" (upvalue 1) if it has one.
int ForgetThenCollect(lua_State* state)
{
    if (lua_touserdata(state, 1) == g_checkedLuaBlock)
        g_checkedLuaBlock = nullptr;
    if (!lua_isfunction(state, lua_upvalueindex(1)))
        return 0;
    lua_pushvalue(state, lua_upvalueindex(1));
    lua_pushvalue(state, 1);
    lua_call(state, 1, 0);
    return 0;
}
} // namespace

LuaBindBase::LuaBindBase(const std::type_info& type, RegisterCallback callback)
    : m_callback(callback), m_className(ReadableClassName(type))
{
}

void LuaBindBase::PushKey(lua_State* state, Key key) const
{
    lua_pushlightuserdata(state, const_cast<char*>(&m_keys[key]));
}

bool LuaBindBase::IsRegistered(lua_State* state) const
{
    PushKey(state, kRegisteredKey);
    lua_rawget(state, LUA_REGISTRYINDEX);
    const bool registered = lua_isboolean(state, -1) && lua_toboolean(state, -1);
    lua_pop(state, 1);
    return registered;
}

void LuaBindBase::Register(lua_State* state)
{
    PushKey(state, kRegisteredKey);
    lua_pushboolean(state, 1);
    lua_rawset(state, LUA_REGISTRYINDEX);

    PushKey(state, kMethodTableKey);
    lua_newtable(state);
    lua_rawset(state, LUA_REGISTRYINDEX);
    PushKey(state, kMetatableKey);
    lua_newtable(state);
    lua_rawset(state, LUA_REGISTRYINDEX);

    if (m_callback)
        m_callback(state);

    PushKey(state, kMetatableKey);
    lua_rawget(state, LUA_REGISTRYINDEX);
    lua_pushliteral(state, "__index");
    PushKey(state, kMethodTableKey);
    lua_rawget(state, LUA_REGISTRYINDEX);
    lua_rawset(state, -3);
    lua_pushliteral(state, "__gc");
    lua_pushliteral(state, "__gc");
    lua_rawget(state, -3);
    lua_pushcclosure(state, &ForgetThenCollect, 1);
    lua_rawset(state, -3);
    lua_pop(state, 1);
}

void LuaBindBase::PushMetatable(lua_State* state)
{
    EnsureRegistered(state);
    PushKey(state, kMetatableKey);
    lua_rawget(state, LUA_REGISTRYINDEX);
}

void LuaBindBase::PushMethodTable(lua_State* state)
{
    EnsureRegistered(state);
    PushKey(state, kMethodTableKey);
    lua_rawget(state, LUA_REGISTRYINDEX);
}

LuaObjectBlock& LuaBindBase::PushBlock(lua_State* state, void* object)
{
    auto* block = static_cast<LuaObjectBlock*>(lua_newuserdata(state, sizeof(LuaObjectBlock)));
    *block = {object, this};
    PushMetatable(state);
    lua_setmetatable(state, -2);
    return *block;
}

} // namespace Quarn
