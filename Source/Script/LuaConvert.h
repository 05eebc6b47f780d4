#pragma once

#include "Script/LuaBasicBind.h"
#include "Script/LuaFunction.h"
#include "Script/LuaPolymorphicBase.h"
#include "Script/LuaState.h"

#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

namespace Quarn
{

// How a C++ type crosses into and out of Lua: Read(state, index) takes the argument at index, Push
// pushes a result. Bound methods convert their parameters and results through it. A type without a
// converter does not compile; vectors and colours get theirs beside their own bindings.
template <typename T> struct LuaConverter;

// A class bound to Lua by identity: it names its binding through a static GetLuaBind().
template <typename T>
concept LuaObjectClass = requires
{
    {
        T::GetLuaBind()
        } -> std::convertible_to<LuaBasicBind&>;
};

// Raises "bad argument #index (<what> expected)"; never returns.
[[noreturn]] void LuaArgumentError(lua_State* state, int index, const char* expected);

// The number at index as an integer type: absent or non-number reads 0, fractions truncate toward
// zero, and the value wraps to the width of T like an integer conversion.
std::int64_t LuaToInteger(lua_State* state, int index);
// A key or colour byte: the first byte of a string, else the number truncated.
std::int64_t LuaToCharCode(lua_State* state, int index);
// A character code: the first character of a UTF-8 string, else the number.
std::int64_t LuaToShortCharCode(lua_State* state, int index);
// The string at index (a number reads as its text); any other value reads as empty.
std::string LuaToString(lua_State* state, int index);
std::wstring LuaToWString(lua_State* state, int index);
void LuaPushWString(lua_State* state, const std::wstring& text);
inline void LuaPushFloat(lua_State* state, float value)
{
    lua_pushnumber(state, value);
}
// registry[light userdata of pointer] = the value at index. Engine code keeps script values this way
// under the address of the object they belong to; identities of bound objects use the same keys, so
// an object with an identity keeps nothing else there.
void LuaStoreByPointer(lua_State* state, const void* pointer, int index);

template <typename T>
concept LuaCharType = std::same_as<T, char> || std::same_as<T, signed char> || std::same_as<T, unsigned char>;
template <typename T>
concept LuaWideCharType = std::same_as<T, wchar_t> || std::same_as<T, char16_t> || std::same_as<T, char32_t>;
template <typename T>
concept LuaIntegerType = std::integral<T> && !std::same_as<T, bool> && !LuaCharType<T> && !LuaWideCharType<T>;

template <LuaIntegerType T> struct LuaConverter<T>
{
    static T Read(lua_State* state, int index) { return static_cast<T>(LuaToInteger(state, index)); }
    static void Push(lua_State* state, T value)
    {
        if constexpr (sizeof(T) <= sizeof(std::int32_t))
        {
            // Unsigned 32-bit values read as signed, so 0xFFFFFFFF reaches scripts as -1; narrower
            // types keep their sign rule.
            if constexpr (std::is_unsigned_v<T> && sizeof(T) == sizeof(std::int32_t))
                lua_pushinteger(state, static_cast<std::int32_t>(value));
            else
                lua_pushinteger(state, value);
        }
        else
            lua_pushnumber(state, static_cast<lua_Number>(value));
    }
};

template <std::floating_point T> struct LuaConverter<T>
{
    static T Read(lua_State* state, int index) { return static_cast<T>(lua_tonumber(state, index)); }
    static void Push(lua_State* state, T value) { lua_pushnumber(state, static_cast<lua_Number>(value)); }
};

template <> struct LuaConverter<bool>
{
    static bool Read(lua_State* state, int index) { return lua_toboolean(state, index) != 0; }
    static void Push(lua_State* state, bool value) { lua_pushboolean(state, value); }
};

template <LuaCharType T> struct LuaConverter<T>
{
    static T Read(lua_State* state, int index) { return static_cast<T>(LuaToCharCode(state, index)); }
    static void Push(lua_State* state, T value) { lua_pushinteger(state, value); }
};

template <LuaWideCharType T> struct LuaConverter<T>
{
    static T Read(lua_State* state, int index)
    {
        const std::int64_t code = LuaToShortCharCode(state, index);
        if constexpr (sizeof(T) == 2)
            return code > 0xFFFF && lua_type(state, index) == LUA_TSTRING ? T(0xFFFD) : static_cast<T>(code);
        else
            return static_cast<T>(code);
    }
    static void Push(lua_State* state, T value) { lua_pushinteger(state, static_cast<lua_Integer>(value)); }
};

template <> struct LuaConverter<std::string>
{
    static std::string Read(lua_State* state, int index) { return LuaToString(state, index); }
    static void Push(lua_State* state, const std::string& value)
    {
        lua_pushlstring(state, value.data(), value.size());
    }
};

// Valid while the argument stays on the stack, which covers the bound call.
template <> struct LuaConverter<const char*>
{
    static const char* Read(lua_State* state, int index)
    {
        const char* text = lua_tostring(state, index);
        return text ? text : "";
    }
    static void Push(lua_State* state, const char* value) { lua_pushstring(state, value); }
};

template <> struct LuaConverter<char*>
{
    static void Push(lua_State* state, const char* value) { lua_pushstring(state, value); }
};

template <> struct LuaConverter<std::wstring>
{
    static std::wstring Read(lua_State* state, int index) { return LuaToWString(state, index); }
    static void Push(lua_State* state, const std::wstring& value) { LuaPushWString(state, value); }
};

// Objects of bound classes: nil reads as null; any value that is not an object of the class raises
// an error naming the class. Objects push as their identity, polymorphic ones as their most-derived
// class.
template <LuaObjectClass T> struct LuaConverter<T*>
{
    static T* Read(lua_State* state, int index)
    {
        if (lua_isnoneornil(state, index))
            return nullptr;
        LuaBasicBind& bind = T::GetLuaBind();
        void* object = bind.ToObject(state, index);
        if (!object)
            LuaArgumentError(state, index, bind.ClassName().c_str());
        return static_cast<T*>(object);
    }
    static void Push(lua_State* state, T* object)
    {
        if (!object)
            lua_pushnil(state);
        else if constexpr (std::is_base_of_v<LuaPolymorphicBase, T>)
            object->PushLua(state);
        else
            T::GetLuaBind().PushObject(state, object);
    }
};

// A Lua function the engine keeps (listeners, callbacks); anything else raises an error.
template <> struct LuaConverter<LuaFunction>
{
    static LuaFunction Read(lua_State* state, int index);
};

// Holds the value at index of state, the calling thread (a coroutine's stack, perhaps), whatever it is.
LuaFunction LuaFunctionFromStack(lua_State* state, int index);

// How a parameter of type P is read and handed on: by value for converted types; references to bound
// objects must name an object.
template <typename P> struct LuaArgument
{
    using Stored = std::remove_cvref_t<P>;
    static Stored Read(lua_State* state, int index) { return LuaConverter<Stored>::Read(state, index); }
    static Stored&& Pass(Stored& value) { return std::move(value); }
};

template <LuaObjectClass T> struct LuaArgument<T&>
{
    using Stored = T*;
    static T* Read(lua_State* state, int index)
    {
        T* object = LuaConverter<T*>::Read(state, index);
        if (!object)
            LuaArgumentError(state, index, T::GetLuaBind().ClassName().c_str());
        return object;
    }
    static T& Pass(T* object) { return *object; }
};

// How a result of type R is pushed; references to bound objects push the object.
template <typename R> struct LuaResult
{
    static void Push(lua_State* state, const R& value)
    {
        LuaConverter<std::remove_cvref_t<R>>::Push(state, value);
    }
};

template <LuaObjectClass T> struct LuaResult<T&>
{
    static void Push(lua_State* state, T& object) { LuaConverter<T*>::Push(state, &object); }
};

} // namespace Quarn
