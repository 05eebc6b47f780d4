#include "Script/LuaConvert.h"

#include <cmath>
#include <exception>

namespace Quarn
{

void LuaArgumentError(lua_State* state, int index, const char* expected)
{
    luaL_error(state, "bad argument #%d (%s expected)", index, expected);
    // luaL_error does not return.
    std::terminate();
}

std::int64_t LuaToInteger(lua_State* state, int index)
{
    const lua_Number number = lua_tonumber(state, index);
    // Out-of-range and NaN conversions are undefined in C++, so they are settled here first.
    if (!std::isfinite(number))
        return 0;
    constexpr lua_Number kLimit = 9223372036854775807.0;
    if (number >= kLimit)
        return INT64_MAX;
    if (number <= -kLimit)
        return INT64_MIN;
    return static_cast<std::int64_t>(number);
}

std::int64_t LuaToCharCode(lua_State* state, int index)
{
    if (lua_type(state, index) == LUA_TSTRING)
        return static_cast<unsigned char>(lua_tostring(state, index)[0]);
    return LuaToInteger(state, index);
}

std::string LuaToString(lua_State* state, int index)
{
    std::size_t length = 0;
    const char* text = lua_tolstring(state, index, &length);
    return text ? std::string(text, length) : std::string();
}

void LuaStoreByPointer(lua_State* state, const void* pointer, int index)
{
    lua_pushvalue(state, index);
    lua_pushlightuserdata(state, const_cast<void*>(pointer));
    lua_insert(state, -2);
    lua_rawset(state, LUA_REGISTRYINDEX);
}

LuaFunction LuaConverter<LuaFunction>::Read(lua_State* state, int index)
{
    if (lua_type(state, index) != LUA_TFUNCTION)
        LuaArgumentError(state, index, "function");
    return LuaFunctionFromStack(state, index);
}

LuaFunction LuaFunctionFromStack(lua_State* state, int index)
{
    // The holder keeps the value through the running state, which a coroutine's stack is not.
    lua_State* running = CurrentLuaState();
    if (running == state || !running)
        return LuaFunction(index);
    lua_pushvalue(state, index);
    lua_xmove(state, running, 1);
    LuaFunction function(-1);
    lua_pop(running, 1);
    return function;
}

} // namespace Quarn
