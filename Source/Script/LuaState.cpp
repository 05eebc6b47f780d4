#include "Script/LuaState.h"

namespace Quarn
{

namespace
{
lua_State* s_currentState = nullptr;
unsigned s_generation = 0;
} // namespace

lua_State* CurrentLuaState()
{
    return s_currentState;
}

void SetCurrentLuaState(lua_State* state)
{
    if (state != s_currentState)
        ++s_generation;
    s_currentState = state;
}

unsigned LuaStateGeneration()
{
    return s_generation;
}

void CloseLuaState(lua_State* state)
{
    if (!state)
        return;
    // References made in this state go inert before its garbage-collection handlers run.
    ++s_generation;
    lua_close(state);
    if (state == s_currentState)
        s_currentState = nullptr;
}

} // namespace Quarn
