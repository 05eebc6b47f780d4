#include "Script/LuaBoundary.h"

namespace Quarn
{

namespace
{
bool s_pendingRestart = false;
} // namespace

void SetPendingLuaRestart()
{
    s_pendingRestart = true;
}

bool TakePendingLuaRestart()
{
    const bool pending = s_pendingRestart;
    s_pendingRestart = false;
    return pending;
}

namespace detail
{

void RaiseBoundaryError(lua_State* state)
{
    lua_error(state);
    // lua_error does not return; this keeps the compiler's view of [[noreturn]] honest.
    std::terminate();
}

void PushRestartMessage(lua_State* state)
{
    lua_pushstring(state, "The game is restarting");
}

} // namespace detail

int LuaProtectedCall(lua_State* state, int nargs, int nresults, int handlerIndex)
{
    const int base = lua_gettop(state) - nargs - 1;
    if (handlerIndex < 0)
        handlerIndex = lua_gettop(state) + handlerIndex + 1;
    const int status = lua_pcall(state, nargs, nresults, handlerIndex);
    if (TakePendingLuaRestart())
    {
        lua_settop(state, handlerIndex > 0 && handlerIndex <= base ? handlerIndex - 1 : base);
        throw RestartGameException();
    }
    return status;
}

} // namespace Quarn
