#include "Script/LuaBindBase.h"

#include <boost/core/demangle.hpp>

#include <cstdint>
#include <set>
#include <utility>

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
// The addresses of blocks made while a state closes, until Lua frees their memory; ordered, so that a
// freed piece of memory finds the blocks inside it at once.
std::set<std::uintptr_t> s_madeWhileClosing;
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
    lua_pushlightuserdata(state, this);
    lua_pushcclosure(state, &CollectUserdata, 1);
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
    if (LuaStateClosing())
        s_madeWhileClosing.insert(reinterpret_cast<std::uintptr_t>(block));
    return *block;
}

int LuaBindBase::CollectUserdata(lua_State* state)
{
    // The block's address may come back as another userdata: it is no longer a checked self.
    if (lua_touserdata(state, 1) == g_checkedLuaBlock)
        g_checkedLuaBlock = nullptr;
    const auto* bind = static_cast<const LuaBindBase*>(lua_touserdata(state, lua_upvalueindex(1)));
    if (bind->IsInstance(state, 1))
        Collect(*static_cast<LuaObjectBlock*>(lua_touserdata(state, 1)));
    return 0;
}

void LuaBindBase::Collect(LuaObjectBlock& block)
{
    if (!block.m_class->m_collector)
        return;
    // Emptied first: whatever the collector reaches, the userdata no longer names the object.
    if (void* object = std::exchange(block.m_object, nullptr))
        block.m_class->m_collector(object);
}

void LuaBindBase::CollectBlocksMadeWhileClosing(const void* memory, std::size_t size)
{
    const auto start = reinterpret_cast<std::uintptr_t>(memory);
    for (auto block = s_madeWhileClosing.lower_bound(start);
         block != s_madeWhileClosing.end() && *block - start < size; block = s_madeWhileClosing.erase(block))
        Collect(*reinterpret_cast<LuaObjectBlock*>(*block));
}

void LuaBindBase::ForgetBlocksMadeWhileClosing()
{
    s_madeWhileClosing.clear();
}

} // namespace Quarn
