#include "Script/LuaFunction.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "Script/LuaBoundary.h"
#include "Script/LuaOutput.h"

namespace Quarn
{

namespace
{

// Runs the call with the Lua-call depth raised; true on success.
bool CallRaised(lua_State* state, int nargs, int nresults, int handlerIndex)
{
    LuaCallDepthScope depth;
    return LuaProtectedCall(state, nargs, nresults, handlerIndex) == 0;
}

// The failure path shared by both calls: the error value is on top of the stack.
void ReportFailedCall(lua_State* state, int handlerIndex, const char* file, int line)
{
    OutputHandler& output = OutputHandler::Get();
    const bool nested = output.InLua();
    output.ReportError(file, line, nested, "Failed call lua function \n%s\n\n", FormatLuaError().c_str());
    lua_settop(state, handlerIndex - 1);
    ThrowIfRestart(nested);
}

} // namespace

int LuaFunction::PushCall() const
{
    lua_State* state = CurrentLuaState();
    if (!state || !IsSet())
        return 0;
    lua_getglobal(state, "C_ErrorFunc");
    const int handlerIndex = lua_gettop(state);
    Push();
    return handlerIndex;
}

void LuaFunction::PCall(int nargs, int handlerIndex) const
{
    lua_State* state = CurrentLuaState();
    if (!state)
        return;
    if (!CallRaised(state, nargs, 0, handlerIndex))
    {
        ReportFailedCall(state, handlerIndex, __FILE__, __LINE__);
        return;
    }
    lua_settop(state, handlerIndex - 1);
}

float LuaFunction::PCallNumber(int nargs, int handlerIndex) const
{
    lua_State* state = CurrentLuaState();
    if (!state)
        return 0.0f;
    if (!CallRaised(state, nargs, 1, handlerIndex))
    {
        ReportFailedCall(state, handlerIndex, __FILE__, __LINE__);
        return 0.0f;
    }
    const float result = static_cast<float>(lua_tonumber(state, -1));
    lua_settop(state, handlerIndex - 1);
    return result;
}

} // namespace Quarn
