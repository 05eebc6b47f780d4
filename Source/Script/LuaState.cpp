#include "Script/LuaState.h"

namespace Quarn
{

namespace
{
lua_State* s_currentState = nullptr;
}

lua_State* CurrentLuaState()
{
    return s_currentState;
}

void SetCurrentLuaState(lua_State* state)
{
    s_currentState = state;
}

} // namespace Quarn
