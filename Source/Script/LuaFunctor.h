#pragma once

#include "Script/LuaConvert.h"
#include "Script/LuaFunction.h"

namespace Quarn
{

template <typename Signature> class LuaFunctor;

// A Lua function the engine calls like a C++ function: the arguments are converted to Lua values and
// the call goes through the engine's protected call (errors are reported; inside a Lua call the game
// restarts). Does nothing once the function's state is gone.
template <typename... A> class LuaFunctor<void(A...)>
{
public:
    LuaFunctor() = default;
    explicit LuaFunctor(LuaFunction function) : m_function(std::move(function)) {}

    void operator()(const A&... arguments) const
    {
        const int handler = m_function.PushCall();
        if (handler == 0)
            return;
        [[maybe_unused]] lua_State* state = CurrentLuaState();
        (LuaConverter<std::remove_cvref_t<A>>::Push(state, arguments), ...);
        m_function.PCall(static_cast<int>(sizeof...(A)), handler);
    }

    const LuaFunction& Function() const { return m_function; }

private:
    LuaFunction m_function;
};

} // namespace Quarn
