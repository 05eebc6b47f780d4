#pragma once

#include "Core/OutputHandler.h"
#include "Script/LuaBoundary.h"
#include "Script/LuaConvert.h"

#include <cstddef>
#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

namespace Quarn
{

// Bound methods. A class's registration callback lists its methods, each a function and the name
// scripts call it by:
//
//     LuaMethods<Timer>(state, LuaMethod<&Timer::GetDT>("GetDT"),
//                       LuaMethod<&Timer::DistortTime>("DistortTime"));
//
// A function is a member function of the class (or of a base), or a free function whose first
// parameter is a reference to the class. Each becomes a C function of its own, made at compile time
// for that function: it checks self, converts the arguments from index 2 on by their types
// (LuaConverter), calls, and pushes the result.
template <auto Function> struct LuaMethod
{
    explicit LuaMethod(const char* name) : m_name(name) {}
    const char* m_name;
};

namespace LuaDetail
{

template <typename F> struct MethodTraits;

template <typename C, typename R, typename... A> struct MethodTraits<R (C::*)(A...)>
{
    using Result = R;
    using Arguments = std::tuple<A...>;
};
template <typename C, typename R, typename... A> struct MethodTraits<R (C::*)(A...) const>
{
    using Result = R;
    using Arguments = std::tuple<A...>;
};
template <typename C, typename R, typename... A> struct MethodTraits<R (C::*)(A...) noexcept>
{
    using Result = R;
    using Arguments = std::tuple<A...>;
};
template <typename C, typename R, typename... A> struct MethodTraits<R (C::*)(A...) const noexcept>
{
    using Result = R;
    using Arguments = std::tuple<A...>;
};
template <typename S, typename R, typename... A> struct MethodTraits<R (*)(S&, A...)>
{
    using Result = R;
    using Arguments = std::tuple<A...>;
};

// The binding of class X, for the checks of its methods' self. Set when the class registers its
// methods, so it is known before any of them can run; the binding object lives as long as the process.
template <typename X> inline const LuaBindBase* g_methodClass = nullptr;

// Raises the Lua-call depth for its lifetime when asked to.
class OptionalLuaCallDepth
{
public:
    explicit OptionalLuaCallDepth(bool raise) : m_raised(raise)
    {
        if (m_raised)
            OutputHandler::RaiseLuaCallDepth();
    }
    ~OptionalLuaCallDepth()
    {
        if (m_raised)
            OutputHandler::LowerLuaCallDepth();
    }
    OptionalLuaCallDepth(const OptionalLuaCallDepth&) = delete;
    OptionalLuaCallDepth& operator=(const OptionalLuaCallDepth&) = delete;

private:
    bool m_raised;
};

// Calls function with self and the converted arguments taken from firstIndex on; pushes the result
// and returns the number of results.
template <typename R, typename... A, typename Call, std::size_t... I>
int Invoke(lua_State* state, int firstIndex, Call&& call, std::index_sequence<I...>)
{
    // Braced initialisation reads the arguments in order.
    std::tuple<typename LuaArgument<A>::Stored...> arguments{
        LuaArgument<A>::Read(state, firstIndex + static_cast<int>(I))...};
    if constexpr (std::is_void_v<R>)
    {
        call(LuaArgument<A>::Pass(std::get<I>(arguments))...);
        return 0;
    }
    else
    {
        LuaResult<R>::Push(state, call(LuaArgument<A>::Pass(std::get<I>(arguments))...));
        return 1;
    }
}

template <typename R, typename Tuple> struct Invoker;
template <typename R, typename... A> struct Invoker<R, std::tuple<A...>>
{
    template <typename Call> static int Run(lua_State* state, int firstIndex, Call&& call)
    {
        return Invoke<R, A...>(state, firstIndex, std::forward<Call>(call), std::index_sequence_for<A...>());
    }
};

// The full check of self for CheckSelf; remembers a valid block. Raises a Lua error for any other
// value.
void* CheckSelfFully(lua_State* state, const LuaBindBase* expected);

// Self is a live object of exactly the method's class at index 1. The block last found valid is
// remembered (g_checkedLuaBlock), so calls on one object take a single API call.
template <typename X> X* CheckSelf(lua_State* state, const LuaBindBase* expected)
{
    const void* data = lua_touserdata(state, 1);
    if (data && data == g_checkedLuaBlock) [[likely]]
    {
        const auto* block = static_cast<const LuaObjectBlock*>(data);
        if (block->m_class == expected && block->m_object)
            return static_cast<X*>(block->m_object);
    }
    return static_cast<X*>(CheckSelfFully(state, expected));
}

// The C function of the method Function of class X. It needs no upvalue: the function is part of its
// type, so the call is direct.
template <typename X, auto Function> int MethodThunk(lua_State* state)
{
    return LuaBoundary(
        state,
        [state]() -> int
        {
            const LuaBindBase* bind = g_methodClass<X>;
            X* self = CheckSelf<X>(state, bind);
            const OptionalLuaCallDepth depth(bind->RaisesLuaCallDepth());
            using F = decltype(Function);
            using Traits = MethodTraits<F>;
            return Invoker<typename Traits::Result, typename Traits::Arguments>::Run(
                state, 2,
                [self](auto&&... arguments) -> decltype(auto)
                {
                    if constexpr (std::is_member_function_pointer_v<F>)
                        return (self->*Function)(std::forward<decltype(arguments)>(arguments)...);
                    else // Called through "*": GCC 12 checks access to a private static function here.
                        return (*Function)(*self, std::forward<decltype(arguments)>(arguments)...);
                });
        });
}

template <typename F> struct FunctionTraits;
template <typename R, typename... A> struct FunctionTraits<R (*)(A...)>
{
    using Result = R;
    using Arguments = std::tuple<A...>;
};

template <typename F> int FunctionThunk(lua_State* state)
{
    return LuaBoundary(state,
                       [state]() -> int
                       {
                           const F function =
                               *static_cast<const F*>(lua_touserdata(state, lua_upvalueindex(1)));
                           using Traits = FunctionTraits<F>;
                           return Invoker<typename Traits::Result, typename Traits::Arguments>::Run(
                               state, 1,
                               [function](auto&&... arguments) -> decltype(auto)
                               { return function(std::forward<decltype(arguments)>(arguments)...); });
                       });
}

int CFunctionThunk(lua_State* state);

} // namespace LuaDetail

// Adds the methods to the method table of X. Called from X's registration callback.
template <typename X, auto... Functions> void LuaMethods(lua_State* state, LuaMethod<Functions>... methods)
{
    LuaBindBase& bind = X::GetLuaBind();
    LuaDetail::g_methodClass<X> = &bind;
    bind.PushMethodTable(state);
    const auto add = [state](const char* name, lua_CFunction method)
    {
        lua_pushstring(state, name);
        lua_pushcfunction(state, method);
        lua_rawset(state, -3);
    };
    (add(methods.m_name, &LuaDetail::MethodThunk<X, Functions>), ...);
    lua_pop(state, 1);
}

// Pushes a plain function as a Lua function: its arguments are converted from index 1 on.
template <typename R, typename... A> void LuaPushFunction(lua_State* state, R (*function)(A...))
{
    using F = R (*)(A...);
    new (lua_newuserdata(state, sizeof(F))) F(function);
    lua_pushcclosure(state, &LuaDetail::FunctionThunk<F>, 1);
}

// Pushes a Lua C function that runs behind the exception boundary.
void LuaPushCFunction(lua_State* state, lua_CFunction function);

// Sets a metamethod ("__add", "__eq" ...) of the class X to a C function behind the boundary. "__gc" is
// the framework's: a class frees what Lua owns through its binding's collector (LuaBindBase).
template <typename X> void LuaSetMetamethod(lua_State* state, const char* name, lua_CFunction function)
{
    X::GetLuaBind().PushMetatable(state);
    lua_pushstring(state, name);
    LuaPushCFunction(state, function);
    lua_rawset(state, -3);
    lua_pop(state, 1);
}

} // namespace Quarn
