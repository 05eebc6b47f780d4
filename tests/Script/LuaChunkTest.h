#pragma once

#include "LuaTestState.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace Quarn::test
{

// A fixture with the engine's Lua state that evaluates chunks returning one value.
class LuaChunkTest : public testing::Test
{
protected:
    // A fresh state, as after a warm reset.
    void Reopen()
    {
        m_lua.reset();
        m_lua = std::make_unique<LuaTestState>();
    }

    lua_State* State() const { return m_lua->State(); }

    // Runs a chunk that returns one value and leaves the value on the stack.
    void Return(const std::string& code)
    {
        ASSERT_EQ(m_lua->Run("result = (function() " + code + " end)()"), "") << code;
        lua_getglobal(State(), "result");
    }

    lua_Number NumberResult(const std::string& code)
    {
        Return(code);
        EXPECT_EQ(lua_type(State(), -1), LUA_TNUMBER) << code;
        const lua_Number value = lua_tonumber(State(), -1);
        lua_pop(State(), 1);
        return value;
    }

    bool TruthResult(const std::string& code)
    {
        Return(code);
        const bool value = lua_toboolean(State(), -1);
        lua_pop(State(), 1);
        return value;
    }

    std::unique_ptr<LuaTestState> m_lua = std::make_unique<LuaTestState>();
};

} // namespace Quarn::test
