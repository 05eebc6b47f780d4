#include "Core/OutputHandler.h"
#include "Core/SystemManager.h"
#include "Core/SystemT.h"
#include "Core/TimeManager.h"
#include "LuaTestState.h"
#include "Script/LuaConvert.h"
#include "Script/LuaFunction.h"
#include "platform/core/Clock.h"
#include "support/CapturedErrors.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace Quarn
{
namespace
{

class TimeManagerLuaTest : public testing::Test
{
protected:
    TimeManagerLuaTest()
    {
        OutputHandler::Get().ResetLuaCallDepth();
        platform::SetClock(&m_clock);
        m_time.emplace();
        PublishTime();
    }
    ~TimeManagerLuaTest() override { platform::SetClock(nullptr); }

    void PublishTime()
    {
        LuaConverter<TimeManager*>::Push(State(), &*m_time);
        lua_setglobal(State(), "time");
    }

    lua_State* State() const { return m_lua.State(); }
    void Run(const std::string& code) { ASSERT_EQ(m_lua.Run(code), "") << code; }

    std::string Global(const char* name)
    {
        lua_getglobal(State(), name);
        const char* text = lua_tostring(State(), -1);
        std::string value =
            text ? text
                 : (lua_isboolean(State(), -1) ? (lua_toboolean(State(), -1) ? "true" : "false") : "nil");
        lua_pop(State(), 1);
        return value;
    }

    platform::ManualClock m_clock{1000};
    std::optional<TimeManager> m_time;
    test::LuaTestState m_lua;
    test::CapturedErrors m_errors;
};

TEST_F(TimeManagerLuaTest, ScriptsReadTheTimersAndChooseTheCurrentOne)
{
    m_clock.Advance(50);
    m_time->Tick();
    Run("game = time:GetGameTimer()\n"
        "ok = rawequal(time:GetCurrentTimer(), game) and game:GetDT() == time:GetAppTimer():GetDT()\n"
        "dt = game:GetDT()\n"
        "total = game:GetTotalTime()\n"
        "time:SetPause()\n"
        "paused = rawequal(time:GetCurrentTimer(), time:GetPauseTimer())\n"
        "time:SetMenu()\n"
        "menu = rawequal(time:GetCurrentTimer(), time:GetMenuTimer())\n"
        "time:SetGame()");
    EXPECT_EQ(Global("ok"), "true");
    EXPECT_FLOAT_EQ(std::stof(Global("dt")), 0.05f);
    EXPECT_DOUBLE_EQ(std::stod(Global("total")), 0.05);
    EXPECT_EQ(Global("paused"), "true");
    EXPECT_EQ(Global("menu"), "true");
    EXPECT_EQ(m_time->GetCurrentTimer(), m_time->GetGameTimer());
}

TEST_F(TimeManagerLuaTest, DistortTimeFromAScriptScalesTheTimer)
{
    Run("time:GetGameTimer():DistortTime(0.5, 2)");
    EXPECT_EQ(m_time->GetGameTimer()->GetScale(), 0.5f);
    EXPECT_EQ(m_time->GetGameTimer()->GetDistortionLeft(), 2.0f);
    m_clock.Advance(80);
    m_time->Tick();
    EXPECT_FLOAT_EQ(m_time->GetGameTimer()->GetDT(), 0.04f);
}

TEST_F(TimeManagerLuaTest, CallingWithADotIsAReportedLuaErrorNotACrash)
{
    ASSERT_EQ(luaL_loadstring(State(), "local t = time:GetGameTimer(); return t.GetDT()"), 0);
    LuaFunction script(-1);
    lua_pop(State(), 1);
    const int handler = script.PushCall();
    EXPECT_NO_THROW(script.PCall(0, handler));
    ASSERT_EQ(m_errors.Count(), 1u);
    EXPECT_TRUE(m_errors.Any("bad argument #1 (Timer expected)"));
    EXPECT_EQ(m_lua.Run("time.SetPause()"), "test:1: bad argument #1 (TimeManager expected)");
    EXPECT_EQ(OutputHandler::Get().LuaCallDepth(), 0);
    EXPECT_EQ(lua_gettop(State()), 0);
}

TEST_F(TimeManagerLuaTest, ANewTimeManagerGivesNewIdentitiesAndTheOldOnesGoDead)
{
    Run("oldTime = time\noldGame = time:GetGameTimer()");
    // A warm reset builds the new manager where the old one was.
    m_time.reset();
    m_time.emplace();
    PublishTime();
    Run("freshTime = not rawequal(oldTime, time)\n"
        "freshGame = not rawequal(oldGame, time:GetGameTimer())");
    EXPECT_EQ(Global("freshTime"), "true");
    EXPECT_EQ(Global("freshGame"), "true");
    EXPECT_EQ(m_lua.Run("oldGame:GetDT()"), "test:1: bad argument #1 (Timer expected)");
    EXPECT_EQ(m_lua.Run("oldTime:SetPause()"), "test:1: bad argument #1 (TimeManager expected)");
    EXPECT_EQ(m_time->GetCurrentTimer(), m_time->GetGameTimer());
}

class NamedSystem : public SystemT<NamedSystem>
{
public:
    explicit NamedSystem(const char* name) : m_name(name) {}
    bool Serialize(Serializer&) override { return true; }
    const char* GetName() const override { return m_name; }
    void Update(float) override {}
    void Init() override {}
    void InitResources(ResourceManager&) override {}

private:
    const char* m_name;
};

TEST_F(TimeManagerLuaTest, SystemRunTimesAreReadByIndex)
{
    Run("none = tostring(time:HasSystemRunTime(0)) .. time:NumSystemRunTimes() .. time:GetSystemName(0)");
    EXPECT_EQ(Global("none"), "false0");

    SystemManager manager;
    NamedSystem input("Input");
    NamedSystem audio("Audio");
    manager.AddSystem("Input", &input);
    manager.AddSystem("Audio", &audio);
    manager.SetFrameLimit(1);
    manager.Run();
    Run("stats = table.concat({tostring(time:HasSystemRunTime(1)), tostring(time:HasSystemRunTime(2)),\n"
        "  time:NumSystemRunTimes(), time:GetSystemName(0), time:GetSystemName(1), '[' .. "
        "time:GetSystemName(2) .. ']',\n"
        "  time:GetSystemRunTime(0), time:GetSystemRunTime(5), time:TotalSystemRunTime()}, ' ')");
    // Without file logging the run times read 0.
    EXPECT_EQ(Global("stats"), "true false 2 Input Audio [] 0 0 0");
}

} // namespace
} // namespace Quarn
