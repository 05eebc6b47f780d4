#include "Script/LuaFunction.h"

#include "Core/OutputHandler.h"
#include "Core/RestartGameException.h"
#include "LuaTestState.h"
#include "Script/LuaBoundary.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

namespace Quarn
{
namespace
{

class LuaFunctionTest : public testing::Test
{
protected:
    LuaFunctionTest() { OutputHandler::Get().ResetLuaCallDepth(); }

    // Holds the global function name.
    LuaFunction Global(const char* name)
    {
        lua_getglobal(State(), name);
        LuaFunction function(-1);
        lua_pop(State(), 1);
        return function;
    }

    // Calls function with no arguments the way engine code does.
    static void Call(const LuaFunction& function)
    {
        const int handler = function.PushCall();
        ASSERT_NE(handler, 0);
        function.PCall(0, handler);
    }

    lua_State* State() const { return m_lua.State(); }

    test::LuaTestState m_lua;
    test::CapturedErrors m_errors;
};

// The engine function a script reaches: calls the global "Nested" through a held function.
int CallNested(lua_State* state)
{
    return LuaBoundary(state,
                       []
                       {
                           lua_getglobal(CurrentLuaState(), "Nested");
                           LuaFunction nested(-1);
                           lua_pop(CurrentLuaState(), 1);
                           const int handler = nested.PushCall();
                           nested.PCall(0, handler);
                           return 0;
                       });
}

int ThrowRuntimeError(lua_State* state)
{
    return LuaBoundary(state, []() -> int { throw std::runtime_error("disk on fire"); });
}

int RequestRestart(lua_State* state)
{
    return LuaBoundary(state, []() -> int { throw RestartGameException(); });
}

bool s_bodyObjectDestroyed = false;

int RaiseLuaError(lua_State* state)
{
    return LuaBoundary(state,
                       [state]() -> int
                       {
                           struct Tracked
                           {
                               ~Tracked() { s_bodyObjectDestroyed = true; }
                           } tracked;
                           return luaL_error(state, "bad argument #%d", 2);
                       });
}

TEST_F(LuaFunctionTest, ArgumentsArePassedAndTheStackHeightIsKept)
{
    m_lua.Run("function Add(a, b) total = a + b; return 1, 2, 3 end");
    lua_pushstring(State(), "kept below");
    const LuaFunction add = Global("Add");
    const int handler = add.PushCall();
    EXPECT_EQ(handler, 2);
    lua_pushnumber(State(), 2);
    lua_pushnumber(State(), 3.5);
    add.PCall(2, handler);
    EXPECT_EQ(lua_gettop(State()), 1);
    lua_getglobal(State(), "total");
    EXPECT_EQ(lua_tonumber(State(), -1), 5.5);
    EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(LuaFunctionTest, TheNumberCallReadsOneResult)
{
    m_lua.Run("function Half(x) return x / 2 end function Word() return 'word' end");
    const LuaFunction half = Global("Half");
    int handler = half.PushCall();
    lua_pushnumber(State(), 5);
    EXPECT_FLOAT_EQ(half.PCallNumber(1, handler), 2.5f);
    const LuaFunction word = Global("Word");
    handler = word.PushCall();
    EXPECT_EQ(word.PCallNumber(0, handler), 0.0f);
    m_lua.Run("function Broken() error('no number') end");
    const LuaFunction broken = Global("Broken");
    handler = broken.PushCall();
    EXPECT_EQ(broken.PCallNumber(0, handler), 0.0f);
    EXPECT_EQ(m_errors.Count(), 1u);
    EXPECT_EQ(lua_gettop(State()), 0);
}

TEST_F(LuaFunctionTest, AFailureCalledByTheFrameIsReportedOnceAndTheProgramGoesOn)
{
    ASSERT_EQ(m_lua.Run("function Frame()\n error('bad frame')\nend", "@Scripts/Frame.lua"), "");
    lua_pushstring(State(), "kept below");
    EXPECT_NO_THROW(Call(Global("Frame")));
    EXPECT_EQ(m_errors.Texts(),
              std::vector<std::string>{"Failed call lua function \nScripts/Frame.lua(2): bad frame\n\n"});
    EXPECT_EQ(lua_gettop(State()), 1);
    EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
}

TEST_F(LuaFunctionTest, AFailureInsideANestedCallRestartsOnceFromTheOutermostCall)
{
    lua_register(State(), "CallNested", CallNested);
    m_lua.Run("function Nested() error('deep') end\n"
              "function Outer() CallNested(); reached = true end");
    lua_pushstring(State(), "kept below");
    EXPECT_THROW(Call(Global("Outer")), RestartGameException);
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("Failed call lua function \ntest:1: deep"));
    EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
    EXPECT_EQ(lua_gettop(State()), 1);
    lua_getglobal(State(), "reached");
    EXPECT_TRUE(lua_isnil(State(), -1)) << "the outer function stops at the failed call";
    EXPECT_FALSE(TakePendingLuaRestart());
}

TEST_F(LuaFunctionTest, ARestartSwallowedByAScriptsOwnPcallStillRestarts)
{
    lua_register(State(), "RequestRestart", RequestRestart);
    m_lua.Run("function Outer() local ok = pcall(RequestRestart); swallowed = not ok end");
    EXPECT_THROW(Call(Global("Outer")), RestartGameException);
    lua_getglobal(State(), "swallowed");
    EXPECT_TRUE(lua_toboolean(State(), -1));
    EXPECT_EQ(m_errors.Count(), 0u);
    EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
}

TEST_F(LuaFunctionTest, AnEngineExceptionBecomesALuaErrorAtTheBoundary)
{
    lua_register(State(), "ThrowRuntimeError", ThrowRuntimeError);
    m_lua.Run("function Caught() local ok, message = pcall(ThrowRuntimeError); caught = message end\n"
              "function Uncaught() ThrowRuntimeError() end");
    Call(Global("Caught"));
    lua_getglobal(State(), "caught");
    EXPECT_STREQ(lua_tostring(State(), -1), "disk on fire");
    lua_pop(State(), 1);
    EXPECT_EQ(m_errors.Count(), 0u);

    EXPECT_NO_THROW(Call(Global("Uncaught")));
    EXPECT_EQ(m_errors.Texts(), std::vector<std::string>{"Failed call lua function \ndisk on fire\n\n"});
}

TEST_F(LuaFunctionTest, LuaErrorsPassTheBoundaryUntouchedAndUnwindItsObjects)
{
    lua_register(State(), "RaiseLuaError", RaiseLuaError);
    m_lua.Run("function Caught() local ok, message = pcall(RaiseLuaError); caught = message end");
    s_bodyObjectDestroyed = false;
    Call(Global("Caught"));
    lua_getglobal(State(), "caught");
    EXPECT_STREQ(lua_tostring(State(), -1), "bad argument #2");
    EXPECT_TRUE(s_bodyObjectDestroyed);
    EXPECT_FALSE(TakePendingLuaRestart());
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(LuaFunctionTest, CopiesCallTheSameFunctionAndAClosedStateLeavesNothingToCall)
{
    m_lua.Run("count = 0 function Count() count = count + 1 end");
    std::optional<LuaFunction> original(Global("Count"));
    const LuaFunction copy(*original);
    original.reset();
    Call(copy);
    Call(copy);
    lua_getglobal(State(), "count");
    EXPECT_EQ(lua_tonumber(State(), -1), 2.0);
    lua_pop(State(), 1);

    m_lua.Close();
    EXPECT_FALSE(copy.IsSet());
    EXPECT_EQ(copy.PushCall(), 0);
    test::LuaTestState next;
    EXPECT_EQ(copy.PushCall(), 0);
    EXPECT_EQ(lua_gettop(next.State()), 0);
}

} // namespace
} // namespace Quarn
