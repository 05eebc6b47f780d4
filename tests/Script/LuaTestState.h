#pragma once

#include "Script/LuaOutput.h"
#include "Script/LuaState.h"

#include <string>

namespace Quarn::test
{

// A bare current Lua state with the standard libraries and the message handler "C_ErrorFunc", closed
// when the object goes (if it is still open).
class LuaTestState
{
public:
    LuaTestState()
    {
        lua_State* state = luaL_newstate();
        SetCurrentLuaState(state);
        luaL_openlibs(state);
        lua_register(state, "C_ErrorFunc", C_ErrorFunc);
    }
    ~LuaTestState() { Close(); }
    LuaTestState(const LuaTestState&) = delete;
    LuaTestState& operator=(const LuaTestState&) = delete;

    lua_State* State() const { return CurrentLuaState(); }
    void Close() { CloseLuaState(CurrentLuaState()); }

    // Runs code unprotected by the engine's handler; returns the Lua error text, empty on success.
    std::string Run(const std::string& code, const char* chunkName = "=test")
    {
        lua_State* state = State();
        if (luaL_loadbuffer(state, code.data(), code.size(), chunkName) != 0 ||
            lua_pcall(state, 0, 0, 0) != 0)
        {
            std::string error = lua_tostring(state, -1) ? lua_tostring(state, -1) : "?";
            lua_pop(state, 1);
            return error;
        }
        return {};
    }
};

} // namespace Quarn::test
