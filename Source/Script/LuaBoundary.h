#pragma once

#include "Core/RestartGameException.h"
#include "Script/LuaState.h"

#include <exception>

namespace Quarn
{

// C++ exceptions never travel through Lua's frames. Every C function that Lua calls runs its body
// through LuaBoundary: an engine exception is caught there and turned into a Lua error, and a
// requested restart is remembered until the engine's protected call that started the Lua code has
// returned, which throws it again (LuaProtectedCall).

// Remembers that a restart was requested while Lua code was running.
void SetPendingLuaRestart();
// Whether a restart is pending; taking it clears it.
bool TakePendingLuaRestart();

namespace detail
{
// Raises a Lua error with the message on top of the stack; never returns.
[[noreturn]] void RaiseBoundaryError(lua_State* state);
void PushRestartMessage(lua_State* state);
} // namespace detail

// Runs body, which returns the number of results it pushed, as the body of a C function called by
// Lua. A RestartGameException becomes a pending restart plus a Lua error, any other std::exception a
// Lua error carrying its text. Lua's own errors pass through untouched.
template <typename Body> int LuaBoundary(lua_State* state, Body&& body)
{
    try
    {
        return body();
    }
    catch (const RestartGameException&)
    {
        SetPendingLuaRestart();
        detail::PushRestartMessage(state);
    }
    catch (const std::exception& error)
    {
        lua_pushstring(state, error.what());
    }
    // Raised outside the handlers, so no C++ exception is in flight while Lua unwinds.
    detail::RaiseBoundaryError(state);
}

// The engine's protected call: lua_pcall(state, nargs, nresults, handlerIndex), returning its status.
// When a restart became pending while the called code ran, the stack is cut back to below the
// message handler and the RestartGameException is thrown again here, in C++.
int LuaProtectedCall(lua_State* state, int nargs, int nresults, int handlerIndex);

} // namespace Quarn
