#pragma once

#include "Script/LuaManager.h"

#include <gtest/gtest.h>

#include <string>

namespace Quarn::test
{

// The engine's Lua state made current by a LuaManager, closed when the object goes (if still open).
class LuaTestState
{
public:
    LuaTestState() { m_manager.CreateState(); }
    ~LuaTestState() { Close(); }
    LuaTestState(const LuaTestState&) = delete;
    LuaTestState& operator=(const LuaTestState&) = delete;

    lua_State* State() const { return CurrentLuaState(); }
    void Close()
    {
        if (!m_closed && m_manager.GetState() == CurrentLuaState())
            CloseLuaState(CurrentLuaState());
        m_closed = true;
    }

    // Runs code in the current state, unprotected by the engine's handler; returns the Lua error
    // text, empty on success.
    std::string Run(const std::string& code, const char* chunkName = "=test")
    {
        return RunIn(code, chunkName);
    }
    static std::string RunIn(const std::string& code, const char* chunkName = "=test")
    {
        lua_State* state = CurrentLuaState();
        if (luaL_loadbuffer(state, code.data(), code.size(), chunkName) != 0 ||
            lua_pcall(state, 0, 0, 0) != 0)
        {
            std::string error = lua_tostring(state, -1) ? lua_tostring(state, -1) : "?";
            lua_pop(state, 1);
            return error;
        }
        return {};
    }

    // Evaluates a Lua expression to a boolean; an expression that fails is a test failure.
    bool Holds(const std::string& expression)
    {
        EXPECT_EQ(Run("result = (" + expression + ")"), "") << expression;
        lua_State* state = CurrentLuaState();
        lua_getglobal(state, "result");
        const bool holds = lua_toboolean(state, -1) != 0;
        lua_pop(state, 1);
        return holds;
    }

private:
    LuaManager m_manager;
    bool m_closed = false;
};

} // namespace Quarn::test
