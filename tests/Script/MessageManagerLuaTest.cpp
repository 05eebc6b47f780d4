#include "Core/MessageManager.h"
#include "Core/OutputHandler.h"
#include "Core/ParamArena.h"
#include "Core/RestartGameException.h"
#include "LuaTestState.h"
#include "Script/LuaConvert.h"
#include "Script/LuaFunction.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Quarn
{
namespace
{

class MessageManagerLuaTest : public testing::Test
{
protected:
    MessageManagerLuaTest()
    {
        OutputHandler::Get().ResetLuaCallDepth();
        LuaConverter<MessageManager*>::Push(State(), &m_messages);
        lua_setglobal(State(), "messages");
    }

    lua_State* State() const { return m_lua.State(); }
    void Run(const std::string& code) { ASSERT_EQ(m_lua.Run(code), "") << code; }

    // Runs code the way the engine runs scripts: through the protected call.
    void CallProtected(const std::string& code)
    {
        ASSERT_EQ(luaL_loadstring(State(), code.c_str()), 0);
        LuaFunction function(-1);
        lua_pop(State(), 1);
        const int handler = function.PushCall();
        function.PCall(0, handler);
    }

    std::string Global(const char* name)
    {
        lua_getglobal(State(), name);
        const char* text = lua_tostring(State(), -1);
        std::string value = text ? text : "nil";
        lua_pop(State(), 1);
        return value;
    }

    ParamArena m_arena{4096};
    MessageManager m_messages{m_arena};
    test::LuaTestState m_lua;
    test::CapturedErrors m_errors;
};

TEST_F(MessageManagerLuaTest, ALuaListenerReceivesTheParametersAsLuaValues)
{
    Run("messages:RegisterListener('Mixed', function(...)\n"
        "  local t = {}\n"
        "  for i = 1, select('#', ...) do t[i] = type((select(i, ...))) .. ':' .. tostring((select(i, ...))) "
        "end\n"
        "  got = table.concat(t, ' ')\n"
        "end)");
    m_messages.SendMessage("Mixed", 42, 0.5f, std::string("text"), 0xFFFFFFFFu, 'A',
                           static_cast<const char*>("chars"));
    EXPECT_EQ(Global("got"), "number:42 number:0.5 string:text number:-1 number:65 string:chars");
    EXPECT_EQ(m_arena.Used(), 0u);
    EXPECT_EQ(lua_gettop(State()), 0);
}

TEST_F(MessageManagerLuaTest, TwoUnsignedParametersArriveAsTwoIntegers)
{
    Run("messages:RegisterListener('WindowResized', function(w, h, extra) size = w .. 'x' .. h .. "
        "tostring(extra) end)");
    m_messages.SendMessage("WindowResized", 800u, 600u);
    EXPECT_EQ(Global("size"), "800x600nil");
}

TEST_F(MessageManagerLuaTest, AParameterLuaCannotTakeArrivesAsNilInItsPlace)
{
    struct Opaque
    {
        int m_value;
    };
    Run("messages:RegisterListener('Odd', function(a, b, c) seen = tostring(a) .. ',' .. tostring(b) .. ',' "
        ".. c end)");
    m_messages.SendMessage("Odd", 1, Opaque{5}, 3);
    EXPECT_EQ(Global("seen"), "1,nil,3");
    EXPECT_EQ(m_errors.Count(), 0u);
}

TEST_F(MessageManagerLuaTest, ScriptsSendParameterlessMessagesToEngineAndLuaListeners)
{
    int engineCalls = 0;
    m_messages.RegisterListener<void()>("Ping", [&engineCalls] { ++engineCalls; });
    Run("messages:RegisterListener('Ping', function(...) count = select('#', ...) end)\n"
        "messages:SendMessage('Ping')\n"
        "messages:SendMessage('Nobody listens')");
    EXPECT_EQ(engineCalls, 1);
    EXPECT_EQ(Global("count"), "0");
}

TEST_F(MessageManagerLuaTest, AListenerRegisteredDuringDispatchRunsFromTheNextSendOn)
{
    Run("calls = ''\n"
        "messages:RegisterListener('Tick', function()\n"
        "  calls = calls .. 'a'\n"
        "  if not added then added = true; messages:RegisterListener('Tick', function() calls = calls .. 'b' "
        "end) end\n"
        "end)");
    m_messages.SendMessage("Tick");
    EXPECT_EQ(Global("calls"), "a");
    m_messages.SendMessage("Tick");
    EXPECT_EQ(Global("calls"), "aab");
}

TEST_F(MessageManagerLuaTest, ListenersMaySendFurtherMessages)
{
    Run("messages:RegisterListener('Outer', function(n) messages:SendMessage('Inner'); outer = n end)\n"
        "messages:RegisterListener('Inner', function() inner = 'yes' end)");
    m_messages.SendMessage("Outer", 7);
    EXPECT_EQ(Global("outer"), "7");
    EXPECT_EQ(Global("inner"), "yes");
    EXPECT_EQ(m_arena.Used(), 0u);
}

TEST_F(MessageManagerLuaTest, BadArgumentsAreLuaErrors)
{
    EXPECT_EQ(m_lua.Run("messages:RegisterListener('Name', 5)"),
              "test:1: bad argument #3 (function expected)");
    EXPECT_EQ(m_lua.Run("messages.SendMessage('Name')"), "test:1: bad argument #1 (MessageManager expected)");
}

TEST_F(MessageManagerLuaTest, AFailingListenerIsReportedAndRestartsOnlyInsideALuaCall)
{
    Run("messages:RegisterListener('Fail', function() error('listener broke') end)");
    EXPECT_NO_THROW(m_messages.SendMessage("Fail"));
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("listener broke"));

    // Sent by a script run through the engine: one report, one restart out of the outermost call.
    m_errors.Clear();
    EXPECT_THROW(CallProtected("messages:SendMessage('Fail')"), RestartGameException);
    EXPECT_EQ(m_errors.Count(), 1u);
    EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
    EXPECT_EQ(lua_gettop(State()), 0);
}

TEST_F(MessageManagerLuaTest, ListenersOfAClosedStateDoNothing)
{
    Run("messages:RegisterListener('Late', function() end)");
    m_lua.Close();
    EXPECT_NO_THROW(m_messages.SendMessage("Late", 1));
    EXPECT_EQ(m_errors.Count(), 0u);
}

} // namespace
} // namespace Quarn
