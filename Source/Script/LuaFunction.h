#pragma once

#include "Script/LuaRef.h"

namespace Quarn
{

// A Lua function held by the engine (script callbacks, listeners). The function lives in the registry
// of the current state under this holder's own key; a copy holds it under the copy's key, and
// destroying the holder drops the entry. Once its state is closed the holder is inert.
//
// A call: int handler = function.PushCall(); if handler is 0 nothing was pushed and there is nothing to
// call; otherwise push the arguments and run function.PCall(nargs, handler).
class LuaFunction
{
public:
    LuaFunction() = default;
    // Holds the value at stack index.
    explicit LuaFunction(int index) { Set(index); }

    void Set(int index) { m_function.SetFromStack(index); }
    void Release() { m_function.Release(); }
    bool IsSet() const { return m_function.IsSet(); }
    void Push() const { m_function.Push(); }

    // Pushes the message handler "C_ErrorFunc" and then the function, and returns the handler's stack
    // index; returns 0 and pushes nothing when the holder has no function in the current state.
    int PushCall() const;

    // The engine's protected call. The caller has pushed the handler (at handlerIndex), the function
    // and nargs arguments. The Lua-call depth is raised for the call. On success the stack is back
    // to its height below the handler. A failure is reported; when it happened inside another Lua
    // call the game restarts (RestartGameException), otherwise the program goes on. A restart
    // requested while the function ran is thrown again once the call has returned.
    void PCall(int nargs, int handlerIndex) const;
    // The same call taking one result, read as a number (0 on failure or for a non-number).
    float PCallNumber(int nargs, int handlerIndex) const;

private:
    LuaRef m_function;
};

} // namespace Quarn
