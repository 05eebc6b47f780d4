#include "Script/LuaExtensibleBind.h"

#include "Script/LuaBoundary.h"

namespace Quarn
{

namespace
{
// Upvalue 1 of both metamethods is the binding, for the error text.
const LuaExtensibleBind& BindingOf(lua_State* state)
{
    return *static_cast<const LuaExtensibleBind*>(lua_touserdata(state, lua_upvalueindex(1)));
}

// Pushes the environment table of the object at index 1, or raises an error naming the class.
void PushEnvironment(lua_State* state)
{
    lua_getfenv(state, 1);
    if (lua_type(state, 1) != LUA_TUSERDATA || !lua_istable(state, -1))
        luaL_error(state, "bad argument #1 (%s expected)", BindingOf(state).ClassName().c_str());
}

int Index(lua_State* state)
{
    return LuaBoundary(state,
                       [state]
                       {
                           PushEnvironment(state);
                           lua_pushvalue(state, 2);
                           lua_gettable(state, -2);
                           return 1;
                       });
}

int NewIndex(lua_State* state)
{
    return LuaBoundary(state,
                       [state]
                       {
                           PushEnvironment(state);
                           lua_pushvalue(state, 2);
                           lua_pushvalue(state, 3);
                           lua_rawset(state, -3);
                           return 0;
                       });
}
} // namespace

LuaExtensibleBind::LuaExtensibleBind(const std::type_info& type, RegisterCallback callback,
                                     std::string globalName)
    : LuaBasicBind(type, callback), m_globalName(std::move(globalName))
{
}

void LuaExtensibleBind::Register(lua_State* state)
{
    LuaBasicBind::Register(state);
    PushMetatable(state);
    lua_pushliteral(state, "__index");
    lua_pushlightuserdata(state, this);
    lua_pushcclosure(state, &Index, 1);
    lua_rawset(state, -3);
    lua_pushliteral(state, "__newindex");
    lua_pushlightuserdata(state, this);
    lua_pushcclosure(state, &NewIndex, 1);
    lua_rawset(state, -3);
    lua_pop(state, 1);

    PushMethodTable(state);
    lua_setglobal(state, m_globalName.c_str());
}

void LuaExtensibleBind::Create(lua_State* state, void* object)
{
    // The environment is its own metatable and falls back to the methods.
    lua_newtable(state);
    lua_pushvalue(state, -1);
    lua_setmetatable(state, -2);
    lua_pushliteral(state, "__index");
    PushMethodTable(state);
    lua_rawset(state, -3);

    PushBlock(state, object);
    lua_insert(state, -2);
    lua_setfenv(state, -2);
    lua_pushlightuserdata(state, object);
    lua_pushvalue(state, -2);
    lua_rawset(state, LUA_REGISTRYINDEX);
}

} // namespace Quarn
